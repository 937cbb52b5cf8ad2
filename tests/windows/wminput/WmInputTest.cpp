// WMINPUT.DLL registration, as the configuration program calls it at every attach.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "wminput/WmInput.h"

namespace {

BOOL CALLBACK CountSink(HWND window, LPARAM param) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpW(name, L"WmInputReportSink") == 0) ++*reinterpret_cast<int*>(param);
    return TRUE;
}

int CountSinkWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountSink, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(WmInput, RegistersTheCollectionsOnOneHiddenWindowHowEverOftenCalled) {
    HMODULE library = LoadLibraryW(L"WMINPUT.DLL");
    ASSERT_NE(library, nullptr);
    auto registerReports =
        reinterpret_cast<wminput::RegisterDeviceReportsFn>(reinterpret_cast<void*>(
            GetProcAddress(library, MAKEINTRESOURCEA(wminput::kOrdRegisterDeviceReports))));
    ASSERT_NE(registerReports, nullptr);

    HWND target = CreateWindowExW(0, L"STATIC", L"target", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(target, nullptr);
    const WORD pages[3] = {0x0007, 0xFF00, 0xFF00};
    const WORD usages[3] = {0x0003, 0xFF00, 0x0002};

    EXPECT_EQ(registerReports(nullptr, pages, usages, 3), 0);
    EXPECT_EQ(registerReports(target, nullptr, usages, 3), 0);
    EXPECT_EQ(registerReports(target, pages, usages, 0), 0);
    EXPECT_EQ(CountSinkWindows(), 0) << "refused calls create nothing";

    EXPECT_EQ(registerReports(target, pages, usages, 3), 1);
    EXPECT_EQ(registerReports(target, pages, usages, 3), 1) << "a later attach registers again";
    EXPECT_EQ(CountSinkWindows(), 1);

    UINT count = 0;
    ASSERT_EQ(GetRegisteredRawInputDevices(nullptr, &count, sizeof(RAWINPUTDEVICE)), 0u);
    std::vector<RAWINPUTDEVICE> devices(count);
    ASSERT_EQ(GetRegisteredRawInputDevices(devices.data(), &count, sizeof(RAWINPUTDEVICE)), count);
    int ours = 0;
    for (const auto& d : devices) {
        if ((d.usUsagePage == 0xFF00 && (d.usUsage == 0xFF00 || d.usUsage == 0x0002)) ||
            (d.usUsagePage == 0x0007 && d.usUsage == 0x0003)) {
            ++ours;
            EXPECT_TRUE(d.dwFlags & RIDEV_INPUTSINK);
            EXPECT_NE(d.hwndTarget, target) << "reports go to the DLL's own sink first";
        }
    }
    EXPECT_EQ(ours, 3);
}

}  // namespace
