#pragma once
// The 19 built-in commands the editor inserts as placeholders: their codes, names, language
// numbers, the bytes each costs once expanded for the mouse, and the expansion itself.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace macro {

inline constexpr int kCommandCount = 19;

struct MacroCommand {
    std::uint8_t code;
    std::wstring_view listItem;  // built-in name
    int languageNumber;
    std::array<std::uint8_t, 8> expansion;
    std::size_t expansionSize;  // the cost: 4 or 8 bytes
    std::span<const std::uint8_t> Expansion() const { return {expansion.data(), expansionSize}; }
};

extern const std::array<MacroCommand, kCommandCount> kMacroCommands;

// The command of a code, null for any other byte.
const MacroCommand* CommandOfCode(std::uint8_t code);

// Numbered language texts; nothing when a text is missing.
using MacroTextLookup = std::function<std::optional<std::wstring>(int number)>;

// The words the rows show, resolved once from the language texts.
struct MacroLanguage {
    std::array<std::wstring, kCommandCount> commandNames;
    std::wstring pressSuffix = L"  press";
    std::wstring releaseSuffix = L"  release";

    static MacroLanguage BuiltIn();
    // Command names from texts 67-82, 85, 59, 86 when present; the press and release words as
    // the language texts give them (texts 83 and 84, or the built-in words): a word of spaces
    // only leaves the built-in one.
    static MacroLanguage From(const MacroTextLookup& lookup, std::wstring_view pressWord = L"press",
                              std::wstring_view releaseWord = L"release");
};

// The name of command `index` 0..18 (the language text when present, else the list item);
// empty for an index outside.
std::wstring CommandName(int index, const MacroLanguage& language);

}  // namespace macro
