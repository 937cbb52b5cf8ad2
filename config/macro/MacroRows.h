#pragma once
// The rows of the event list rebuilt from an image: after loading a macro from the store or a
// file.
#include "macro/KeyTables.h"
#include "macro/MacroCommands.h"
#include "macro/MacroDocument.h"

namespace macro {

// True when a slot gives a row: a command, or a key code the name table names.
bool SlotHasRow(const MacroImage& image, const CommandSlots& commands, int slot);

// Moves the slots that give no row (empty codes amid events, codes without a name) out, so that
// row i is slot i again; the slots after the last event are zero. Returns the slots dropped.
int CompactImage(MacroImage& image, CommandSlots& commands);

// The document's command slots are those the macro was loaded with: its mark, or
// CommandSlotsByCode for bytes stored without one.
// Name field := record name; end markers cleared; image compacted; one row per slot that has
// one: commands by name, keys by the platform's key name with the press or release word and
// the delay text. The selection is cleared.
void RebuildRows(MacroDocument& document, const KeyNames& names, const MacroLanguage& language);

}  // namespace macro
