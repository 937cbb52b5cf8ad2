#pragma once
// The automatic-profile settings in the per-user store (layout in device/SettingsLayout.h): the
// value encoding as pure functions, and the key read and replaced all or nothing.
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "cli/AutoRules.h"
#include "cli/BundleStore.h"
#include "platform/SettingsStore.h"

namespace cli {

using StoredValue = std::variant<std::wstring, std::int32_t>;
using StoredValues = std::vector<std::pair<std::wstring, StoredValue>>;

StoredValues EncodeAutoProfile(const AutoProfile& settings);

struct AutoProfileRead {
    AutoProfile settings;
    // The first stored value that was not usable (and left out), for the user; empty if none.
    std::wstring problem;
};
// Values by name, as a key holds them; the rules are read from Rule1 up to the first missing.
AutoProfileRead DecodeAutoProfile(const StoredValues& values);

// Missing key: the settings of a fresh install (on, no rules, no fallback).
AutoProfileRead ReadAutoProfile(platform::SettingsStore& store);
bool AutoProfileStored(platform::SettingsStore& store);

// Replaces the key's values with the settings' (the settings must pass CheckAutoProfile);
// a failed write puts the key back as it was.
StoreChange WriteAutoProfile(platform::SettingsStore& store, const AutoProfile& settings);
// The writes alone, for a caller that keeps the key in a transaction of its own.
bool PutAutoProfile(platform::SettingsStore& store, const AutoProfile& settings);

}  // namespace cli
