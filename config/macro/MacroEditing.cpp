#include "macro/MacroEditing.h"

#include <algorithm>

#include "macro/MacroNumbers.h"

namespace macro {

RowSelection SelectRow(MacroDocument& document, int row) {
    RowSelection selection;
    document.selectedRow = row >= 0 && row < document.RowCount() ? row : -1;
    selection.insertEnabled = document.RowCount() > 0;
    if (document.selectedRow < 0) return selection;
    const MacroEvent event = EventAt(document.image, document.commands, row);
    if (event.kind == MacroSlotKind::Command) return selection;  // a command has no delay
    selection.setDelayEnabled = true;
    selection.time1 = DelayText(event.delayUnits);
    return selection;
}

namespace {

TimeFieldResult Step(std::wstring_view time1, float step) {
    TimeFieldResult result;
    const auto ms = ReadNumber(time1);
    if (!ms) {
        result.error = NotANumberMessage(time1);
        return result;
    }
    const float t = Single(Single(*ms / 1000.0f) + step);
    if (t >= 6.4f || t < 0.0f) return result;
    result.changed = true;
    result.time1 = FormatWhole(t * 1000.0f);
    return result;
}

}  // namespace

TimeFieldResult DelayUp(std::wstring_view time1) { return Step(time1, 0.1f); }
TimeFieldResult DelayDown(std::wstring_view time1) { return Step(time1, -0.1f); }

TimeFieldResult SetDelay(MacroDocument& document, std::wstring_view time1) {
    TimeFieldResult result;
    const auto ms = ReadNumber(time1);
    if (!ms) {
        result.error = NotANumberMessage(time1);
        return result;
    }
    float s = CeilTenth(Single(*ms / 1000.0f));
    if (s >= 6.3f) s = 6.3f;
    if (s <= 0.0f) s = 0.0f;
    result.changed = true;
    result.time1 = FormatWhole(s * 1000.0f);
    if (!document.HasSelection()) return result;
    const int k = document.selectedRow;
    if (IsCommandSlot(document.image, document.commands, k)) return result;
    document.rows[static_cast<std::size_t>(k)].delayText = result.time1;
    auto& attribute = document.image[2 * k + 1];
    attribute = static_cast<std::uint8_t>(DelayUnitsOf(s) | (attribute & kMacroRelease) |
                                          (attribute & kMacroLast));
    return result;
}

bool DeleteSelectedEvent(MacroDocument& document) {
    if (!document.HasSelection()) return false;
    const int k = document.selectedRow;
    MacroImage candidate = document.image;
    CommandSlots commands = document.commands;
    RemoveSlot(candidate, commands, k);
    if (!PressRuleHolds(candidate)) return false;
    document.image = candidate;
    document.commands = commands;
    document.rows.erase(document.rows.begin() + k);
    document.selectedRow = k < document.RowCount() ? k : -1;
    return true;
}

namespace {

bool Move(MacroDocument& document, int by) {
    if (!document.HasSelection()) return false;
    const int k = document.selectedRow;
    const int j = k + by;
    if (j < 0 || j >= document.RowCount()) return false;
    std::swap(document.rows[static_cast<std::size_t>(k)],
              document.rows[static_cast<std::size_t>(j)]);
    SwapSlots(document.image, document.commands, k, j);
    document.selectedRow = j;
    return true;
}

}  // namespace

bool MoveSelectedUp(MacroDocument& document) { return Move(document, -1); }
bool MoveSelectedDown(MacroDocument& document) { return Move(document, +1); }

std::wstring ChooseCommand(MacroDocument& document, int index, const MacroLanguage& language) {
    if (index < 0 || index >= kCommandCount) return {};
    document.chosenCommand = index;
    return CommandName(index, language);
}

bool CommandCapacity(MacroDocument& document) {
    int commands = 0, bytes = 0;
    for (int s = 0; s < kMacroSlotCount; ++s) {
        if (!IsCommandSlot(document.image, document.commands, s)) continue;
        const auto code = SlotCode(document.image, s);
        ++commands;
        bytes += static_cast<int>(CommandOfCode(code)->expansionSize);
        // The code in the second byte only serves the end marker of an Apply (MarkLast); the
        // expansion drops it, and a later command follows.
        if (document.image[2 * s + 1] == code) document.image[2 * s + 1] = 0;
    }
    return (document.RowCount() - commands) * 2 + bytes < 72;
}

bool InsertCommand(MacroDocument& document, const MacroLanguage& language) {
    if (!CommandCapacity(document)) return false;
    if (document.chosenCommand < 0 || document.chosenCommand >= kCommandCount) return false;
    const auto code = static_cast<std::uint8_t>(kFirstCommandCode + document.chosenCommand);
    MacroRow row;
    row.kind = MacroSlotKind::Command;
    row.caption = CommandName(document.chosenCommand, language);
    if (document.RowCount() > 0 && document.HasSelection()) {
        const int k = document.selectedRow;
        auto& scratch = document.scratch;
        std::copy(document.image.begin(), document.image.begin() + 2 * k, scratch.begin());
        scratch[2 * k] = code;
        scratch[2 * k + 1] = code;
        std::copy(document.image.begin() + 2 * k, document.image.begin() + 80,
                  scratch.begin() + 2 * k + 2);
        std::copy(scratch.begin(), scratch.begin() + 80, document.image.begin());
        for (int s = kMacroEventLimit - 1; s > k; --s)
            document.commands[s] = document.commands[s - 1];
        document.commands[k] = true;
        document.rows.insert(document.rows.begin() + k, std::move(row));
        // A full list loses its last slot to the insertion; its row goes with it.
        if (document.RowCount() > kMacroEventLimit) document.rows.resize(kMacroEventLimit);
        document.selectedRow = k + 1 < document.RowCount() ? k + 1 : -1;
        return true;
    }
    if (document.RowCount() == 0) {
        std::fill(document.image.begin(), document.image.begin() + 80, 0);
        document.image[0] = code;
        document.image[1] = code;
        const bool slot40 = document.commands[kMacroEventLimit];
        document.commands.reset();
        document.commands[0] = true;
        document.commands[kMacroEventLimit] = slot40;
        document.rows.push_back(std::move(row));
        document.selectedRow = 0;
        return true;
    }
    return false;
}

}  // namespace macro
