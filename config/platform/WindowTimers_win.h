#pragma once
// One-shot Timers over SetTimer on a message-only window of the calling (GUI) thread.
#include <windows.h>

#include <map>
#include <string>

#include "platform/Timers.h"

namespace platform {

class WindowTimers final : public Timers {
  public:
    WindowTimers();
    ~WindowTimers() override;
    WindowTimers(const WindowTimers&) = delete;
    WindowTimers& operator=(const WindowTimers&) = delete;

    void Start(std::string_view role, std::chrono::milliseconds interval,
               std::function<void()> onFire) override;
    void Stop(std::string_view role) override;
    bool IsRunning(std::string_view role) const override;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Fire(UINT_PTR id);

    struct Role {
        UINT_PTR id = 0;
        bool running = false;
        std::function<void()> onFire;
    };
    HWND window_ = nullptr;
    UINT_PTR nextId_ = 1;
    std::map<std::string, Role, std::less<>> roles_;
};

}  // namespace platform
