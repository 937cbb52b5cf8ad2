#pragma once
// Editing the event list: selection, the delay field, delete, move, and inserting a built-in
// command. Each edit changes the rows and the image together, so that row i stays slot i.
#include <optional>
#include <string>
#include <string_view>

#include "macro/MacroCommands.h"
#include "macro/MacroDocument.h"

namespace macro {

struct RowSelection {
    bool insertEnabled = false;         // Img_r3
    bool setDelayEnabled = false;       // Img_r1 and Time1
    std::optional<std::wstring> time1;  // the selected key's delay, when it has one
};
// A click that selected row `row` (-1: none).
RowSelection SelectRow(MacroDocument& document, int row);

// The delay field after an action: `changed` false means the field stays as it was; `error`
// holds the conversion error of a field that is not a number (nothing changes then).
struct TimeFieldResult {
    bool changed = false;
    std::wstring time1;
    std::wstring error;
};
TimeFieldResult DelayUp(std::wstring_view time1);
TimeFieldResult DelayDown(std::wstring_view time1);
// Rounds the field up to a tenth of a second within 0..6300 ms and gives the selected key that
// delay, keeping its release and end bits.
TimeFieldResult SetDelay(MacroDocument& document, std::wstring_view time1);

// Refused (false) without a selection or when the result would put more than 20 presses in a
// row; the row now at the index is selected afterwards.
bool DeleteSelectedEvent(MacroDocument& document);
bool MoveSelectedUp(MacroDocument& document);
bool MoveSelectedDown(MacroDocument& document);

// A click on entry `index` of the command list; returns the command's name for `Commands`.
std::wstring ChooseCommand(MacroDocument& document, int index, const MacroLanguage& language);

// Whether one more command still fits the 80 event bytes of a button record once the macro is
// expanded: (rows - commands) x 2 + the commands' costs < 72. On the way, a command whose
// second byte still holds its code gets 0 there.
bool CommandCapacity(MacroDocument& document);

// Inserts the chosen command before the selected row (or as the only row of an empty list).
bool InsertCommand(MacroDocument& document, const MacroLanguage& language);

}  // namespace macro
