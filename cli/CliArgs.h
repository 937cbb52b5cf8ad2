#pragma once
// The command line of tavrine.exe: which command, its operands and its options, checked before
// anything reaches the mouse or the store.
#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class CliCommand {
    Help,
    Status,
    Profile,
    Dpi,
    Polling,
    Light,
    Export,
    Import,
    ReadBack,
    Auto,
    Watch
};
// tavrine auto ...
enum class AutoAction { List, Add, Remove, Fallback, On, Off };

struct CliArgs {
    CliCommand command = CliCommand::Help;
    int number = 0;          // profile, level or polling rate
    std::optional<int> dpi;  // dpi LEVEL DPI
    bool wheel = false;      // light wheel|logo
    bool on = false;         // light ... on|off
    std::wstring file;       // export / import
    bool json = false;
    bool save = false;
    bool write = false;
    bool intoStore = false;
    AutoAction autoAction = AutoAction::List;
    std::wstring program;         // auto add / remove
    std::optional<int> fallback;  // auto fallback N (none: "none")
    std::optional<int> settleMs;  // watch --settle MS
};

struct CliParse {
    bool ok = false;
    CliArgs args;
    std::wstring error;  // the usage mistake, one line
};
// arguments without the program name.
CliParse ParseCliArgs(const std::vector<std::wstring>& arguments);

std::wstring CliHelp();

}  // namespace cli
