#pragma once
// The program in front: the system's foreground event (no polling), and a window's program by
// the full path of its image.
#include <windows.h>

#include <functional>
#include <string>

namespace cli {

class ForegroundHook {
  public:
    // onChange gets each new foreground window of another process, on this thread's message
    // loop (the hook runs out of context).
    explicit ForegroundHook(std::function<void(HWND)> onChange);
    ~ForegroundHook();
    ForegroundHook(const ForegroundHook&) = delete;
    ForegroundHook& operator=(const ForegroundHook&) = delete;
    bool ok() const { return hook_ != nullptr; }

  private:
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD time);
    std::function<void(HWND)> onChange_;
    HWINEVENTHOOK hook_ = nullptr;
};

// "C:\Games\Game.exe"; empty when the window is gone or its process cannot be asked.
std::wstring ImagePathOf(HWND window);

}  // namespace cli
