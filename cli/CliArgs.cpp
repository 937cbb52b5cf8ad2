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
    bool json, save, write, intoStore;
};
constexpr std::array<CommandInfo, 8> kCommands = {{
    {L"status", CliCommand::Status, 0, 0, true, false, false, false},
    {L"profile", CliCommand::Profile, 1, 1, false, true, false, false},
    {L"dpi", CliCommand::Dpi, 1, 2, false, true, false, false},
    {L"polling", CliCommand::Polling, 1, 1, false, true, false, false},
    {L"light", CliCommand::Light, 2, 2, false, true, false, false},
    {L"export", CliCommand::Export, 1, 1, false, false, false, false},
    {L"import", CliCommand::Import, 1, 1, false, false, true, false},
    {L"read-back", CliCommand::ReadBack, 0, 0, true, false, false, true},
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

}  // namespace

CliParse ParseCliArgs(const std::vector<std::wstring>& arguments) {
    CliParse parse;
    std::vector<std::wstring> operands;
    bool help = false, json = false, save = false, write = false, intoStore = false;
    for (const std::wstring& argument : arguments) {
        if (argument == L"--help" || argument == L"-h" || argument == L"/?")
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
        (intoStore && !info->intoStore))
        return Fail(name + L": an option it does not take was given");

    CliArgs& args = parse.args;
    args.command = info->command;
    args.json = json;
    args.save = save;
    args.write = write;
    args.intoStore = intoStore;
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

Options:
  --json    machine-readable output (status, read-back)
  --help    this text

Exit code 0 on success; on failure one line "tavrine: <what> failed: <why>" on stderr.
)";
}

}  // namespace cli
