#pragma once
// The small Win32 services of the core: waits, tick clock, shell and window messages.
#include <windows.h>

#include "platform/Clock.h"
#include "platform/Shell.h"
#include "platform/Waits.h"
#include "platform/WindowMessenger.h"

namespace platform {

class SleepWaits final : public Waits {
  public:
    SleepWaits();
    ~SleepWaits() override;
    SleepWaits(const SleepWaits&) = delete;
    SleepWaits& operator=(const SleepWaits&) = delete;
    void Wait(std::chrono::milliseconds duration) override;
};

class ShellOpener final : public Shell {
  public:
    explicit ShellOpener(HWND owner) : owner_(owner) {}
    bool Open(std::wstring_view file) override;

  private:
    HWND owner_;
};

class WindowPoster final : public WindowMessenger {
  public:
    bool Post(std::wstring_view windowClass, std::wstring_view caption, std::uint32_t message,
              std::uintptr_t wParam, std::intptr_t lParam) override;
};

}  // namespace platform
