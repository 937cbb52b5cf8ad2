#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/SingleCommands.h"

namespace tavrine::ui {

// The numbered-text lookup every form is given: the text of a number, or nothing when the
// language file has no non-empty text for it.
using LanguageLookup = std::function<std::optional<std::wstring>(int number)>;

// The highest number the tables below ask for; numbers above it are never read. It follows
// the tables, so a numbered text is added in its table alone.
int LastLanguageNumber();

// One hint the language file can replace: on form `form` (class name), component `component`.
struct HintText {
    std::wstring_view form;
    int number;
    std::wstring_view component;
    std::wstring_view builtin;
};

// Every replaceable hint, form by form in the order the forms ask for them.
std::span<const HintText> HintTexts();

// Sets hint texts through `setHint` (component name, text); returns how many were set.
// ApplyLanguageHints sets only those the language file has; ApplyBuiltinHints sets them all to
// their built-in texts (for building a form's layout from the same table).
using HintSetter = std::function<bool(std::wstring_view component, const std::wstring& text)>;
int ApplyLanguageHints(std::wstring_view form, const LanguageLookup& lookup,
                       const HintSetter& setHint);
int ApplyBuiltinHints(std::wstring_view form, const HintSetter& setHint);

// A list whose entries the language file can replace as a whole.
struct TextList {
    std::span<const int> numbers;
    std::span<const std::wstring_view> builtins;
};
// The pop-up list of button functions (first number 85) and the macro editor's command list
// (first number 67).
const TextList& PopupListTexts();
const TextList& CommandListTexts();

std::vector<std::wstring> BuiltinEntries(const TextList& list);
// The list is rebuilt only when its first number has a text: then it holds the present texts in
// order, absent ones left out. Nothing means: keep the built-in entries.
std::optional<std::vector<std::wstring>> RebuiltEntries(const TextList& list,
                                                        const LanguageLookup& lookup);
// The positions in `list` of the rebuilt entries, entry by entry, so that a choice of a rebuilt
// list still names the item it shows; nothing when the list is not rebuilt.
std::optional<std::vector<std::size_t>> RebuiltPositions(const TextList& list,
                                                         const LanguageLookup& lookup);

// The nine names the single-key dialog compares with at OK, index by index: the built-in names
// without a text for 85; otherwise each entry's text, or nothing (never matched) where absent.
std::array<std::optional<std::wstring>, device::kSingleCommandCount> SingleCommandNames(
    const LanguageLookup& lookup);

// The texts of the two message windows by message index (the Notice numbers); an unknown index
// gives an empty text.
std::wstring MessageText(int messageIndex, const LanguageLookup& lookup);
int MessageLanguageNumber(int messageIndex);

// Words shown after a key name in the macro editor for a press and a release.
std::wstring PressWord(const LanguageLookup& lookup);
std::wstring ReleaseWord(const LanguageLookup& lookup);

// The language text of `number`, or `builtin` when the file has none.
std::wstring TextOr(const LanguageLookup& lookup, int number, std::wstring_view builtin);

}  // namespace tavrine::ui
