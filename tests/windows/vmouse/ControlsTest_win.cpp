// The mouse's own controls and the faults, seen through ReadFile and raw input.
#include "tests/windows/vmouse/DeviceKit_win.h"

namespace vmtest {
namespace {

Bytes Event(uint8_t code) { return {2, code, 0, 0, 0, 0, 0, 0}; }

TEST_F(DeviceTest, ControlsChangeTheLiveStateAndSendTheirEvents) {
    InputReader reader;
    ASSERT_TRUE(reader.ok());
    Press(vmouse::Control::Dpi);
    EXPECT_EQ(reader.Next(2000), Event(0x01));
    EXPECT_EQ(mouse.Read(vmouse::kRegLevel, 2).at(4), 3);
    Press(vmouse::Control::Profile);
    EXPECT_EQ(reader.Next(2000), Event(0x04));
    EXPECT_EQ(mouse.Read(vmouse::kRegProfile, 2).at(4), 2);
    EXPECT_EQ(mouse.Read(0x0005, 1).at(4), 0x40);  // kept in the EEPROM too
    Press(vmouse::Control::Polling);
    EXPECT_EQ(reader.Next(2000), Event(0x02));
    EXPECT_EQ(mouse.Read(vmouse::kRegPolling, 1).at(4), 1);
    Press(vmouse::Control::Lock);
    EXPECT_EQ(reader.Next(2000), Event(0x08));
    EXPECT_EQ(mouse.Read(vmouse::kRegLock, 1).at(4), 1);
}

TEST_F(DeviceTest, LaunchButtonOfTheActiveProfileSendsAKeyReport) {
    InputReader reader;
    ASSERT_TRUE(reader.ok());
    // Profile 1, side button 2: LaunchCode = 0xA0 + 0 + 4.
    ASSERT_TRUE(
        mouse.Write(static_cast<uint16_t>(vmouse::ProfileButtonAddress(0, 4)), {0xA4, 0x40}));
    ASSERT_EQ(reader.Next(2000), kAck);
    Press(vmouse::Control::Button, 5);
    EXPECT_EQ(reader.Next(2000), (Bytes{1, 0, 0, 0xA4, 0, 0, 0, 0}));
    Press(vmouse::Control::Button, 1);  // the left button's default record launches nothing
    EXPECT_EQ(reader.Next(300), std::nullopt);
}

TEST_F(DeviceTest, DroppedAndDelayedAcknowledgements) {
    InputReader reader;
    ASSERT_TRUE(reader.ok());
    SetFaults(vmouse::Faults{.dropAckIn = 2});
    ASSERT_TRUE(mouse.Write(0x0040, {1}));
    EXPECT_EQ(reader.Next(2000), kAck);
    ASSERT_TRUE(mouse.Write(0x0041, {2}));  // written, but its acknowledgement is lost
    EXPECT_EQ(reader.Next(500), std::nullopt);
    EXPECT_EQ(mouse.Read(0x0041, 1).at(4), 2);
    SetFaults(vmouse::Faults{.ackDelayMs = 400});
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(mouse.Write(0x0042, {3}));
    EXPECT_EQ(reader.Next(200), std::nullopt);
    EXPECT_EQ(reader.Next(3000), kAck);
    EXPECT_GE(GetTickCount64() - start, 350u);
}

TEST_F(DeviceTest, GarbageAndSilence) {
    SetFaults(vmouse::Faults{.garbageAnswers = true});
    const Bytes garbage = mouse.Read(0x0005, 1);
    ASSERT_EQ(garbage.size(), 16u);
    EXPECT_NE(garbage, mouse.Read(0x0005, 1));
    SetFaults(vmouse::Faults{.silent = true});
    InputReader reader;
    EXPECT_FALSE(mouse.Write(0x0050, {9}));
    EXPECT_TRUE(mouse.Read(0x0005, 1).empty());
    EXPECT_EQ(reader.Next(300), std::nullopt);
    SetFaults(vmouse::Faults{});
    EXPECT_EQ(Eeprom().at(0x50), 0);
}

// Raw input, as the display program receives the mouse's reports.
struct RawSink {
    HWND window = nullptr;
    std::vector<Bytes> reports;

    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<RawSink*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (msg == WM_INPUT && self != nullptr) {
            UINT size = 0;
            GetRawInputData(reinterpret_cast<HRAWINPUT>(l), RID_INPUT, nullptr, &size,
                            sizeof(RAWINPUTHEADER));
            std::vector<BYTE> buffer(size);
            if (GetRawInputData(reinterpret_cast<HRAWINPUT>(l), RID_INPUT, buffer.data(), &size,
                                sizeof(RAWINPUTHEADER)) == size) {
                const auto* raw = reinterpret_cast<const RAWINPUT*>(buffer.data());
                if (raw->header.dwType == RIM_TYPEHID) {
                    for (DWORD i = 0; i < raw->data.hid.dwCount; ++i) {
                        const BYTE* r = raw->data.hid.bRawData + i * raw->data.hid.dwSizeHid;
                        self->reports.emplace_back(r, r + raw->data.hid.dwSizeHid);
                    }
                }
            }
        }
        return DefWindowProcW(h, msg, w, l);
    }
};

TEST_F(DeviceTest, RawInputDeliversTheInputReports) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RawSink::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VMouseRawSink";
    RegisterClassW(&wc);
    RawSink sink;
    sink.window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(sink.window, nullptr);
    SetWindowLongPtrW(sink.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&sink));
    RAWINPUTDEVICE device{vmouse::kVendorUsagePage, vmouse::kWriteUsage, RIDEV_INPUTSINK,
                          sink.window};
    ASSERT_TRUE(RegisterRawInputDevices(&device, 1, sizeof device));
    Press(vmouse::Control::Lock);
    const ULONGLONG end = GetTickCount64() + 3000;
    while (sink.reports.empty() && GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    device.dwFlags = RIDEV_REMOVE;
    device.hwndTarget = nullptr;
    RegisterRawInputDevices(&device, 1, sizeof device);
    DestroyWindow(sink.window);
    ASSERT_FALSE(sink.reports.empty());
    EXPECT_EQ(sink.reports.front(), Event(0x08));
}

}  // namespace
}  // namespace vmtest
