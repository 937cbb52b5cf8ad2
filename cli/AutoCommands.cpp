#include "cli/AutoCommands.h"

#include <algorithm>

#include "cli/AutoProfileStore.h"
#include "cli/BundleJson.h"
#include "cli/Utf8.h"

namespace cli {

namespace {

std::string SettleText(int ms) {
    const std::string text = std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100);
    return ms % 100 ? std::to_string(ms) + " ms" : text + " s";
}

std::string RuleLine(std::string label, int profile) {
    label.resize(std::max<std::size_t>(label.size(), 36), ' ');
    return "  " + label + " profile " + std::to_string(profile) + "\n";
}

}  // namespace

std::string AutoListText(const AutoProfile& settings, const std::wstring& problem) {
    std::string text = std::string("automatic profiles: ") + (settings.enabled ? "on" : "off") +
                       ", a change counts after " + SettleText(settings.Settle()) + "\n";
    for (std::size_t i = 0; i < settings.rules.size(); ++i)
        text += RuleLine(std::to_string(i + 1) + ". " + ToUtf8(settings.rules[i].program),
                         settings.rules[i].profile);
    if (settings.rules.empty()) text += "  (no rules)\n";
    if (settings.fallback)
        text += RuleLine("every other program", *settings.fallback);
    else
        text += "  every other program                  the profile stays as it is\n";
    if (!problem.empty()) text += "note: " + ToUtf8(problem) + "\n";
    return text;
}

AutoOutcome RunAutoCommand(platform::SettingsStore& store, const CliArgs& args) {
    const AutoProfileRead read = ReadAutoProfile(store);
    AutoProfile settings = read.settings;
    AutoOutcome outcome;
    std::wstring done;
    switch (args.autoAction) {
        case AutoAction::List:
            outcome.out =
                args.json ? AutoProfileToJson(settings) : AutoListText(settings, read.problem);
            return outcome;
        case AutoAction::Add:
            outcome.error = AddRule(settings, args.program, args.number);
            done = args.program + L": profile " + std::to_wstring(args.number);
            break;
        case AutoAction::Remove:
            if (!RemoveRule(settings, args.program))
                outcome.error = L"there is no rule for " + args.program;
            done = args.program + L": no rule any more";
            break;
        case AutoAction::Fallback:
            if (args.fallback && !ProfileNumber(std::to_wstring(*args.fallback))) {
                outcome.error = L"the profile is 1 to 5, or none";
                return outcome;
            }
            settings.fallback = args.fallback;
            done = args.fallback
                       ? L"every other program: profile " + std::to_wstring(*args.fallback)
                       : L"every other program: the profile stays as it is";
            break;
        case AutoAction::On:
        case AutoAction::Off:
            settings.enabled = args.autoAction == AutoAction::On;
            done = settings.enabled ? L"automatic profiles on" : L"automatic profiles off";
            break;
    }
    if (!outcome.ok()) return outcome;
    const StoreChange change = WriteAutoProfile(store, settings);
    if (!change.ok) {
        outcome.error = change.error;
        return outcome;
    }
    outcome.out = ToUtf8(done) + "\n";
    return outcome;
}

}  // namespace cli
