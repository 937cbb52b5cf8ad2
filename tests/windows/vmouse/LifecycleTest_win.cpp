// Unplug and replug: the collections go and come back, the EEPROM stays.
#include "vmouse/tool/DeviceInstall_win.h"
#include "tests/windows/vmouse/DeviceKit_win.h"

namespace vmtest {
namespace {

bool MouseVisible(const std::vector<vmtool::HidCollection>& l) {
    return vmtool::HasCollection(l, vmouse::kVendorUsagePage, vmouse::kWriteUsage) &&
           vmtool::HasCollection(l, vmouse::kVendorUsagePage, vmouse::kReadUsage);
}
bool MouseGone(const std::vector<vmtool::HidCollection>& l) {
    return !vmtool::HasCollection(l, vmouse::kVendorUsagePage, vmouse::kWriteUsage) &&
           !vmtool::HasCollection(l, vmouse::kVendorUsagePage, vmouse::kReadUsage);
}

void Unplug() {
    std::wstring error;
    ASSERT_TRUE(vmtool::RemoveDevices(true, false, error)) << "unplug";
    ASSERT_TRUE(vmtool::WaitForCollections(MouseGone, 15000));
}
void Plug() {
    std::wstring error;
    ASSERT_TRUE(vmtool::InstallDevices(vmtool::InfBesideProgram(), true, error)) << "plug";
    ASSERT_TRUE(vmtool::WaitForCollections(MouseVisible, 30000));
}

Bytes StoredImage() {
    Bytes image(vmouse::kEepromSize, 0);
    DWORD size = static_cast<DWORD>(image.size());
    if (RegGetValueW(HKEY_LOCAL_MACHINE,
                     L"SYSTEM\\CurrentControlSet\\Services\\TavrineVMouse\\Parameters", L"Eeprom",
                     RRF_RT_REG_BINARY, nullptr, image.data(), &size) != ERROR_SUCCESS)
        return {};
    image.resize(size);
    return image;
}

TEST_F(DeviceTest, EepromSurvivesUnplugAndReplugAndIsStoredForTheNextStart) {
    ASSERT_TRUE(mouse.Write(0x0100, {0x11, 0x22, 0x33}));
    Press(vmouse::Control::Profile);  // profile 2, kept at address 5
    // The driver stores the image within a few milliseconds of a change.
    Bytes stored;
    for (int i = 0; i < 100; ++i) {
        stored = StoredImage();
        if (stored.size() == vmouse::kEepromSize && stored[0x0101] == 0x22 && stored[5] == 0x40)
            break;
        Sleep(20);
    }
    ASSERT_EQ(stored.size(), vmouse::kEepromSize);
    EXPECT_EQ(stored[0x0101], 0x22);
    EXPECT_EQ(stored[5], 0x40);

    ASSERT_NO_FATAL_FAILURE(Unplug());
    // While unplugged the collections are gone for everyone, not merely closed.
    EXPECT_FALSE(Find(vmouse::kVendorUsagePage, vmouse::kReadUsage).has_value());
    ASSERT_NO_FATAL_FAILURE(Plug());
    Mouse replugged;
    ASSERT_TRUE(replugged.ok());
    EXPECT_EQ(replugged.Read(0x0100, 3),
              (Bytes{4, 0, 1, 3, 0x11, 0x22, 0x33, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(replugged.Read(vmouse::kRegProfile, 2).at(4), 2);
}

TEST_F(DeviceTest, ReplugGivesFreshWorkingCollections) {
    ASSERT_NO_FATAL_FAILURE(Unplug());
    ASSERT_NO_FATAL_FAILURE(Plug());
    Mouse replugged;
    ASSERT_TRUE(replugged.ok());
    InputReader reader;
    ASSERT_TRUE(reader.ok());
    ASSERT_TRUE(replugged.Write(0x0060, {1}));
    EXPECT_EQ(reader.Next(2000), kAck);
}

}  // namespace
}  // namespace vmtest
