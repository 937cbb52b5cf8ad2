#include "ui/LanguageTables.h"

#include <algorithm>

using device::kSingleCommandCount;
using device::kSingleCommands;

namespace tavrine::ui {
namespace {

using namespace std::literals;

constexpr HintText kHints[] = {
    {L"TTavrineMainForm1", 1, L"Img_Reset", L"Reset"},
    {L"TTavrineMainForm1", 2, L"Img_Web", L"Registry"},
    {L"TTavrineMainForm1", 3, L"Img_Help", L"Help"},
    {L"TTavrineMainForm1", 4, L"Img_Close", L"Close"},
    {L"TTavrineMainForm1", 5, L"Img_Profile0", L"PROFILE1"},
    {L"TTavrineMainForm1", 6, L"Img_Profile1", L"PROFILE2"},
    {L"TTavrineMainForm1", 7, L"Img_Profile2", L"PROFILE3"},
    {L"TTavrineMainForm1", 8, L"Img_Profile3", L"PROFILE4"},
    {L"TTavrineMainForm1", 9, L"Img_Profile4", L"PROFILE5"},
    {L"TTavrineMainForm1", 10, L"Img_T", L"T Key"},
    {L"TTavrineMainForm1", 11, L"Img_Single", L"Single Key"},
    {L"TTavrineMainForm1", 12, L"Img_Default", L"Default"},
    {L"TTavrineMainForm1", 13, L"Img_Launch", L"Launch Program"},
    {L"TTavrineMainForm1", 14, L"Img_Macro", L"Macro Key"},
    {L"TTavrineMainForm1", 15, L"Img_Light", L"Light Option"},
    {L"TTavrineMainForm1", 16, L"Img_Perform", L"Performance"},
    {L"TTavrineMainForm1", 55, L"Img_MainApply", L"APPLY"},
    {L"TTavrineMainForm1", 56, L"Img_MainCancel", L"CANCEL"},
    {L"TTavrineMainForm1", 57, L"Img_MainOk", L"OK"},

    {L"TMacroForm", 18, L"Img_new", L"New"},
    {L"TMacroForm", 19, L"Img_load", L"Load"},
    {L"TMacroForm", 20, L"Img_save", L"Save"},
    {L"TMacroForm", 21, L"Img_delete", L"Delete"},
    {L"TMacroForm", 21, L"Img_del", L"Delete"},
    {L"TMacroForm", 22, L"MacroName", L"Macro Name"},
    {L"TMacroForm", 23, L"Time1", L"Adjust Delay Time"},
    {L"TMacroForm", 24, L"Img_box1", L"Ignore Delay Time"},
    {L"TMacroForm", 25, L"Img_box2", L"Insert Default Delay Time"},
    {L"TMacroForm", 26, L"Commands", L""},
    {L"TMacroForm", 27, L"Img_record", L"Record"},
    {L"TMacroForm", 28, L"Img_stop", L"Stop"},
    {L"TMacroForm", 29, L"Img_up", L"Move Up"},
    {L"TMacroForm", 30, L"Img_down", L"Move Down"},

    {L"TTKey", 32, L"Lab_Select", L"Select a Macro to Assign"},
    {L"TTKey", 33, L"Lab_Repeat", L"Repeat Option"},
    {L"TTKey", 34, L"Lab_Once", L"Once"},
    {L"TTKey", 35, L"Lab_Multiple", L"Multiple Times"},
    {L"TTKey", 37, L"Lab_When", L"When Press & Hold"},
    {L"TTKey", 38, L"Lab_Until", L"Until Pressed Next Time"},
    {L"TRepeatCount", 36, L"Label1", L"Enter Repeat Count"},
    {L"TSKey", 39, L"Label1", L"Select a command to Assign"},
    {L"TLightOptionForm", 40, L"Img_On", L"ON"},
    {L"TLightOptionForm", 41, L"Img_Off", L"Off"},
    {L"TPerform1", 42, L"Img_node", L"DPI LEVELS"},
    {L"TPerform1", 43, L"Img_node2", L"DOUBLE CLICK SPEED"},
    {L"TPerform1", 44, L"Img_node3", L"CURSOR SPEED"},
    {L"TPerform1", 45, L"Img_node4", L"SCROLL SPEED"},
    {L"TPerform1", 46, L"Img_1000hz", L"POLLING RATE"},
    {L"TPerform1", 46, L"Img_500hz", L"POLLING RATE"},
    {L"TPerform1", 46, L"Img_125hz", L"POLLING RATE"},
    {L"TPerform1", 47, L"Img_One", L"One screen at a time"},
    {L"TPerform1", 48, L"Img_Reset", L"Reset to Default"},
    {L"TWarningForm2", 54, L"Img_Yes", L"Yes"},
};

// 55, 56 and 57 also name the apply, cancel and OK pictures of every dialog that has them.
constexpr std::wstring_view kDialogsWithSharedHints[] = {
    L"TLightOptionForm", L"TPerform1", L"TMacroForm", L"TNewMacroForm",
    L"TRepeatCount",     L"TSKey",     L"TTKey",      L"TWarningForm1"};
constexpr HintText kSharedHints[] = {
    {L"", 55, L"Img_Apply", L"APPLY"},
    {L"", 56, L"Img_Cancel", L"CANCEL"},
    {L"", 57, L"Img_Ok", L"OK"},
};

// The pop-up list is the fixed commands' table, in its order.
constexpr auto kPopupNumbers = [] {
    std::array<int, kSingleCommandCount> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) numbers[i] = kSingleCommands[i].textNumber;
    return numbers;
}();
constexpr auto kPopupBuiltins = [] {
    std::array<std::wstring_view, kSingleCommandCount> names{};
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = kSingleCommands[i].name;
    return names;
}();

constexpr int kCommandNumbers[] = {67, 68, 69, 70, 71, 72, 73, 74, 75, 76,
                                   77, 78, 79, 80, 81, 82, 85, 59, 86};
constexpr std::wstring_view kCommandBuiltins[] = {
    L"Page UP",      L"Page DN",  L"Copy",     L"Paste",   L"Close Window",
    L"Show Desktop", L"Undo",     L"Delete",   L"Cut",     L"Print Screen",
    L"Lock PC",      L"All",      L"Find",     L"Print",   L"Save",
    L"New",          L"L Button", L"R Button", L"M Button"};

static_assert(std::size(kPopupNumbers) == std::size(kPopupBuiltins));
static_assert(std::size(kCommandNumbers) == std::size(kCommandBuiltins));

constexpr std::wstring_view kFileNameCharacters = L"\\ / : * ? \" < > |";

struct MessageRow {
    int number;
    std::wstring_view builtin;
};
constexpr MessageRow kMessages[] = {
    {50, L"Please save the setting by each individual game profile."},
    {51, L"Press \"OK\" the device will be reset to original default, all setting will be lost."},
    {52, L"Please plug-in Gaming Device to start the AP configuration!"},
    {53, L"Please set one key as \"LEFT BUTTON\" at least, or you can't save the profile."},
    {31, L"A file name cannot contain any of the following characters:"},
    {58, L"Macro Name is Exist."},
    {87,
     L"The profile could not be written to the mouse. Please check that the Gaming Device is "
     L"plugged in and save the profile again."},
};

constexpr int kPressWordNumber = 83;
constexpr int kReleaseWordNumber = 84;

// The highest number any table asks for: the reader reads no further, so a text added to a
// table is read without another place to change.
constexpr int kLastNumberInTables = [] {
    int last = std::max(kPressWordNumber, kReleaseWordNumber);
    for (const HintText& h : kHints) last = std::max(last, h.number);
    for (const HintText& h : kSharedHints) last = std::max(last, h.number);
    for (int n : kPopupNumbers) last = std::max(last, n);
    for (int n : kCommandNumbers) last = std::max(last, n);
    for (const MessageRow& m : kMessages) last = std::max(last, m.number);
    return last;
}();

bool IsDialogWithSharedHints(std::wstring_view form) {
    for (auto f : kDialogsWithSharedHints)
        if (f == form) return true;
    return false;
}

template <typename Fn>
void ForEachHint(std::wstring_view form, Fn&& fn) {
    for (const HintText& h : kHints)
        if (h.form == form) fn(h);
    if (IsDialogWithSharedHints(form))
        for (const HintText& h : kSharedHints) fn(h);
}

}  // namespace

std::span<const HintText> HintTexts() { return kHints; }

int ApplyLanguageHints(std::wstring_view form, const LanguageLookup& lookup,
                       const HintSetter& setHint) {
    int set = 0;
    ForEachHint(form, [&](const HintText& h) {
        if (auto text = lookup(h.number); text && !text->empty() && setHint(h.component, *text))
            ++set;
    });
    return set;
}

int ApplyBuiltinHints(std::wstring_view form, const HintSetter& setHint) {
    int set = 0;
    ForEachHint(form, [&](const HintText& h) {
        if (!h.builtin.empty() && setHint(h.component, std::wstring(h.builtin))) ++set;
    });
    return set;
}

const TextList& PopupListTexts() {
    static const TextList list{kPopupNumbers, kPopupBuiltins};
    return list;
}

const TextList& CommandListTexts() {
    static const TextList list{kCommandNumbers, kCommandBuiltins};
    return list;
}

std::vector<std::wstring> BuiltinEntries(const TextList& list) {
    return {list.builtins.begin(), list.builtins.end()};
}

std::optional<std::vector<std::size_t>> RebuiltPositions(const TextList& list,
                                                         const LanguageLookup& lookup) {
    if (list.numbers.empty()) return std::nullopt;
    auto first = lookup(list.numbers.front());
    if (!first || first->empty()) return std::nullopt;
    std::vector<std::size_t> positions{0};
    for (std::size_t i = 1; i < list.numbers.size(); ++i)
        if (auto text = lookup(list.numbers[i]); text && !text->empty()) positions.push_back(i);
    return positions;
}

std::optional<std::vector<std::wstring>> RebuiltEntries(const TextList& list,
                                                        const LanguageLookup& lookup) {
    const auto positions = RebuiltPositions(list, lookup);
    if (!positions) return std::nullopt;
    std::vector<std::wstring> entries;
    for (std::size_t i : *positions) entries.push_back(*lookup(list.numbers[i]));
    return entries;
}

std::array<std::optional<std::wstring>, kSingleCommandCount> SingleCommandNames(
    const LanguageLookup& lookup) {
    std::array<std::optional<std::wstring>, kSingleCommandCount> names;
    auto first = lookup(kPopupNumbers[0]);
    const bool translated = first && !first->empty();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!translated) {
            names[i] = std::wstring(kPopupBuiltins[i]);
        } else if (auto text = i == 0 ? first : lookup(kPopupNumbers[i]); text && !text->empty()) {
            names[i] = std::move(*text);
        }
    }
    return names;
}

int MessageLanguageNumber(int messageIndex) {
    if (messageIndex < 1 || messageIndex > static_cast<int>(std::size(kMessages))) return 0;
    return kMessages[messageIndex - 1].number;
}

std::wstring MessageText(int messageIndex, const LanguageLookup& lookup) {
    if (messageIndex < 1 || messageIndex > static_cast<int>(std::size(kMessages))) return {};
    const MessageRow& row = kMessages[messageIndex - 1];
    auto text = lookup(row.number);
    const bool present = text && !text->empty();
    std::wstring result = present ? std::move(*text) : std::wstring(row.builtin);
    // The file-name message carries the characters it forbids. A translation is followed by two
    // spaces and the list; the built-in text is followed by the list directly, and only once.
    if (messageIndex == 5) result += (present ? L"  "s : L""s) + std::wstring(kFileNameCharacters);
    return result;
}

std::wstring TextOr(const LanguageLookup& lookup, int number, std::wstring_view builtin) {
    if (auto text = lookup(number); text && !text->empty()) return std::move(*text);
    return std::wstring(builtin);
}

std::wstring PressWord(const LanguageLookup& lookup) {
    return TextOr(lookup, kPressWordNumber, L"  press");
}
std::wstring ReleaseWord(const LanguageLookup& lookup) {
    return TextOr(lookup, kReleaseWordNumber, L"  release");
}

int LastLanguageNumber() { return kLastNumberInTables; }

}  // namespace tavrine::ui
