#include "PointerSettings_win.h"

#include <windows.h>

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
