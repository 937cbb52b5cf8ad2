#pragma once
// A bundle taken from the per-user store and put back into it, all or nothing.
#include <functional>
#include <string>
#include <vector>

#include "cli/Bundle.h"
#include "platform/SettingsStore.h"

namespace cli {

// Reads without creating anything: keys that are missing give missing fields.
Bundle ExportBundle(platform::SettingsStore& store);

struct StoreChange {
    bool ok = false;
    std::wstring error;
};
// Keeps the keys at `paths`, runs `write`, and puts them back as they were when it fails.
StoreChange ChangeAllOrNothing(platform::SettingsStore& store,
                               const std::vector<std::wstring>& paths,
                               const std::function<bool()>& write);

// The 25 button slots are replaced by the bundle's (a missing field deletes the value); its
// macros are written over macros of the same name, others stay; the performance values and the
// lights are replaced when the bundle holds any of them. A bundle that fails CheckBundle
// changes nothing, and a write that fails puts everything back as it was.
StoreChange ApplyBundle(platform::SettingsStore& store, const Bundle& bundle);

}  // namespace cli
