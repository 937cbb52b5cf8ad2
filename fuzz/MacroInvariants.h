#pragma once
// What every harness asserts about the macro core: nothing outside the 82 bytes (the sanitizers
// see to that), at most 41 rows, and row i is slot i once a macro is loaded or edited.
#include <cstdlib>

#include "macro/MacroDocument.h"
#include "macro/MacroRows.h"

inline void Require(bool condition) {
    if (!condition) std::abort();
}

inline void RequireRowsAreSlots(const macro::MacroDocument& document) {
    Require(document.RowCount() <= macro::kMacroSlotCount);
    for (int i = 0; i < macro::kMacroSlotCount; ++i) {
        if (i < document.RowCount()) {
            Require(macro::SlotHasRow(document.image, document.commands, i));
            Require(macro::EventAt(document.image, document.commands, i).kind ==
                    document.rows[static_cast<std::size_t>(i)].kind);
        } else {
            Require(macro::SlotCode(document.image, i) == 0);
            Require(!document.commands[i]);
        }
    }
    Require(document.selectedRow >= -1 && document.selectedRow < document.RowCount());
}
