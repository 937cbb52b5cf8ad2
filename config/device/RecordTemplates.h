#pragma once
// The fixed button records: defaults, the nine single commands, the 25 launch records; the
// launch codes, and the function kinds a slot can carry.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/ButtonRecord.h"
#include "device/SingleCommands.h"

namespace device {

enum FunctionKind : std::int32_t {
    kFunctionNone = 0,  // nothing assigned yet (shown like a default)
    kFunctionMacro = 1,
    kFunctionSingleCommand = 2,
    kFunctionDefault = 3,
    kFunctionLaunchProgram = 4,
};

inline constexpr std::uint8_t kCodeLeftButton = 0xC0;
inline constexpr std::uint8_t kCodeRightButton = 0xC1;
inline constexpr std::uint8_t kCodeMiddleButton = 0xC2;
inline constexpr int kLaunchSlots = kProfileCount * kButtonCount;

// 0xA0 + 5 x profile + button: the code a launch record carries and the mouse reports back.
constexpr std::uint8_t LaunchCode(int profile, int button) {
    return static_cast<std::uint8_t>(0xA0 + 5 * profile + button);
}

// "a0" ... "b8" in slot order p x 5 + b.
extern const std::array<std::wstring_view, kLaunchSlots> kLaunchCodeTexts;

// A record whose leading bytes are given, zeros after, repeat mode A0, count 0.
ButtonRecord MakeTemplateRecord(std::initializer_list<std::uint8_t> lead);
ButtonRecord DefaultRecord(int button);
ButtonRecord SingleCommandRecord(std::size_t index);
ButtonRecord LaunchRecord(int profile, int button);

// The same as two-digit hex texts, as the editors put them into the record texts.
std::wstring DefaultRecordText(int button);
std::wstring SingleCommandRecordText(std::size_t index);
std::wstring LaunchRecordText(int profile, int button);

// Descriptions a default assignment carries: "Left button", "Right button", "Middle button",
// empty for the side buttons.
std::wstring_view DefaultDescription(int button);

}  // namespace device
