#include "macro/MacroWindowRules.h"

namespace macro {

MacroButtons MacroPhaseButtons(MacroPhase phase, const MacroDocument& document) {
    MacroButtons b;
    const bool recording = phase == MacroPhase::Recording;
    const bool editing = phase != MacroPhase::Shown && !recording;
    b.record = b.deleteEvent = b.moveUp = b.moveDown = b.save = b.deleteStored = b.setDelay =
        editing;
    b.stop = phase != MacroPhase::Shown;
    b.newMacro = b.load = !recording;
    b.recordingMark = b.ignoreBox = b.defaultBox = recording;
    b.delayFields = !recording;
    // Choosing a stored macro replaces the document the recording writes into.
    b.macroList = !recording;
    b.commandList = true;
    switch (phase) {
        case MacroPhase::NameGiven:
        case MacroPhase::Loaded:
            b.insert = true;
            break;
        case MacroPhase::StoredChosen:
            b.insert = document.chosenCommand >= 0;
            break;
        case MacroPhase::Stopped:
            b.insert = document.RowCount() >= 2;
            break;
        default:
            break;
    }
    return b;
}

bool InsertAfterCommandChosen(MacroPhase phase, bool macroHasName) {
    return macroHasName && phase != MacroPhase::Recording;
}

void ResetForShow(MacroDocument& document) {
    document.macroName.clear();
    // The image goes with the rows: a hidden one would be saved under an empty list.
    document.ClearEvents();
}

void StartNewMacro(MacroDocument& document) { document.ClearEvents(); }

}  // namespace macro
