#pragma once
// The macro being edited: its image and command slots, its name in the record and in the name
// field, the rows of the event list (row i is slot i), the selection and the chosen command.
// Recording, editing and the store change it; the editor window shows it.
#include <cstdint>
#include <string>
#include <vector>

#include "macro/MacroImage.h"

namespace macro {

inline constexpr int kIconPress = 0;
inline constexpr int kIconRelease = 2;
inline constexpr int kIconNone = -1;

struct MacroRow {
    MacroSlotKind kind = MacroSlotKind::Key;
    std::wstring caption;
    int icon = kIconNone;
    std::wstring delayText;  // column 2; empty for commands
};

struct MacroDocument {
    MacroImage image{};
    CommandSlots commands;
    std::wstring recordName;  // the name part of the macro record
    std::wstring macroName;   // the editor's name field
    std::vector<MacroRow> rows;
    int selectedRow = -1;
    int chosenCommand = -1;
    MacroImage scratch{};  // work area of Insert command
    // Counts the times the events were replaced whole (emptied, loaded, chosen), so that a
    // recording can tell the macro it was started for from one that took its place.
    std::uint32_t generation = 0;

    int RowCount() const { return static_cast<int>(rows.size()); }
    bool HasSelection() const { return selectedRow >= 0 && selectedRow < RowCount(); }
    // Image, commands and rows emptied together (never one without the others, so that row i
    // stays slot i); the names and the chosen command stay.
    void ClearEvents() {
        image.fill(0);
        commands.reset();
        rows.clear();
        selectedRow = -1;
        ++generation;
    }
};

}  // namespace macro
