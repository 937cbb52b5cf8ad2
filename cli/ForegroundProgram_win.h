#pragma once
// The program in front: the system's foreground and focus events (no polling), and a window's
// program by the full path of its image.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "cli/FrontTracker.h"

namespace cli {

class ForegroundHook {
  public:
    // onChange gets each new foreground window of another process, and how long ago it came
    // to the front, on this thread's message loop (the hooks run out of context).
    using OnChange = std::function<void(HWND, std::chrono::milliseconds)>;
    explicit ForegroundHook(OnChange onChange);
    ~ForegroundHook();
    ForegroundHook(const ForegroundHook&) = delete;
    ForegroundHook& operator=(const ForegroundHook&) = delete;
    bool ok() const { return foreground_ != nullptr && focus_ != nullptr; }
    // The window in front at the start, so that a focus event for it is not news.
    void Seen(HWND front);

  private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD time);
    OnChange onChange_;
    FrontTracker tracker_;
    HWINEVENTHOOK foreground_ = nullptr;
    HWINEVENTHOOK focus_ = nullptr;
};

// "C:\Games\Game.exe"; empty when the window is gone or its process cannot be asked.
std::wstring ImagePathOf(HWND window);

}  // namespace cli
