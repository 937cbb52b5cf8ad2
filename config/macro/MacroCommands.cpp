#include "macro/MacroCommands.h"

namespace macro {

namespace {

constexpr MacroCommand Key(std::uint8_t code, std::wstring_view name, int number,
                           std::uint8_t key) {
    return {code, name, number, {key, 0x00, key, 0x81, 0, 0, 0, 0}, 4};
}
constexpr MacroCommand Chord(std::uint8_t code, std::wstring_view name, int number,
                             std::uint8_t modifier, std::uint8_t key) {
    return {code, name, number, {modifier, 0x00, key, 0x00, key, 0x81, modifier, 0x81}, 8};
}
constexpr MacroCommand Click(std::uint8_t code, std::wstring_view name, int number,
                             std::uint8_t click) {
    return {code, name, number, {click, 0x01, click, 0x81, 0, 0, 0, 0}, 4};
}

constexpr std::uint8_t kCtrl = 0xE0, kAlt = 0xE2, kGui = 0xE3;

}  // namespace

const std::array<MacroCommand, kCommandCount> kMacroCommands = {{
    Key(0xD0, L"Page UP", 67, 0x4B),
    Key(0xD1, L"Page DN", 68, 0x4E),
    Chord(0xD2, L"Copy", 69, kCtrl, 0x06),
    Chord(0xD3, L"Paste", 70, kCtrl, 0x19),
    Chord(0xD4, L"Close Window", 71, kAlt, 0x3D),
    Chord(0xD5, L"Show Desktop", 72, kGui, 0x07),
    Chord(0xD6, L"Undo", 73, kCtrl, 0x1D),
    Key(0xD7, L"Delete", 74, 0x4C),
    Chord(0xD8, L"Cut", 75, kCtrl, 0x1B),
    Key(0xD9, L"Print Screen", 76, 0x46),
    Chord(0xDA, L"Lock PC", 77, kGui, 0x0F),
    Chord(0xDB, L"All", 78, kCtrl, 0x04),
    Chord(0xDC, L"Find", 79, kCtrl, 0x09),
    Chord(0xDD, L"Print", 80, kCtrl, 0x13),
    Chord(0xDE, L"Save", 81, kCtrl, 0x16),
    Chord(0xDF, L"New", 82, kCtrl, 0x11),
    Click(0xE0, L"L Button", 85, 0x99),
    Click(0xE1, L"R Button", 59, 0x9A),
    Click(0xE2, L"M Button", 86, 0x9B),
}};

const MacroCommand* CommandOfCode(std::uint8_t code) {
    if (code < 0xD0 || code > 0xE2) return nullptr;
    return &kMacroCommands[code - 0xD0u];
}

MacroLanguage MacroLanguage::BuiltIn() {
    MacroLanguage language;
    for (std::size_t i = 0; i < kMacroCommands.size(); ++i)
        language.commandNames[i] = std::wstring(kMacroCommands[i].listItem);
    return language;
}

MacroLanguage MacroLanguage::From(const MacroTextLookup& lookup, std::wstring_view pressWord,
                                  std::wstring_view releaseWord) {
    MacroLanguage language = BuiltIn();
    // The shipped language file writes the words with their two leading spaces ("  press"):
    // the row puts two spaces before the word whichever way the file has it.
    auto suffix = [](std::wstring_view word, std::wstring& into) {
        const auto start = word.find_first_not_of(L' ');
        if (start != std::wstring_view::npos) into = L"  " + std::wstring(word.substr(start));
    };
    suffix(pressWord, language.pressSuffix);
    suffix(releaseWord, language.releaseSuffix);
    if (!lookup) return language;
    for (std::size_t i = 0; i < kMacroCommands.size(); ++i)
        if (auto text = lookup(kMacroCommands[i].languageNumber)) language.commandNames[i] = *text;
    return language;
}

std::wstring CommandName(int index, const MacroLanguage& language) {
    if (index < 0 || index >= kCommandCount) return {};
    return language.commandNames[static_cast<std::size_t>(index)];
}

}  // namespace macro
