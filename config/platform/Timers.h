#pragma once
// One-shot timers by role: starting a role that runs restarts it; a fired timer is stopped
// before its callback runs, so the callback may start it again.
#include <chrono>
#include <functional>
#include <string_view>

namespace platform {

class Timers {
  public:
    virtual ~Timers() = default;
    virtual void Start(std::string_view role, std::chrono::milliseconds interval,
                       std::function<void()> onFire) = 0;
    virtual void Stop(std::string_view role) = 0;
    virtual bool IsRunning(std::string_view role) const = 0;
};

}  // namespace platform
