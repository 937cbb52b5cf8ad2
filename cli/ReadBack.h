#pragma once
// The five profiles read back from the mouse's EEPROM, each button's record decoded into the
// function it stands for, and what the mouse holds recorded in the per-user store.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "cli/BundleStore.h"
#include "device/ButtonRecord.h"
#include "device/CommandReport.h"
#include "device/RecordTemplates.h"

namespace cli {

// EEPROM 0x0005..0x000B: active profile x 0x20, polling code, level and lights, four DPI steps.
inline constexpr std::uint16_t kGlobalsAddress = 0x0005;
inline constexpr std::size_t kGlobalsSize = 7;
struct MouseGlobals {
    std::array<std::uint8_t, kGlobalsSize> bytes{};
    int ActiveProfile() const { return bytes[0] / 0x20; }  // 1..5 when sound
    int PollingCode() const { return bytes[1]; }
    int LevelNumber() const { return (bytes[2] & 0x0F) + 1; }
    bool WheelLight() const { return (bytes[2] & 0x10) != 0; }
    // As the configuration program reads it at attach: any of the upper three bits.
    bool LogoLight() const { return (bytes[2] & 0xE0) != 0; }
    int DpiStep(int level) const { return bytes[static_cast<std::size_t>(2 + level)]; }
};

struct MouseProfiles {
    MouseGlobals globals;
    std::array<std::array<device::ButtonRecord, device::kButtonCount>, device::kProfileCount>
        records{};
};

struct ProfileReadBack {
    bool ok = false;
    MouseProfiles profiles;
    std::wstring error;
};
// Reads 0x0005..0x000B and 0x0010..0x0811. Refuses, saying why, when the mouse does not answer
// such reads or answers with something that holds no button records.
ProfileReadBack ReadMouseProfiles(platform::DeviceChannel& channel, platform::Waits& waits,
                                  device::DeviceReportState& state);

struct ButtonFunction {
    device::FunctionKind kind = device::kFunctionNone;
    std::wstring name;  // the default's or command's list name; "Launch program"; "Macro"
    int events = 0;     // entries of a macro
    std::uint8_t repeatMode = device::kRepeatTimes;
    std::uint8_t repeatCount = 0;
    int launchProfile = -1;  // the slot a launch code names
    int launchButton = -1;
};
ButtonFunction DecodeButtonRecord(const device::ButtonRecord& record, int button);
// One line: "default (Left button)", "command Forward", "launch program (profile 1, middle
// button)", "macro, 6 events, played 3 times".
std::wstring DescribeFunction(const ButtonFunction& function);

// Records the mouse's profiles in the store as the configuration program keeps them: each
// slot's record, kind and description (a macro is named after the stored macro it expands to,
// or keeps the slot's own name when the store already held that record), the lights and the
// DPI levels and polling rate. All or nothing.
StoreChange RecordReadBack(platform::SettingsStore& store, const MouseProfiles& profiles);
// Only the global settings (after a command changed them in the mouse's EEPROM).
StoreChange RecordGlobals(platform::SettingsStore& store, const MouseGlobals& globals);

// Whether the mouse holds the records the profiles were written with: empty when it does, else
// which slot differs.
std::wstring CompareWritten(const MouseProfiles& read,
                            const std::vector<std::pair<int, device::ProfileRecordTexts>>& written);

}  // namespace cli
