#pragma once
// The store's text of a macro ("keys": 82 bytes, each "%x" and a space), its parse, and the mark
// beside it that tells inserted commands from recorded modifier keys.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "macro/MacroImage.h"

namespace macro {

// 82 tokens, each lower-case hex without leading zeros followed by one space.
std::wstring MacroImageText(const MacroImage& image);

struct KeysParse {
    bool ok = true;
    MacroImage image{};  // bytes the text does not supply are 0
    std::wstring error;  // the conversion error of the first token that is not hexadecimal
};
// Every space ends a token, read as hexadecimal and kept to its low 8 bits; characters after
// the last space are no token. Tokens past the 82nd are ignored; an empty or non-hex token among
// the first 82 fails the whole parse.
KeysParse ParseMacroKeys(std::wstring_view text);

// The value beside "keys" that marks the command slots.
inline constexpr std::wstring_view kCommandSlotsValue = L"CommandSlots";
// "1 <slots, hex> <CRC-32 of the 82 image bytes, hex>": bound to the bytes it describes, so a
// "keys" rewritten by a program that does not know the mark makes it void.
std::wstring CommandMarkText(const MacroImage& image, const CommandSlots& commands);
// The command slots of `image`: from a mark that belongs to it, else read from the codes alone.
CommandSlots CommandSlotsFromMark(const MacroImage& image, std::wstring_view mark);

std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

}  // namespace macro
