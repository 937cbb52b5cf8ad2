#include "macro/MacroRows.h"

#include "macro/MacroNumbers.h"

namespace macro {

bool SlotHasRow(const MacroImage& image, const CommandSlots& commands, int slot) {
    if (IsCommandSlot(image, commands, slot)) return true;
    const auto code = SlotCode(image, slot);
    return code != 0 && NameScanCode(code).has_value();
}

int CompactImage(MacroImage& image, CommandSlots& commands) {
    MacroImage compact{};
    CommandSlots kept;
    int next = 0;
    int dropped = 0;
    for (int s = 0; s < kMacroSlotCount; ++s) {
        if (!SlotHasRow(image, commands, s)) {
            if (image[2 * s] != 0 || image[2 * s + 1] != 0) ++dropped;
            continue;
        }
        compact[2 * next] = image[2 * s];
        compact[2 * next + 1] = image[2 * s + 1];
        kept[next] = IsCommandSlot(image, commands, s);
        ++next;
    }
    image = compact;
    commands = kept;
    return dropped;
}

void RebuildRows(MacroDocument& document, const KeyNames& names, const MacroLanguage& language) {
    document.macroName = document.recordName;
    ClearLastMarks(document.image);
    document.commands = NormaliseCommandSlots(document.image, document.commands);
    CompactImage(document.image, document.commands);
    document.rows.clear();
    document.selectedRow = -1;
    ++document.generation;
    for (int s = 0; s < kMacroSlotCount; ++s) {
        const MacroEvent event = EventAt(document.image, document.commands, s);
        MacroRow row;
        if (event.kind == MacroSlotKind::Command) {
            row.kind = MacroSlotKind::Command;
            row.caption = CommandName(event.code - kFirstCommandCode, language);
        } else {
            auto name = event.code ? StoredKeyName(event.code, names) : std::nullopt;
            if (!name) break;  // compacted: the first slot without a row ends the events
            row.kind = MacroSlotKind::Key;
            row.caption = *name + (event.release ? language.releaseSuffix : language.pressSuffix);
            row.icon = event.release ? kIconRelease : kIconPress;
            row.delayText = DelayText(event.delayUnits);
        }
        document.rows.push_back(std::move(row));
    }
}

}  // namespace macro
