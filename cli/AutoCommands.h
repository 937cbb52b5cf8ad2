#pragma once
// tavrine auto list|add|remove|fallback|on|off: the rules in the per-user store, changed all or
// nothing and listed for people or (--json) scripts.
#include <string>

#include "cli/AutoRules.h"
#include "cli/CliArgs.h"
#include "platform/SettingsStore.h"

namespace cli {

struct AutoOutcome {
    std::wstring error;  // why the command failed, one line; empty on success
    std::string out;     // UTF-8, for stdout
    bool ok() const { return error.empty(); }
};
AutoOutcome RunAutoCommand(platform::SettingsStore& store, const CliArgs& args);

// The list as `auto list` shows it; `problem` a stored value that was left out.
std::string AutoListText(const AutoProfile& settings, const std::wstring& problem);

}  // namespace cli
