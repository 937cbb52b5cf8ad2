#pragma once
// Short blocking waits of the GUI thread (device reports and timers queue meanwhile).
#include <chrono>

class Waits {
  public:
    virtual ~Waits() = default;
    virtual void Wait(std::chrono::milliseconds duration) = 0;
};
