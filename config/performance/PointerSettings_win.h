#pragma once
// The pointer settings as Windows has them (SystemParametersInfoW, GetDoubleClickTime).
#include "performance/PointerSettings.h"

namespace performance {

class SystemPointerSettings final : public PointerSettings {
  public:
    std::int32_t WheelScrollLines() const override;
    std::int32_t MouseSpeed() const override;
    std::int32_t DoubleClickTime() const override;
    void SetDoubleClickTime(std::int32_t milliseconds) override;
    void SetMouseSpeed(std::int32_t speed) override;
    void SetWheelScrollLines(std::uint32_t lines) override;
};

}  // namespace performance
