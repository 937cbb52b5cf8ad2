#pragma once
// The Windows pointer settings the performance values mirror: read at every attach, set by the
// performance dialog.
#include <cstdint>

namespace performance {

class PointerSettings {
  public:
    virtual ~PointerSettings() = default;
    virtual std::int32_t WheelScrollLines() const = 0;  // negative or 0: one screen at a time
    virtual std::int32_t MouseSpeed() const = 0;        // 1..20
    virtual std::int32_t DoubleClickTime() const = 0;   // milliseconds

    // Stored in the user's profile (SPIF_UPDATEINIFILE).
    virtual void SetDoubleClickTime(std::int32_t milliseconds) = 0;
    // Announced to running programs (SPIF_SENDCHANGE), as the mouse speed always was.
    virtual void SetMouseSpeed(std::int32_t speed) = 0;
    // kWheelPageScroll for one screen at a time; stored in the user's profile.
    virtual void SetWheelScrollLines(std::uint32_t lines) = 0;
};

inline constexpr std::uint32_t kWheelPageScroll = 0xFFFFFFFFu;  // WHEEL_PAGESCROLL

}  // namespace performance
