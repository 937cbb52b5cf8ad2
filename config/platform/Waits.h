#pragma once
// Short blocking waits of the GUI thread (device reports and timers queue meanwhile).
#include <chrono>

namespace platform {

class Waits {
  public:
    virtual ~Waits() = default;
    virtual void Wait(std::chrono::milliseconds duration) = 0;
};

}  // namespace platform
