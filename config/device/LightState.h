#pragma once
// The wheel and logo lights: 0 off, 1 on. Global, not per profile.
#include <cstdint>

namespace device {

struct LightState {
    std::uint8_t WheelLight = 0;
    std::uint8_t LogoLight = 0;
};

}  // namespace device
