// The mouse as programs see it through the HID class driver: identity, features, answers.
#include "common/DeviceIds.h"

#include "tests/windows/vmouse/DeviceKit_win.h"

namespace vmtest {
namespace {

std::wstring String(BOOLEAN(__stdcall* get)(HANDLE, PVOID, ULONG), HANDLE h) {
    wchar_t text[128] = {};
    if (!get(h, text, sizeof text)) return L"(failed)";
    return text;
}

TEST_F(DeviceTest, BothCollectionsAreVisibleWithTheMouseIdentity) {
    auto write = Find(vmouse::kVendorUsagePage, vmouse::kWriteUsage);
    auto read = Find(vmouse::kVendorUsagePage, vmouse::kReadUsage);
    ASSERT_TRUE(write && read);
    for (const auto* c : {&*write, &*read}) {
        EXPECT_EQ(c->vendorId, common::DeviceVendorId);
        EXPECT_EQ(c->productId, common::DeviceProductId);
        EXPECT_EQ(c->version, common::DeviceVersion);
        EXPECT_EQ(c->featureLength, 16);
    }
    EXPECT_EQ(write->inputLength, 8);
    EXPECT_EQ(read->inputLength, 0);
    // Paths shaped like Windows' own for a two-collection device.
    EXPECT_NE(write->path.find(L"vid_1d57&pid_5502&col01"), std::wstring::npos)
        << write->path.c_str();
    EXPECT_NE(read->path.find(L"vid_1d57&pid_5502&col02"), std::wstring::npos);
    // Nothing else answers to the mouse's vendor page, so a search by usage finds exactly these.
    EXPECT_EQ(vmtool::FindMouseCollections(vmouse::kVendorUsagePage).size(), 2u);
    EXPECT_EQ(String(HidD_GetManufacturerString, mouse.writeHandle()), L"Tavrine");
    EXPECT_EQ(String(HidD_GetProductString, mouse.readHandle()), L"Tavrine KVR-5502 Gaming Mouse");
    EXPECT_EQ(String(HidD_GetSerialNumberString, mouse.writeHandle()), L"VM5502-000001");
}

TEST_F(DeviceTest, AcceptedWriteIsStoredAndAcknowledgedOnTheWriteCollection) {
    InputReader reader;
    ASSERT_TRUE(reader.ok());
    ASSERT_TRUE(mouse.Write(0x0020, {0x5A, 0xA5}));
    EXPECT_EQ(reader.Next(2000), kAck);
    EXPECT_EQ(reader.Next(200), std::nullopt);  // one write, one acknowledgement
    const Bytes answer = mouse.Read(0x0020, 2);
    ASSERT_EQ(answer.size(), 16u);
    EXPECT_EQ(answer[0], 4);
    EXPECT_EQ(answer[4], 0x5A);
    EXPECT_EQ(answer[5], 0xA5);
    EXPECT_EQ(Eeprom().at(0x21), 0xA5);
}

TEST_F(DeviceTest, ReadRequestsAnswerStoredAndLiveValues) {
    EXPECT_EQ(mouse.Read(0x0005, 7),
              (Bytes{4, 5, 0, 7, 0x20, 0, 0x32, 4, 8, 12, 35, 0, 0, 0, 0, 0}));
    EXPECT_EQ(mouse.Read(vmouse::kRegProfile, 2).at(4), 1);
    const Bytes level = mouse.Read(vmouse::kRegLevel, 2);
    ASSERT_EQ(level.size(), 16u);
    EXPECT_EQ(level[4], 2);
    EXPECT_EQ(level[5], 12);
    // Live writes take effect at once; the apply command brings back the stored state.
    ASSERT_TRUE(mouse.Write(vmouse::kRegLevel, {0, 20}));
    ASSERT_TRUE(mouse.Write(vmouse::kRegPolling, {2}));
    EXPECT_EQ(mouse.Read(vmouse::kRegLevel, 2).at(5), 20);
    EXPECT_EQ(mouse.Read(vmouse::kRegPolling, 1).at(4), 2);
    ASSERT_TRUE(mouse.Write(0x0005, {0x60}));
    ASSERT_TRUE(mouse.Write(vmouse::kRegApply, {1}));
    EXPECT_EQ(mouse.Read(vmouse::kRegProfile, 2).at(4), 3);
    EXPECT_EQ(mouse.Read(vmouse::kRegPolling, 1).at(4), 0);
    EXPECT_EQ(mouse.Read(vmouse::kRegLevel, 2).at(4), 2);
}

TEST_F(DeviceTest, BadReportsAreRefusedWithoutAcknowledgementOrChange) {
    InputReader reader;
    ASSERT_TRUE(reader.ok());
    const Bytes before = Eeprom();
    EXPECT_FALSE(mouse.SendWriteReport(Command(3, 0x0812, 1, {1})));
    EXPECT_FALSE(
        mouse.SendWriteReport(Command(3, 0x0807, 12, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
    EXPECT_FALSE(mouse.SendWriteReport(Command(3, 0x0020, 0)));
    EXPECT_FALSE(mouse.SendWriteReport(Command(3, 0x0020, 13)));
    EXPECT_FALSE(mouse.SendWriteReport(Command(3, vmouse::kRegPolling, 1, {7})));
    // Report ids the collection does not declare are stopped by the HID class already.
    EXPECT_FALSE(mouse.SendWriteReport(Command(4, 0x0020, 1)));
    EXPECT_FALSE(mouse.SendReadReport(Command(3, 0x0020, 1, {1})));
    EXPECT_FALSE(mouse.SendReadReport(Command(4, 0x0900, 1)));
    EXPECT_EQ(reader.Next(300), std::nullopt);
    EXPECT_EQ(Eeprom(), before);
    // The refusals the mouse itself saw are in its trace, each noted as refused.
    size_t refused = 0;
    for (const vmouse::TraceEntry& e : Trace()) refused += vmouse::IsRefusal(e.note) ? 1 : 0;
    EXPECT_EQ(refused, 6u);
}

TEST_F(DeviceTest, TraceListsEveryReportInAndOut) {
    InputReader reader;
    ASSERT_TRUE(mouse.Write(0x0030, {7}));
    ASSERT_TRUE(reader.Next(2000).has_value());
    ASSERT_EQ(mouse.Read(0x0030, 1).at(4), 7);
    const std::vector<vmouse::TraceEntry> t = Trace();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].kind, vmouse::TraceKind::SetFeature);
    EXPECT_EQ(t[0].collection, vmouse::Collection::Write);
    EXPECT_EQ(t[0].bytes[1], 0x30);
    EXPECT_EQ(t[1].kind, vmouse::TraceKind::Input);
    EXPECT_EQ(t[1].bytes[1], 0x10);
    EXPECT_EQ(t[2].collection, vmouse::Collection::Read);
    EXPECT_EQ(t[3].kind, vmouse::TraceKind::GetFeature);
    EXPECT_EQ(t[3].bytes[4], 7);
    EXPECT_LE(t[0].timeMs, t[3].timeMs);
}

}  // namespace
}  // namespace vmtest
