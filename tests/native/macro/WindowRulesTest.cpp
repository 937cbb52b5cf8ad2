#include <gtest/gtest.h>

#include "macro/MacroDialogs.h"
#include "macro/MacroRecorder.h"
#include "macro/MacroRows.h"
#include "macro/MacroStore.h"
#include "tests/native/macro/MacroTestKit.h"
#include "macro/MacroText.h"
#include "macro/MacroWindowRules.h"
#include "platform/MemorySettingsStore.h"

using macro::AcceptNewMacroName;
using macro::ApplyMacro;
using macro::ChooseStoredMacro;
using macro::InsertAfterCommandChosen;
using macro::MacroButtons;
using macro::MacroDocument;
using macro::MacroImage;
using macro::MacroImageText;
using macro::MacroKeyPath;
using macro::MacroLanguage;
using macro::MacroPhase;
using macro::MacroPhaseButtons;
using macro::MacroRecorder;
using macro::NewMacroOutcome;
using macro::ResetForShow;
using macro::StartNewMacro;

namespace {


// The enabled set of a phase as a string of the flags' letters, so that a table row reads as
// one line: R record, S stop, D delete event, U up, W down, V save, X delete stored, 1 set
// delay, 2 recording mark, 3 insert, I ignore box, F default box, N new, L load, T delay
// fields, M macro drop-down, C command drop-down.
std::string Enabled(const MacroButtons& b) {
    std::string s;
    const std::pair<bool, char> flags[] = {
        {b.record, 'R'},        {b.stop, 'S'},   {b.deleteEvent, 'D'},  {b.moveUp, 'U'},
        {b.moveDown, 'W'},      {b.save, 'V'},   {b.deleteStored, 'X'}, {b.setDelay, '1'},
        {b.recordingMark, '2'}, {b.insert, '3'}, {b.ignoreBox, 'I'},    {b.defaultBox, 'F'},
        {b.newMacro, 'N'},      {b.load, 'L'},   {b.delayFields, 'T'},  {b.macroList, 'M'},
        {b.commandList, 'C'}};
    for (auto [on, letter] : flags)
        if (on) s += letter;
    return s;
}

TEST(WindowRules, EachPhaseEnablesItsButtonsAndDropDowns) {
    MacroDocument document;
    EXPECT_EQ(Enabled(MacroPhaseButtons(MacroPhase::Shown, document)), "NLTMC");
    EXPECT_EQ(Enabled(MacroPhaseButtons(MacroPhase::NameGiven, document)), "RSDUWVX13NLTMC");
    EXPECT_EQ(Enabled(MacroPhaseButtons(MacroPhase::Loaded, document)), "RSDUWVX13NLTMC");
    // While recording nothing that edits or replaces the macro is open, the stored-macro
    // drop-down included.
    EXPECT_EQ(Enabled(MacroPhaseButtons(MacroPhase::Recording, document)), "S2IFC");

    // Insert depends on the chosen command after a choice, on the rows after Stop.
    EXPECT_EQ(Enabled(MacroPhaseButtons(MacroPhase::StoredChosen, document)), "RSDUWVX1NLTMC");
    document.chosenCommand = 4;
    EXPECT_TRUE(MacroPhaseButtons(MacroPhase::StoredChosen, document).insert);
    document.rows.resize(1);
    EXPECT_EQ(Enabled(MacroPhaseButtons(MacroPhase::Stopped, document)), "RSDUWVX1NLTMC");
    document.rows.resize(2);
    EXPECT_TRUE(MacroPhaseButtons(MacroPhase::Stopped, document).insert);

    EXPECT_TRUE(InsertAfterCommandChosen(MacroPhase::Stopped, true));
    EXPECT_FALSE(InsertAfterCommandChosen(MacroPhase::Stopped, false));
    EXPECT_FALSE(InsertAfterCommandChosen(MacroPhase::Recording, true));
}

// A recording writes only into the macro it was started for: once the document is replaced (a
// stored macro chosen, a file loaded, New), keystrokes are refused and Stop commits nothing.
TEST(WindowRules, ARecordingNeverWritesIntoAMacroItWasNotStartedFor) {
    platform::MemorySettingsStore store;
    TableKeyNames names;
    std::wstring time2 = L"0";
    store.Seed(platform::SettingsHive::CurrentUser, MacroKeyPath(L"Stored"), L"keys", L"6 2 6 80 ");
    MacroDocument document;
    document.macroName = L"Fresh";
    MacroRecorder recorder;
    recorder.Start(document);
    EXPECT_TRUE(recorder.RecordsInto(document));
    ASSERT_TRUE(recorder.HandleKeyMessage(document, Press(0x1E), 1000, time2, names));
    ASSERT_TRUE(recorder.HandleKeyMessage(document, Release(0x1E), 1200, time2, names));
    ASSERT_TRUE(recorder.HandleKeyMessage(document, Press(0x30), 1300, time2, names));

    ASSERT_TRUE(ChooseStoredMacro(store, L"Stored", document, names, kWords).ok);
    const MacroImage loaded = document.image;
    ASSERT_EQ(loaded, Slots({{0x06, 0x02}, {0x06, 0x80}}));
    EXPECT_FALSE(recorder.RecordsInto(document));
    EXPECT_FALSE(recorder.HandleKeyMessage(document, Release(0x30), 1400, time2, names));
    EXPECT_FALSE(recorder.HandleKeyMessage(document, Press(0x2E), 1500, time2, names));
    recorder.Stop(document);
    EXPECT_EQ(document.image, loaded) << "the loaded macro keeps its slots";
    ASSERT_EQ(document.RowCount(), 2);
    EXPECT_EQ(document.rows[1].delayText, L"0");

    // The same for an emptied document (New) and for a new recording on it, which owns it.
    recorder.Start(document);
    StartNewMacro(document);
    EXPECT_FALSE(recorder.HandleKeyMessage(document, Press(0x1E), 2000, time2, names));
    EXPECT_EQ(document.image, MacroImage{});
    recorder.Start(document);
    EXPECT_TRUE(recorder.HandleKeyMessage(document, Press(0x1E), 3000, time2, names));
}

// Showing the editor and New empty the rows and the image together, so that nothing hidden is
// saved under an empty list.
TEST(WindowRules, ShowAndNewEmptyImageAndRowsTogether) {
    platform::MemorySettingsStore store;
    TableKeyNames names;
    store.Seed(platform::SettingsHive::CurrentUser, MacroKeyPath(L"Old"), L"keys", L"4 3 4 80 ");
    MacroDocument document;
    ASSERT_TRUE(ChooseStoredMacro(store, L"Old", document, names, kWords).ok);
    document.selectedRow = 1;

    ResetForShow(document);
    EXPECT_EQ(document.macroName, L"");
    EXPECT_TRUE(document.rows.empty());
    EXPECT_EQ(document.selectedRow, -1);
    EXPECT_EQ(document.image, MacroImage{}) << "no hidden image behind the empty list";

    // show -> New -> an existing name (refused) -> Apply under a name: nothing of Old.
    ASSERT_TRUE(ChooseStoredMacro(store, L"Old", document, names, kWords).ok);
    StartNewMacro(document);
    EXPECT_TRUE(document.rows.empty());
    EXPECT_EQ(AcceptNewMacroName(store, L"Old", document).outcome, NewMacroOutcome::Refused);
    document.macroName = L"Other";
    ASSERT_TRUE(ApplyMacro(store, document));
    auto key = store.OpenKey(platform::SettingsHive::CurrentUser, MacroKeyPath(L"Other"));
    EXPECT_EQ(key->ReadString(L"keys"), MacroImageText(MacroImage{}));
}

}  // namespace
