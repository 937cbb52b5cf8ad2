#pragma once
// Description and function kind of every (profile, button) slot, mirrored from the store.
#include <array>
#include <cstdint>
#include <string>

#include "device/ButtonRecord.h"
#include "device/RecordTemplates.h"

namespace device {

inline constexpr std::size_t kMaxDescriptionLength = 255;

struct ButtonSlot {
    std::wstring description = L"Normal";
    std::int32_t kind = kFunctionNone;
};

using ButtonSlotTable = std::array<std::array<ButtonSlot, kButtonCount>, kProfileCount>;

}  // namespace device
