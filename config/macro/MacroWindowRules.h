#pragma once
// The macro editor's window rules: which controls each phase enables, when the two drop-downs
// may open and what choosing from them enables, and what showing or starting a new macro empties.
// The editor window only applies them, so that they are tested without a window.
#include "macro/MacroDocument.h"

namespace macro {

enum class MacroPhase {
    Shown,         // the window was just shown: only New and Load
    NameGiven,     // the new-macro dialog took or refused a name
    StoredChosen,  // a stored macro was chosen from the drop-down
    Recording,
    Stopped,
    Loaded,  // a macro file was loaded
};

// What a phase enables; the time and drop-down arrows, OK, Cancel and Apply always are.
struct MacroButtons {
    bool record = false;         // Img_record
    bool stop = false;           // Img_stop
    bool deleteEvent = false;    // Img_del
    bool moveUp = false;         // Img_up
    bool moveDown = false;       // Img_down
    bool save = false;           // Img_save
    bool deleteStored = false;   // Img_delete
    bool setDelay = false;       // Img_r1
    bool recordingMark = false;  // Img_r2
    bool insert = false;         // Img_r3
    bool ignoreBox = false;      // Img_box1
    bool defaultBox = false;     // Img_box2
    bool newMacro = false;       // Img_new
    bool load = false;           // Img_load
    bool delayFields = false;    // Time1 and Time2
    bool macroList = false;      // the stored-macro drop-down may open and be chosen from
    bool commandList = false;    // the command drop-down may open
};

// `document` gives the two facts some phases depend on: the rows recorded (Insert after Stop
// needs two) and the chosen command (Insert after choosing a stored macro).
MacroButtons MacroPhaseButtons(MacroPhase phase, const MacroDocument& document);

// A choice from the command drop-down enables Insert when a named macro is being edited.
bool InsertAfterCommandChosen(MacroPhase phase, bool macroHasName);

// Showing the window: an empty name, no rows and no events behind them.
void ResetForShow(MacroDocument& document);
// New: the events go before the new name is asked for.
void StartNewMacro(MacroDocument& document);

}  // namespace macro
