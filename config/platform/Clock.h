#pragma once
// Milliseconds since an arbitrary start, like the system tick count.
#include <chrono>

namespace platform {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::chrono::milliseconds Now() const = 0;
};

}  // namespace platform
