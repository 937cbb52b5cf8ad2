#pragma once
// The MACROS subtree of the settings store: one key per macro, named by the macro, holding
// "keys", "DES", "RepeatState", "RepeatTimes" and the command mark; and the editor operations
// that move a macro between the editor and the store.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/KeyTables.h"
#include "macro/MacroCommands.h"
#include "macro/MacroDocument.h"
#include "platform/SettingsStore.h"

namespace macro {

inline constexpr std::wstring_view kMacrosKeyName = L"MACROS";
inline constexpr std::wstring_view kRepeatStateValue = L"RepeatState";
inline constexpr std::wstring_view kRepeatTimesValue = L"RepeatTimes";
// The store's key names and the macro record's name part both end at 255 characters.
inline constexpr std::size_t kMaxMacroNameLength = 255;

std::wstring MacrosKeyPath();                       // "\SOFTWARE\Tavrine5502\MACROS\"
std::wstring MacroKeyPath(std::wstring_view name);  // ... + name

// A name that addresses exactly one key below MACROS: not empty, not spaces only, no backslash,
// at most 255 characters.
bool IsStorableMacroName(std::wstring_view name);

// The names of the stored macros in the order the store gives them; nothing when the MACROS key
// cannot be opened (the list then keeps its entries).
std::optional<std::vector<std::wstring>> StoredMacroNames(platform::SettingsStore& store);

struct MacroStoreResult {
    bool ok = false;
    std::wstring error;  // shown to the user when not empty
};

// Chooses the stored macro `name`: the name field and the record name become `name`, the image
// is its "keys" (a missing key or value reads as empty), the rows are rebuilt. A text that does
// not parse leaves the editor exactly as it was and gives the conversion error.
MacroStoreResult ChooseStoredMacro(platform::SettingsStore& store, std::wstring_view name,
                                   MacroDocument& document, const KeyNames& names,
                                   const MacroLanguage& language);

// Apply: commits the end marker (with the command step) and writes "keys" and the command mark,
// and "DES" when the key existed before. Nothing happens for an empty name field.
bool ApplyMacro(platform::SettingsStore& store, MacroDocument& document);

// Deletes the macro of the name field with everything in it; on success the name field, the rows
// and the image are emptied.
bool DeleteStoredMacro(platform::SettingsStore& store, MacroDocument& document);

// The repeat settings a macro assignment chooses.
enum class RepeatOption { Once, Times, WhileHeld, UntilPressedAgain };
// Once: "a0" and "1"; WhileHeld "a1", UntilPressedAgain "a2" (count unchanged); Times: "a0" and
// `times` (the repeat-count dialog's text).
bool WriteRepeatOption(platform::SettingsStore& store, std::wstring_view name, RepeatOption option,
                       std::wstring_view times = {});

}  // namespace macro
