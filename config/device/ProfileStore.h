#pragma once
// Button assignments and lights in the settings store, and their copy in the main state.
#include <string>
#include <string_view>

#include "device/MainState.h"
#include "platform/SettingsStore.h"

namespace device {

// Reads the five button keys of profile p into the record texts and slot table and the light
// key into the light state (keys are created when missing; a missing value gives an empty text
// or kind 0). Returns false, touching nothing, for a profile index outside 0..4.
bool LoadProfile(platform::SettingsStore& store, int profile, MainState& state);
// Writes "keys", "DES" and "StateID" of the five buttons of p and both light values.
bool SaveProfile(platform::SettingsStore& store, int profile, const MainState& state);
// The same from explicit texts and slots, for writes that keep their own copy.
bool SaveProfile(platform::SettingsStore& store, int profile, const ProfileRecordTexts& texts,
                 const std::array<ButtonSlot, kButtonCount>& slots, const LightState& lights);
// The "filepath" of a slot; empty when missing.
std::wstring ReadLaunchFile(platform::SettingsStore& store, int profile, int button);

// Single values the editors write at once.
bool WriteSlotDescription(platform::SettingsStore& store, int profile, int button,
                          std::wstring_view description);
bool WriteLaunchFile(platform::SettingsStore& store, int profile, int button,
                     std::wstring_view file);

// The installation folder from the machine-wide key; empty when missing.
std::wstring ReadInstallPath(platform::SettingsStore& store);

}  // namespace device
