#pragma once
// Shared helpers of the macro tests: a key-name table in place of the platform, keystroke words
// as the hooks post them, and images written slot by slot.
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

#include "macro/KeyTables.h"
#include "macro/MacroCommands.h"
#include "macro/MacroImage.h"

// The built-in command words, as the editor lists them without a language file.
inline const macro::MacroLanguage kWords = macro::MacroLanguage::BuiltIn();

class TableKeyNames final : public macro::KeyNames {
  public:
    std::wstring KeyNameText(std::uint32_t word) const override {
        ++calls;
        const auto scan = static_cast<std::uint8_t>(word >> 16);
        const bool extended = (word & 0x01000000u) != 0;
        auto it = names_.find({scan, extended});
        if (it != names_.end()) return it->second;
        wchar_t buffer[16];
        swprintf(buffer, 16, L"sc%s%02x", extended ? L"e" : L"", scan);
        return buffer;
    }
    mutable int calls = 0;

  private:
    std::map<std::pair<std::uint8_t, bool>, std::wstring> names_ = {
        {{0x1E, false}, L"A"},           {{0x2E, false}, L"C"},         {{0x1D, false}, L"Ctrl"},
        {{0x2A, false}, L"Shift"},       {{0x38, false}, L"Alt"},       {{0x37, false}, L"Num *"},
        {{0x37, true}, L"Print Screen"}, {{0x1D, true}, L"Right Ctrl"},
    };
};

constexpr std::uint32_t Press(std::uint8_t scan, bool extended = false) {
    return 1u | (std::uint32_t{scan} << 16) | (extended ? 0x01000000u : 0u);
}
constexpr std::uint32_t Repeat(std::uint8_t scan, bool extended = false) {
    return Press(scan, extended) | 0x40000000u;
}
constexpr std::uint32_t Release(std::uint8_t scan, bool extended = false) {
    return Press(scan, extended) | 0xC0000000u;
}

// An image from (code, attribute) pairs, zeros after.
inline macro::MacroImage Slots(std::initializer_list<std::pair<std::uint8_t, std::uint8_t>> slots) {
    macro::MacroImage image{};
    std::size_t i = 0;
    for (auto [code, attribute] : slots) {
        image.at(i++) = code;
        image.at(i++) = attribute;
    }
    return image;
}

// `count` key slots of A, press and release in turn, zeros after.
inline macro::MacroImage PressesAndReleases(int count) {
    macro::MacroImage image{};
    for (int s = 0; s < count; ++s) {
        image.at(2 * s) = 0x04;
        image.at(2 * s + 1) = s % 2 ? macro::kMacroRelease : std::uint8_t{0};
    }
    return image;
}
