#include "performance/PointerSettings_win.h"

#include <windows.h>

namespace performance {

std::int32_t SystemPointerSettings::WheelScrollLines() const {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    // WHEEL_PAGESCROLL (0xFFFFFFFF) reads as -1: one screen at a time.
    return static_cast<std::int32_t>(lines);
}

std::int32_t SystemPointerSettings::MouseSpeed() const {
    int speed = 10;
    SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0);
    return speed;
}

std::int32_t SystemPointerSettings::DoubleClickTime() const {
    return static_cast<std::int32_t>(GetDoubleClickTime());
}

// The results are not looked at: a value Windows refuses simply does not take effect.
void SystemPointerSettings::SetDoubleClickTime(std::int32_t milliseconds) {
    SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, static_cast<UINT>(milliseconds), nullptr,
                          SPIF_UPDATEINIFILE);
}

void SystemPointerSettings::SetMouseSpeed(std::int32_t speed) {
    // The speed travels in the pointer argument itself, not behind it. Windows ignores the
    // integer argument of this action; Wine takes the speed from it, so it carries it too.
    SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(speed),
                          reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed)), SPIF_SENDCHANGE);
}

void SystemPointerSettings::SetWheelScrollLines(std::uint32_t lines) {
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, SPIF_UPDATEINIFILE);
}

}  // namespace performance
