#pragma once
// The rules of the new-macro and repeat-count dialogs: which names are accepted and what the
// count field stores.
#include <optional>
#include <string>
#include <string_view>

#include "macro/MacroDocument.h"
#include "device/Notice.h"
#include "platform/SettingsStore.h"

namespace macro {

inline constexpr std::wstring_view kInvalidNameText =
    L"A file name cannot contain any of the following characters:\\ / : * ? \" < > |";
inline constexpr std::wstring_view kNameTooLongText =
    L"A macro name can have at most 255 characters.";
inline constexpr std::wstring_view kNameExistsText = L"Macro Name is Exist.";

enum class NewMacroOutcome {
    Empty,        // nothing typed (or spaces only): the dialog just closes
    Refused,      // a message tells why; the editor keeps its name
    Created,      // the key exists now; the editor holds the new, empty macro
    StoreFailed,  // the store could not be opened or written: silent
};

struct NewMacroResult {
    NewMacroOutcome outcome = NewMacroOutcome::Empty;
    std::optional<device::Notice> notice;  // BadMacroName or MacroExists when refused
    std::wstring message;
    // The editor's buttons are enabled after every OK with a name, accepted or refused.
    bool enableEditor = false;
};

// Checks the name against the nine characters a file name cannot hold, its length and the
// stored macros; creates its key and empties the editor for it.
NewMacroResult AcceptNewMacroName(platform::SettingsStore& store, std::wstring_view name,
                                  MacroDocument& document);

struct RepeatCountResult {
    bool ok = false;
    std::wstring edit;       // the field's text afterwards
    std::wstring countText;  // the text stored as "RepeatTimes"
    std::wstring error;      // a field that is not a number: nothing is stored, the dialog stays
};
// 0 or less becomes "1"; 255 and more "254"; otherwise the text as typed ("007" stays "007").
RepeatCountResult RepeatCountFromText(std::wstring_view edit);

}  // namespace macro
