#pragma once
// A bundle taken from the per-user store and put back into it, all or nothing.
#include <string>

#include "cli/Bundle.h"
#include "platform/SettingsStore.h"

namespace cli {

// Reads without creating anything: keys that are missing give missing fields.
Bundle ExportBundle(platform::SettingsStore& store);

struct StoreChange {
    bool ok = false;
    std::wstring error;
};
// The 25 button slots are replaced by the bundle's (a missing field deletes the value); its
// macros are written over macros of the same name, others stay; the performance values and the
// lights are replaced when the bundle holds any of them. A bundle that fails CheckBundle
// changes nothing, and a write that fails puts everything back as it was.
StoreChange ApplyBundle(platform::SettingsStore& store, const Bundle& bundle);

}  // namespace cli
