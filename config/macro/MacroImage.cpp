#include "macro/MacroImage.h"

#include <algorithm>

namespace macro {

CommandSlots CommandSlotsByCode(const MacroImage& image) {
    CommandSlots slots;
    for (int s = 0; s < kMacroSlotCount; ++s) slots[s] = IsCommandCode(SlotCode(image, s));
    return slots;
}

CommandSlots NormaliseCommandSlots(const MacroImage& image, const CommandSlots& mark) {
    CommandSlots slots;
    for (int s = 0; s < kMacroSlotCount; ++s) {
        const auto code = SlotCode(image, s);
        slots[s] = IsCommandCode(code) && (code < 0xE0 || mark[s]);
    }
    return slots;
}

bool IsCommandSlot(const MacroImage& image, const CommandSlots& commands, int slot) {
    return slot >= 0 && slot < kMacroSlotCount && commands[slot] &&
           IsCommandCode(SlotCode(image, slot));
}

MacroEvent EventAt(const MacroImage& image, const CommandSlots& commands, int slot) {
    MacroEvent event;
    if (slot < 0 || slot >= kMacroSlotCount) return event;
    const auto code = SlotCode(image, slot);
    const auto attribute = SlotAttribute(image, slot);
    event.code = code;
    event.kind = IsCommandSlot(image, commands, slot) ? MacroSlotKind::Command
                 : code != 0                          ? MacroSlotKind::Key
                                                      : MacroSlotKind::Empty;
    event.release = (attribute & kMacroRelease) != 0;
    event.last = (attribute & kMacroLast) != 0;
    event.delayUnits = attribute & kMacroDelayMask;
    return event;
}

void ClearLastMarks(MacroImage& image) {
    for (int s = 0; s < kMacroSlotCount; ++s)
        image[2 * s + 1] = static_cast<std::uint8_t>(image[2 * s + 1] & ~kMacroLast);
}

void MarkLast(MacroImage& image, int rows, bool forApply) {
    ClearLastMarks(image);
    if (rows <= 0 || rows > kMacroSlotCount) return;
    auto& last = image[2 * (rows - 1) + 1];
    last |= kMacroLast;
    if (forApply && IsCommandCode(last) && rows < kMacroSlotCount)
        image[2 * rows + 1] |= kMacroLast;
}

bool PressRuleHolds(const MacroImage& image) {
    int run = 0;
    for (int s = 0; s < kMacroSlotCount; ++s) {
        if (SlotAttribute(image, s) >= 0x80)
            run = 0;
        else if (SlotCode(image, s) != 0 && ++run > kMaxPressRun)
            return false;
    }
    return true;
}

void RemoveSlot(MacroImage& image, CommandSlots& commands, int k) {
    if (k < 0 || k >= kMacroSlotCount) return;
    std::copy(image.begin() + 2 * k + 2, image.end(), image.begin() + 2 * k);
    image[kMacroImageSize - 2] = 0;
    image[kMacroImageSize - 1] = 0;
    for (int s = k; s + 1 < kMacroSlotCount; ++s) commands[s] = commands[s + 1];
    commands[kMacroSlotCount - 1] = false;
}

void SwapSlots(MacroImage& image, CommandSlots& commands, int a, int b) {
    if (a < 0 || b < 0 || a >= kMacroSlotCount || b >= kMacroSlotCount) return;
    std::swap(image[2 * a], image[2 * b]);
    std::swap(image[2 * a + 1], image[2 * b + 1]);
    const bool t = commands[a];
    commands[a] = commands[b];
    commands[b] = t;
}

}  // namespace macro
