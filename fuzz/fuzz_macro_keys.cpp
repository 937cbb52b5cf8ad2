// The store's "keys" text and the command mark beside it, from arbitrary characters.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/MacroInvariants.h"
#include "macro/MacroText.h"

using macro::CommandMarkText;
using macro::CommandSlots;
using macro::CommandSlotsFromMark;
using macro::IsCommandCode;
using macro::KeysParse;
using macro::kMacroSlotCount;
using macro::MacroImageText;
using macro::ParseMacroKeys;
using macro::SlotCode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Each byte one character, so spaces, hex digits and everything else all turn up; a byte
    // 0x01 splits the text from the mark.
    std::wstring keys, mark;
    bool inMark = false;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0x01 && !inMark) {
            inMark = true;
            continue;
        }
        (inMark ? mark : keys).push_back(static_cast<wchar_t>(data[i]));
    }
    const KeysParse parsed = ParseMacroKeys(keys);
    Require(parsed.ok == parsed.error.empty());
    if (parsed.ok) {
        // The text form reads back to the same bytes.
        const KeysParse again = ParseMacroKeys(MacroImageText(parsed.image));
        Require(again.ok && again.image == parsed.image);
    }
    const CommandSlots commands = CommandSlotsFromMark(parsed.image, mark);
    for (int s = 0; s < kMacroSlotCount; ++s)
        if (commands[s]) Require(IsCommandCode(SlotCode(parsed.image, s)));
    Require(CommandSlotsFromMark(parsed.image, CommandMarkText(parsed.image, commands)) ==
            commands);
    return 0;
}
