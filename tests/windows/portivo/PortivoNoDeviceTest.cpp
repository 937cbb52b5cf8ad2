// Portivo.dll loaded as the programs load it, in a prefix without the mouse.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "portivo/Portivo.h"

namespace {

struct Message {
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Message> g_received;

LRESULT CALLBACK CallerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= 0x600 && message <= 0x800) g_received.push_back({message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}

void Pump(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// These tests need a system without the mouse: when the virtual mouse is part of the build, make
// sure it is not plugged in (another test may have left it so).
void UnplugVirtualMouse() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != L'\\') --length;
    path[length] = 0;
    std::wstring tool = std::wstring(path) + L"vmouse.exe";
    if (GetFileAttributesW(tool.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    std::wstring line = L"\"" + tool + L"\" unplug";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return;
    }
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

class PortivoNoDevice : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        UnplugVirtualMouse();
        library = LoadLibraryW(L"Portivo.dll");
        ASSERT_NE(library, nullptr) << "Portivo.dll beside the test";
        initDriver = portivo::BindOrdinal<portivo::InitDriverFn>(library, portivo::kOrdInitDriver);
        setFeatures =
            portivo::BindOrdinal<portivo::FeatureFn>(library, portivo::kOrdSetKbdFeatures);
        getFeatures =
            portivo::BindOrdinal<portivo::FeatureFn>(library, portivo::kOrdGetKbdFeatures);

        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = CallerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PortivoTestCaller";
        RegisterClassExW(&wc);
        caller = CreateWindowExW(0, wc.lpszClassName, L"caller", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    }

    static void* Named(const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(library, name));
    }

    static inline HMODULE library = nullptr;
    static inline HWND caller = nullptr;
    static inline portivo::InitDriverFn initDriver = nullptr;
    static inline portivo::FeatureFn setFeatures = nullptr;
    static inline portivo::FeatureFn getFeatures = nullptr;
    static inline DeviceSpec specs[2] = {{0x1D57, 0x5502, 0xFF00, 0xFF00},
                                         {0x1D57, 0x5502, 0xFF00, 0x0002}};
};

TEST_F(PortivoNoDevice, OrdinalsTwoThreeFourAreTheNamedExports) {
    ASSERT_NE(initDriver, nullptr);
    ASSERT_NE(setFeatures, nullptr);
    ASSERT_NE(getFeatures, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(initDriver), Named("InitDriver"));
    EXPECT_EQ(reinterpret_cast<void*>(setFeatures), Named("SetKbdFeatures"));
    EXPECT_EQ(reinterpret_cast<void*>(getFeatures), Named("GetKbdFeatures"));
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(11)), nullptr);
}

TEST_F(PortivoNoDevice, InitDriverOnceThenZeroAndOneNoneLeftMessage) {
    ASSERT_NE(caller, nullptr);
    EXPECT_EQ(initDriver(caller, specs, 2), 1);
    EXPECT_EQ(initDriver(caller, specs, 2), 0);
    Pump(1500);
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].id, 0x700u);
    EXPECT_EQ(g_received[0].wParam, static_cast<WPARAM>(0xFFFFFFFF));
    EXPECT_EQ(g_received[0].lParam, 0);

    HWND notify = FindWindowW(L"HKUSBClass", L"HKUSBKEYMSG");
    ASSERT_NE(notify, nullptr) << "the change-watch window exists";
    EXPECT_EQ(GetWindowThreadProcessId(notify, nullptr), GetCurrentThreadId());
    EXPECT_FALSE(IsWindowVisible(notify));
}

TEST_F(PortivoNoDevice, ReportsForAnAbsentCollectionFailAndLeaveTheBufferAlone) {
    std::array<BYTE, 16> report{3, 5, 0, 1, 0x20};
    EXPECT_EQ(setFeatures(0x1D57, 0x5502, 0xFF00, 0xFF00, report.data()), 0);
    std::array<BYTE, 16> buffer;
    buffer.fill(0xA5);
    buffer[0] = 4;
    EXPECT_EQ(getFeatures(0x1D57, 0x5502, 0xFF00, 0x0002, buffer.data()), 0);
    EXPECT_EQ(buffer[0], 4);
    for (std::size_t i = 1; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xA5) << i;

    auto firmware =
        portivo::BindOrdinal<portivo::FirmwareVerFn>(library, portivo::kOrdGetFirmwareVer);
    int version = 42;
    EXPECT_EQ(firmware(0x1D57, 0x5502, 0xFF00, 0x0002, &version), 0);
    EXPECT_EQ(version, 42);
    auto product = portivo::BindOrdinal<portivo::StringFn>(library, portivo::kOrdGetProductStr);
    WCHAR text[8] = L"keep";
    EXPECT_EQ(product(0x1D57, 0x5502, 0xFF00, 0x0002, text, sizeof text), 0);
    EXPECT_STREQ(text, L"keep");
}

}  // namespace
