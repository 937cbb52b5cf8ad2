#include "cli/DeviceReportPump_win.h"

#include "common/DeviceIds.h"

#include "wminput/WmInput.h"

namespace cli {

namespace {
constexpr wchar_t kClass[] = L"TavrineCliReports";
constexpr std::size_t kReportBytes = 8;  // WMINPUT hands over at least 8
}  // namespace

DeviceReportPump::DeviceReportPump() {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kClass;
    RegisterClassExW(&windowClass);
    window_ =
        CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (!window_) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // The two vendor collections: acknowledgements and events come on them.
    const WORD pages[] = {0xFF00, 0xFF00};
    const WORD usages[] = {0xFF00, 0x0002};
    registered_ = RegisterDeviceReports(window_, pages, usages, 2) == 1;
}

DeviceReportPump::~DeviceReportPump() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK DeviceReportPump::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    // Only WMINPUT's own send on this thread carries pointers that may be read; a 0x515 sent
    // from elsewhere (another thread or process) is not looked at, and posted ones are dropped
    // by the loop before they get here.
    if (message == wminput::kMsgDeviceReport && !InSendMessage()) {
        auto* pump = reinterpret_cast<DeviceReportPump*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (pump && wParam && lParam) {
            const auto* ids = reinterpret_cast<const DWORD*>(wParam);
            if (ids[0] == common::DeviceVendorId && ids[1] == common::DeviceProductId) {
                ++pump->reports_;
                const auto* bytes = reinterpret_cast<const std::uint8_t*>(lParam);
                try {
                    if (pump->onReport) pump->onReport({bytes, kReportBytes});
                } catch (...) {
                    // Nothing unwinds into WMINPUT; the write's own time-out takes over.
                }
            }
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void DeviceReportPump::PumpOnce(DWORD waitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == wminput::kMsgDeviceReport) continue;  // posted: not WMINPUT's
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool DeviceReportPump::RunUntil(const std::function<bool()>& done,
                                std::chrono::milliseconds timeout) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        PumpOnce(static_cast<DWORD>(std::min<ULONGLONG>(end - now, 50)));
    }
    return true;
}

bool DeviceReportPump::WaitForReport(std::chrono::milliseconds timeout) {
    const std::uint64_t before = reports_;
    return RunUntil([&] { return reports_ != before; }, timeout);
}

}  // namespace cli
