#include "ui/LanguageTables.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <set>

namespace tavrine::ui {
namespace {

// A language file as a map of number to text; empty texts count as absent, as in the file.
LanguageLookup FileWith(std::map<int, std::wstring> entries) {
    return [entries = std::move(entries)](int n) -> std::optional<std::wstring> {
        auto it = entries.find(n);
        if (it == entries.end()) return std::nullopt;
        return it->second;
    };
}

std::map<std::wstring, std::wstring> HintsSet(std::wstring_view form, const LanguageLookup& file) {
    std::map<std::wstring, std::wstring> set;
    ApplyLanguageHints(form, file, [&](std::wstring_view c, const std::wstring& t) {
        set[std::wstring(c)] = t;
        return true;
    });
    return set;
}

TEST(LanguageHints, SharedNumbersReachTheOkCancelAndApplyPicturesOfEveryDialog) {
    const auto file = FileWith({{55, L"Anwenden"}, {56, L"Abbrechen"}, {57, L"Gut"}});
    const std::set<std::wstring> dialogs{
        L"TLightOptionForm", L"TPerform1", L"TMacroForm", L"TNewMacroForm",
        L"TRepeatCount",     L"TSKey",     L"TTKey",      L"TWarningForm1"};
    for (const auto& d : dialogs) {
        const auto set = HintsSet(d, file);
        EXPECT_EQ(set.at(L"Img_Ok"), L"Gut") << std::string(d.begin(), d.end());
        EXPECT_EQ(set.at(L"Img_Cancel"), L"Abbrechen");
        EXPECT_EQ(set.at(L"Img_Apply"), L"Anwenden");
    }
    // The main window's own pictures carry other names; the second message window has none.
    EXPECT_EQ(HintsSet(L"TTavrineMainForm1", file),
              (std::map<std::wstring, std::wstring>{{L"Img_MainApply", L"Anwenden"},
                                                    {L"Img_MainCancel", L"Abbrechen"},
                                                    {L"Img_MainOk", L"Gut"}}));
    EXPECT_TRUE(HintsSet(L"TWarningForm2", file).empty());
}

TEST(LanguageHints, AnEmptyTextLeavesTheBuiltInAndOneEntryReplacesOneHint) {
    EXPECT_TRUE(HintsSet(L"TSKey", FileWith({{57, L""}})).empty());

    const auto only37 = FileWith({{37, L"Gedrueckt halten"}});
    std::size_t total = 0;
    std::set<std::wstring> forms;
    for (const auto& h : HintTexts()) forms.insert(std::wstring(h.form));
    for (const auto& f : forms) {
        const auto set = HintsSet(f, only37);
        total += set.size();
        if (f == L"TTKey") {
            EXPECT_EQ(set.at(L"Lab_When"), L"Gedrueckt halten");
        }
    }
    EXPECT_EQ(total, 1u);
}

TEST(LanguageHints, OneNumberCanNameSeveralComponentsAndOnlyKnownOnesCount) {
    const auto file = FileWith({{21, L"Loeschen"}, {46, L"Rate"}});
    const auto macro = HintsSet(L"TMacroForm", file);
    EXPECT_EQ(macro.at(L"Img_delete"), L"Loeschen");
    EXPECT_EQ(macro.at(L"Img_del"), L"Loeschen");
    EXPECT_EQ(HintsSet(L"TPerform1", file).size(), 3u);

    // A form without the component: the setter declines and it is not counted.
    const int set = ApplyLanguageHints(
        L"TPerform1", file,
        [](std::wstring_view c, const std::wstring&) { return c == L"Img_500hz"; });
    EXPECT_EQ(set, 1);
}

TEST(LanguageHints, BuiltinHintsFollowTheTable) {
    std::map<std::wstring, std::wstring> set;
    ApplyBuiltinHints(L"TTavrineMainForm1", [&](std::wstring_view c, const std::wstring& t) {
        set[std::wstring(c)] = t;
        return true;
    });
    EXPECT_EQ(set.size(), 19u);
    EXPECT_EQ(set.at(L"Img_Profile4"), L"PROFILE5");
    EXPECT_EQ(set.at(L"Img_Web"), L"Registry");
}

TEST(LanguageLists, BuiltInEntriesStayWithoutTheFirstNumber) {
    // Numbers other than the first do not rebuild the list on their own.
    const auto file = FileWith({{59, L"Rechts"}, {68, L"Bild ab"}});
    EXPECT_FALSE(RebuiltEntries(PopupListTexts(), file));
    EXPECT_FALSE(RebuiltEntries(CommandListTexts(), file));
    EXPECT_FALSE(RebuiltEntries(PopupListTexts(), FileWith({{85, L""}})));
    const auto popup = BuiltinEntries(PopupListTexts());
    ASSERT_EQ(popup.size(), 9u);
    EXPECT_EQ(popup[5], L"Backward");
    const auto commands = BuiltinEntries(CommandListTexts());
    ASSERT_EQ(commands.size(), 19u);
    EXPECT_EQ(commands[16], L"L Button");
}

TEST(LanguageLists, RebuiltListsLeaveAbsentNumbersOutAndKeepOrder) {
    std::map<int, std::wstring> texts;
    for (int n : {85, 59, 61, 62, 63, 64, 65, 66}) texts[n] = L"t" + std::to_wstring(n);
    const auto popup = RebuiltEntries(PopupListTexts(), FileWith(texts));
    ASSERT_TRUE(popup);
    ASSERT_EQ(popup->size(), 8u);
    EXPECT_EQ((*popup)[2], L"t61");

    // The command list starts at 67 and takes 85, 59 and 86 for its last three entries.
    const auto commands =
        RebuiltEntries(CommandListTexts(), FileWith({{67, L"a"}, {86, L"c"}, {85, L"b"}}));
    EXPECT_EQ(commands, (std::vector<std::wstring>{L"a", L"b", L"c"}));
    // Each entry still names its command: a, b, c are Page UP, L Button and M Button.
    EXPECT_EQ(RebuiltPositions(CommandListTexts(), FileWith({{67, L"a"}, {86, L"c"}, {85, L"b"}})),
              (std::vector<std::size_t>{0, 16, 18}));
    EXPECT_FALSE(RebuiltPositions(CommandListTexts(), FileWith({{68, L"x"}})));
}

TEST(LanguageLists, SingleKeyNamesMatchWhatThePopupShows) {
    const auto builtin = SingleCommandNames(FileWith({{61, L"Klick"}}));
    EXPECT_EQ(builtin[3], L"Click");  // no 85: translations of later entries are not used
    const auto translated = SingleCommandNames(FileWith({{85, L"Links"}, {61, L"Klick"}}));
    EXPECT_EQ(translated[0], L"Links");
    EXPECT_EQ(translated[3], L"Klick");
    EXPECT_FALSE(translated[1]);  // never matched
}

// The reader reads up to the last number the tables name: every text a table asks for is read,
// the write-given-up notice's and the press and release words' included.
TEST(LanguageTables, EveryNumberATableNamesIsRead) {
    std::vector<int> numbers;
    for (const HintText& h : HintTexts()) numbers.push_back(h.number);
    for (const TextList* list : {&PopupListTexts(), &CommandListTexts()})
        numbers.insert(numbers.end(), list->numbers.begin(), list->numbers.end());
    for (int index = 1; MessageLanguageNumber(index) != 0; ++index)
        numbers.push_back(MessageLanguageNumber(index));
    ASSERT_GE(numbers.size(), 80u);
    for (int n : numbers) EXPECT_TRUE(n >= 1 && n <= LastLanguageNumber()) << n;
    EXPECT_EQ(LastLanguageNumber(), *std::max_element(numbers.begin(), numbers.end()));
    EXPECT_EQ(PressWord(FileWith({{83, L" ab"}})), L" ab");
    // The pop-up list is the fixed commands' table.
    ASSERT_EQ(PopupListTexts().numbers.size(), device::kSingleCommandCount);
    for (std::size_t i = 0; i < device::kSingleCommandCount; ++i) {
        EXPECT_EQ(PopupListTexts().numbers[i], device::kSingleCommands[i].textNumber);
        EXPECT_EQ(PopupListTexts().builtins[i], device::kSingleCommands[i].name);
    }
}

TEST(LanguageMessages, TextsComeFromTheirNumbersAndTheFileNameMessageListsCharactersOnce) {
    const auto none = FileWith({});
    EXPECT_EQ(MessageText(6, none), L"Macro Name is Exist.");
    EXPECT_EQ(MessageText(6, FileWith({{58, L"Gibt es schon."}})), L"Gibt es schon.");
    EXPECT_EQ(MessageText(5, none),
              L"A file name cannot contain any of the following characters:\\ / : * ? \" < > |");
    EXPECT_EQ(MessageText(5, FileWith({{31, L"Verboten:"}})), L"Verboten:  \\ / : * ? \" < > |");
    EXPECT_EQ(MessageText(0, none), L"");
    EXPECT_EQ(MessageText(8, none), L"");
    // The write-given-up notice is translated like the others, as number 87.
    EXPECT_EQ(MessageText(7, FileWith({{87, L"Nicht geschrieben."}})), L"Nicht geschrieben.");
    EXPECT_EQ(MessageLanguageNumber(7), 87);
    EXPECT_EQ(MessageLanguageNumber(3), 52);
    EXPECT_EQ(PressWord(none), L"  press");
    EXPECT_EQ(ReleaseWord(FileWith({{84, L" los"}})), L" los");
}

}  // namespace
}  // namespace tavrine::ui
