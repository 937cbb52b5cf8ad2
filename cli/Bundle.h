#pragma once
// A profile bundle: everything the per-user store holds for the mouse, as one value that can be
// written to a file, checked, and put back. Each optional field mirrors a store value that may be
// missing; a missing field stands for a missing value, so an export and its import round-trip.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "cli/AutoRules.h"
#include "device/ButtonRecord.h"
#include "macro/MacroStore.h"
#include "macro/MacroText.h"
#include "performance/PerformanceRecord.h"
#include "device/SettingsLayout.h"

namespace cli {

inline constexpr int kBundleVersion = 1;
inline constexpr std::string_view kBundleFormat = "tavrine-profile-bundle";
// The buttons as bundles and the JSON outputs name them, in record order.
inline constexpr std::array<std::string_view, device::kButtonCount> kButtonLabels = {
    "left", "right", "middle", "side1", "side2"};

struct BundleButton {
    std::optional<std::wstring> keys;         // the record's hex text as stored ("keys")
    std::optional<std::wstring> description;  // "DES"
    std::optional<std::int32_t> kind;         // "StateID": FunctionKind 0..4
    std::optional<std::wstring> launchPath;   // "filepath"
    // For a macro assignment: the stored macro the record was made from, when the bundle holds it.
    std::optional<std::wstring> macro;
    bool operator==(const BundleButton&) const = default;
};

struct BundleProfile {
    std::array<BundleButton, device::kButtonCount> buttons{};
    bool operator==(const BundleProfile&) const = default;
};

// One key below MACROS, by its values.
struct BundleMacro {
    std::wstring name;
    std::optional<std::wstring> keys;
    std::optional<std::wstring> commandSlots;
    std::optional<std::wstring> description;
    std::optional<std::wstring> repeatState;
    std::optional<std::wstring> repeatTimes;
    bool operator==(const BundleMacro&) const = default;
};

// A value of a button's or a macro's key as the bundle carries it: its JSON name, its registry
// value name and its field. The JSON reader and writer and the store reader and writer all walk
// these lists, so a field added here travels all four ways (text values set `text`, integer
// values `number`).
template <typename Record>
struct BundleField {
    const char* json;
    std::wstring_view value;
    std::optional<std::wstring> Record::*text = nullptr;
    std::optional<std::int32_t> Record::*number = nullptr;
};
inline constexpr std::array<BundleField<BundleButton>, 4> kButtonFields = {{
    {"keys", device::kKeysValue, &BundleButton::keys},
    {"description", device::kDescriptionValue, &BundleButton::description},
    {"kind", device::kStateIdValue, nullptr, &BundleButton::kind},
    {"launchPath", device::kFilePathValue, &BundleButton::launchPath},
}};
inline constexpr std::array<BundleField<BundleMacro>, 5> kMacroFields = {{
    {"keys", device::kKeysValue, &BundleMacro::keys},
    {"commandSlots", macro::kCommandSlotsValue, &BundleMacro::commandSlots},
    {"description", device::kDescriptionValue, &BundleMacro::description},
    {"repeatState", macro::kRepeatStateValue, &BundleMacro::repeatState},
    {"repeatTimes", macro::kRepeatTimesValue, &BundleMacro::repeatTimes},
}};

// The ten "Performance" values, each present or not, in kPerformanceWriteOrder.
using BundlePerformance =
    std::array<std::optional<std::int32_t>, performance::kPerformanceWriteOrder.size()>;

struct BundleLights {
    std::optional<std::int32_t> wheel;
    std::optional<std::int32_t> logo;
    bool operator==(const BundleLights&) const = default;
};

struct Bundle {
    std::array<BundleProfile, device::kProfileCount> profiles{};
    std::vector<BundleMacro> macros;
    BundlePerformance performance{};
    BundleLights lights;
    // The automatic profiles by program; none: the bundle leaves them as they are. An optional
    // section of version 1, which readers without it skip as an unknown field.
    std::optional<AutoProfile> autoProfile;
    bool operator==(const Bundle&) const = default;
};

// Why a bundle cannot be used; empty when it can. One sentence for the user.
std::wstring CheckBundle(const Bundle& bundle);
// Why the bundle cannot be written into the mouse (a profile without a left-button function
// would leave the mouse without one); empty when it can.
std::wstring CheckBundleForMouse(const Bundle& bundle);

// "profile 2, right button": how messages name a slot.
std::wstring SlotName(int profile, int button);

}  // namespace cli
