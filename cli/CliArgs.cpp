#include "cli/CliArgs.h"

#include <array>

namespace cli {

namespace {

struct CommandInfo {
    std::wstring_view name;
    CliCommand command;
    std::size_t minOperands;
    std::size_t maxOperands;
    // Options the command takes.
    bool json, save, write, intoStore, settle = false;
};
constexpr std::array<CommandInfo, 10> kCommands = {{
    {L"status", CliCommand::Status, 0, 0, true, false, false, false},
    {L"profile", CliCommand::Profile, 1, 1, false, true, false, false},
    {L"dpi", CliCommand::Dpi, 1, 2, false, true, false, false},
    {L"polling", CliCommand::Polling, 1, 1, false, true, false, false},
    {L"light", CliCommand::Light, 2, 2, false, true, false, false},
    {L"export", CliCommand::Export, 1, 1, false, false, false, false},
    {L"import", CliCommand::Import, 1, 1, false, false, true, false},
    {L"read-back", CliCommand::ReadBack, 0, 0, true, false, false, true},
    {L"auto", CliCommand::Auto, 1, 3, true, false, false, false},
    {L"watch", CliCommand::Watch, 0, 0, false, false, false, false, true},
}};

struct AutoActionInfo {
    std::wstring_view name;
    AutoAction action;
    std::size_t operands;  // after the action's name
};
constexpr std::array<AutoActionInfo, 6> kAutoActions = {{
    {L"list", AutoAction::List, 0},
    {L"add", AutoAction::Add, 2},
    {L"remove", AutoAction::Remove, 1},
    {L"fallback", AutoAction::Fallback, 1},
    {L"on", AutoAction::On, 0},
    {L"off", AutoAction::Off, 0},
}};

// A plain decimal number of at most 5 digits.
std::optional<int> Number(const std::wstring& text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    return value;
}

CliParse Fail(std::wstring why) {
    CliParse parse;
    parse.error = std::move(why);
    return parse;
}

// auto ACTION [OPERANDS]: the operands after "auto".
std::optional<std::wstring> ParseAuto(const std::vector<std::wstring>& operands, CliArgs& args) {
    const AutoActionInfo* info = nullptr;
    for (const AutoActionInfo& candidate : kAutoActions)
        if (candidate.name == operands[0]) info = &candidate;
    if (!info)
        return L"auto: unknown action " + operands[0] + L" (list, add, remove, fallback, on, off)";
    if (operands.size() - 1 != info->operands)
        return L"auto " + std::wstring(info->name) + L": " +
               (operands.size() - 1 < info->operands ? L"too few" : L"too many") + L" arguments";
    if (args.json && info->action != AutoAction::List)
        return L"auto " + std::wstring(info->name) + L": an option it does not take was given";
    args.autoAction = info->action;
    if (info->action == AutoAction::Add || info->action == AutoAction::Remove)
        args.program = operands[1];
    if (info->action == AutoAction::Add) {
        auto profile = Number(operands[2]);
        if (!profile) return L"auto add: " + operands[2] + L" is not a number";
        args.number = *profile;
    }
    if (info->action == AutoAction::Fallback && operands[1] != L"none") {
        args.fallback = Number(operands[1]);
        if (!args.fallback) return L"auto fallback: the profile is 1 to 5, or none";
    }
    return std::nullopt;
}

}  // namespace

CliParse ParseCliArgs(const std::vector<std::wstring>& arguments) {
    CliParse parse;
    std::vector<std::wstring> operands;
    bool help = false, json = false, save = false, write = false, intoStore = false;
    std::optional<int> settle;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument == L"--settle") {
            if (i + 1 == arguments.size())
                return Fail(L"--settle: the time in milliseconds is missing");
            settle = Number(arguments[++i]);
            if (!settle || *settle > 60000)
                return Fail(L"--settle: " + arguments[i] + L" is not 0 to 60000 milliseconds");
        } else if (argument == L"--help" || argument == L"-h" || argument == L"/?")
            help = true;
        else if (argument == L"--json")
            json = true;
        else if (argument == L"--save")
            save = true;
        else if (argument == L"--write")
            write = true;
        else if (argument == L"--into-store")
            intoStore = true;
        else if (argument.size() > 1 && argument[0] == L'-' && argument[1] == L'-')
            return Fail(L"unknown option " + argument);
        else
            operands.push_back(argument);
    }
    if (help || operands.empty()) {
        parse.ok = help;  // no command at all is a mistake, shown with the help
        if (!help) parse.error = L"no command given";
        return parse;
    }
    const CommandInfo* info = nullptr;
    for (const CommandInfo& candidate : kCommands)
        if (candidate.name == operands.front()) info = &candidate;
    if (!info) return Fail(L"unknown command " + operands.front());
    operands.erase(operands.begin());
    const std::wstring name(info->name);
    if (operands.size() < info->minOperands) return Fail(name + L": too few arguments");
    if (operands.size() > info->maxOperands) return Fail(name + L": too many arguments");
    if ((json && !info->json) || (save && !info->save) || (write && !info->write) ||
        (intoStore && !info->intoStore) || (settle && !info->settle))
        return Fail(name + L": an option it does not take was given");

    CliArgs& args = parse.args;
    args.command = info->command;
    args.json = json;
    args.save = save;
    args.write = write;
    args.intoStore = intoStore;
    args.settleMs = settle;
    switch (info->command) {
        case CliCommand::Profile:
        case CliCommand::Dpi:
        case CliCommand::Polling: {
            auto number = Number(operands[0]);
            if (!number) return Fail(name + L": " + operands[0] + L" is not a number");
            args.number = *number;
            if (operands.size() > 1) {
                args.dpi = Number(operands[1]);
                if (!args.dpi) return Fail(name + L": " + operands[1] + L" is not a number");
            }
            break;
        }
        case CliCommand::Light:
            if (operands[0] != L"wheel" && operands[0] != L"logo")
                return Fail(L"light: the light is wheel or logo");
            if (operands[1] != L"on" && operands[1] != L"off")
                return Fail(L"light: the state is on or off");
            args.wheel = operands[0] == L"wheel";
            args.on = operands[1] == L"on";
            break;
        case CliCommand::Export:
        case CliCommand::Import:
            args.file = operands[0];
            break;
        case CliCommand::Auto:
            if (auto problem = ParseAuto(operands, args)) return Fail(*problem);
            break;
        default:
            break;
    }
    parse.ok = true;
    return parse;
}

std::wstring CliHelp() {
    return LR"(Usage: tavrine COMMAND [ARGUMENTS] [OPTIONS]

The Tavrine mouse from the command line: its state, live settings and profile bundles.

Commands:
  status [--json]                 whether the mouse is attached, its firmware, active profile,
                                  DPI level, polling rate, lights and lock
  profile N [--save]              make profile N (1-5) the active profile (the mouse keeps
                                  it in its settings, so --save adds nothing)
  dpi LEVEL [DPI] [--save]        switch to DPI level LEVEL (1-4), at DPI (100-3500, in steps
                                  of 100) when given; --save stores it in the mouse and the
                                  settings as the performance dialog does
  polling 125|500|1000 [--save]   set the polling rate in Hz
  light wheel|logo on|off [--save]
                                  switch a light; --save stores it in the mouse and the settings
  export FILE                     write the five profiles' assignments, the macros, the
                                  performance values and the lights to a bundle file (JSON)
  import FILE [--write]           put a bundle into your settings, all or nothing; --write
                                  also writes the five profiles into the mouse
  read-back [--json] [--into-store]
                                  read the five profiles from the mouse and show each button's
                                  function; --into-store records them in your settings, so the
                                  configuration program shows what the mouse holds

  auto list [--json]              the automatic profiles: which program in front makes which
                                  profile the active one
  auto add PROGRAM PROFILE        a rule: PROGRAM (a file name like game.exe, or a path; * is
                                  any run of characters; case does not matter) gets PROFILE
  auto remove PROGRAM             drop the program's rule
  auto fallback N|none            profile N for every other program, or stay where it is
  auto on|off                     switch the automatic profiles on or off
  watch [--settle MS]             switch profiles by the program in front (one runs at a time;
                                  an icon in the notification area pauses it or ends it); a
                                  change counts once it has held MS milliseconds (1500)

Options:
  --json    machine-readable output (status, read-back, auto list)
  --help    this text

Exit code 0 on success; on failure one line "tavrine: <what> failed: <why>" on stderr.
)";
}

}  // namespace cli
