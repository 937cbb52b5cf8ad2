#pragma once
// The Windows pointer settings the performance values mirror.
#include <cstdint>

class PointerSettings {
  public:
    virtual ~PointerSettings() = default;
    virtual std::int32_t WheelScrollLines() const = 0;  // negative or 0: one screen at a time
    virtual std::int32_t MouseSpeed() const = 0;        // 1..20
    virtual std::int32_t DoubleClickTime() const = 0;   // milliseconds
};
