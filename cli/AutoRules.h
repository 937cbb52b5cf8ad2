#pragma once
// Automatic profiles by program: the rules ("this program in front: that profile"), how a
// program's image path is matched against them, and the checks every rule passes before it is
// stored, whichever way it comes (command line, bundle, tray menu).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

inline constexpr int kMaxAutoRules = 100;
inline constexpr std::size_t kMaxRuleProgramLength = 1024;
inline constexpr int kDefaultSettleMs = 1500;
inline constexpr int kMinSettleMs = 0;
inline constexpr int kMaxSettleMs = 60000;

struct AutoRule {
    // A file name ("game.exe") or a path ("C:\Games\*\game.exe"); `*` stands for any run of
    // characters, `\` included. Case does not matter.
    std::wstring program;
    int profile = 1;  // 1..5
    bool operator==(const AutoRule&) const = default;
};

struct AutoProfile {
    bool enabled = true;
    std::optional<int> fallback;  // every other program; none: the mouse stays where it is
    std::optional<int> settleMs;  // none: kDefaultSettleMs
    std::vector<AutoRule> rules;  // first match wins
    bool operator==(const AutoProfile&) const = default;
    int Settle() const { return settleMs.value_or(kDefaultSettleMs); }
};

// Case folded as Windows compares file names, for the scripts a file name is likely in (Latin,
// Greek, Cyrillic); anything else compares as it is.
wchar_t FoldCase(wchar_t c);
bool SameText(std::wstring_view a, std::wstring_view b);
// `*` matches any run of characters; `/` and `\` are the same. Case-insensitive.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view text);
// The last part of a path ("C:\Games\Game.exe" -> "Game.exe").
std::wstring_view FileNameOf(std::wstring_view path);

// Whether a rule's program names the image path: a rule with a folder in it is matched against
// the whole path, one without against the file name.
bool RuleMatches(std::wstring_view program, std::wstring_view imagePath);
// The profile for the program in front: its first rule, else the fallback, else none. Nothing
// for an unknown (empty) path.
std::optional<int> ProfileFor(const AutoProfile& settings, std::wstring_view imagePath);

// Why a rule's program text cannot be stored; empty when it can.
std::wstring RuleProgramProblem(std::wstring_view program);
// Why the settings cannot be used; empty when they can. One sentence.
std::wstring CheckAutoProfile(const AutoProfile& settings);

// "profile 1".."profile 5" as typed: a digit 1..5.
std::optional<int> ProfileNumber(std::wstring_view text);

// The rule for a program (same text, case aside) gets the profile, in its place, or a new rule
// is added last. Empty on success, else why not (the settings are left as they were).
std::wstring AddRule(AutoProfile& settings, std::wstring_view program, int profile);
// Removes the program's rule; false when there is none.
bool RemoveRule(AutoProfile& settings, std::wstring_view program);

}  // namespace cli
