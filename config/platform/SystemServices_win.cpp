#include "platform/SystemServices_win.h"

#include <mmsystem.h>

#include <shellapi.h>

#include <string>

namespace platform {

// The pauses after each command report are 3 ms: at the default 15.6 ms timer resolution a
// profile write would take half a second longer than it must.
SleepWaits::SleepWaits() { timeBeginPeriod(1); }
SleepWaits::~SleepWaits() { timeEndPeriod(1); }

void SleepWaits::Wait(std::chrono::milliseconds duration) {
    if (duration.count() > 0) Sleep(static_cast<DWORD>(duration.count()));
}

bool ShellOpener::Open(std::wstring_view file) {
    const std::wstring f(file);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner_, L"open", f.c_str(), nullptr, nullptr, SW_SHOW));
    return result > 32;  // the documented success threshold
}

bool WindowPoster::Post(std::wstring_view windowClass, std::wstring_view caption,
                        std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    const std::wstring c(windowClass), t(caption);
    HWND window = FindWindowW(c.c_str(), t.c_str());
    return window && PostMessageW(window, message, wParam, lParam);
}

}  // namespace platform
