#pragma once
// What tavrine prints: plain lines for people, JSON (--json) for scripts. UTF-8.
#include <optional>
#include <string>

#include "cli/LiveCommands.h"
#include "cli/ReadBack.h"

namespace cli {

// firmware: the version Portivo reports, when it does.
std::string StatusText(const MouseStatus& status, std::optional<int> firmware, bool json);
std::string DetachedStatusText(const std::wstring& why, bool json);
std::string ReadBackText(const MouseProfiles& profiles, bool json);

// "tavrine: import failed: the file is not complete JSON (cut short or damaged)" (no newline).
std::wstring ErrorLine(std::wstring_view what, std::wstring_view why);

}  // namespace cli
