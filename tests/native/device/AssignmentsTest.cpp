#include <gtest/gtest.h>

#include "device/Assignments.h"
#include "tests/native/device/MouseRig.h"
#include "device/MainWindowEnable.h"
#include "device/NoticeWindowState.h"
#include "device/ProfileStore.h"
#include "device/SettingsLayout.h"
#include "device/WriteStarts.h"

using device::AnswerPendingChanges;
using device::AssignDefault;
using device::AssignLaunchProgram;
using device::AssignMacro;
using device::AssignSingleCommand;
using device::MainWindowEnable;
using device::ButtonKeyPath;
using device::ButtonRecordOffset;
using device::ButtonSlotTable;
using device::DefaultRecordText;
using device::kButtonCount;
using device::kFunctionDefault;
using device::kFunctionLaunchProgram;
using device::kFunctionMacro;
using device::kFunctionSingleCommand;
using device::kMaxDescriptionLength;
using device::kProfileCount;
using device::kSingleCommands;
using device::LaunchCode;
using device::LaunchRecordText;
using device::Notice;
using device::NoticeWindowState;
using device::ProfileRecordTexts;
using device::ProfileSnapshot;
using device::ROMAddress;
using device::SaveProfile;
using device::SelectedSlot;
using device::SingleCommandRecordText;
using device::SlotRef;
using device::SnapshotOf;

namespace {

using namespace std::chrono_literals;

std::optional<std::wstring> Stored(MouseRig& rig, int profile, int button,
                                   std::wstring_view value) {
    auto key =
        rig.store.OpenKey(platform::SettingsHive::CurrentUser, ButtonKeyPath(profile, button));
    if (!key || !key->ValueExists(value)) return std::nullopt;
    return key->ReadString(value);
}

// Each result lands in the slot it names, marks that profile pending, and a slot of a profile
// the state does not hold the records of is refused whole.
TEST(Assignments, EachKindLandsInItsSlotAndAForeignProfileIsRefused) {
    MouseRig rig;
    rig.state.CurrentProfile = 1;
    rig.state.CurrentButton = 3;
    const ProfileRecordTexts before = rig.state.recordTexts;
    const ButtonSlotTable slotsBefore = rig.state.slotTable;

    // Refused: another profile than the one shown, buttons and profiles out of range.
    for (SlotRef wrong : {SlotRef{0, 3}, SlotRef{1, 5}, SlotRef{1, -1}, SlotRef{5, 0}}) {
        EXPECT_FALSE(AssignSingleCommand(rig.state, wrong, 3, L"Click"));
        EXPECT_FALSE(AssignMacro(rig.state, wrong, L"Copy", L"4 0 4 80"));
        EXPECT_FALSE(AssignDefault(rig.state, rig.store, wrong));
        EXPECT_FALSE(AssignLaunchProgram(rig.state, rig.store, wrong, L"C:\\Games\\run.exe"));
    }
    EXPECT_FALSE(AssignSingleCommand(rig.state, {1, 0}, kSingleCommands.size(), L"x"));
    EXPECT_FALSE(AssignLaunchProgram(rig.state, rig.store, {1, 0}, L""));
    EXPECT_EQ(rig.state.recordTexts, before);
    EXPECT_EQ(rig.state.PendingProfile, -1);
    EXPECT_EQ(rig.store.KeyCount(), 0u) << "nothing stored for a refused slot";
    for (int p = 0; p < kProfileCount; ++p)
        for (int b = 0; b < kButtonCount; ++b)
            EXPECT_EQ(rig.state.slotTable[p][b].kind, slotsBefore[p][b].kind);

    const SlotRef side1 = SelectedSlot(rig.state);
    EXPECT_TRUE(AssignLaunchProgram(rig.state, rig.store, side1, L"C:\\Games\\run.exe"));
    EXPECT_EQ(rig.state.recordTexts[3], LaunchRecordText(1, 3));
    EXPECT_EQ(rig.state.slotTable[1][3].description, L"run.exe");
    EXPECT_EQ(rig.state.slotTable[1][3].kind, kFunctionLaunchProgram);
    EXPECT_EQ(rig.state.PendingProfile, 1);
    EXPECT_EQ(Stored(rig, 1, 3, L"filepath"), L"C:\\Games\\run.exe");
    EXPECT_EQ(Stored(rig, 0, 3, L"filepath"), std::nullopt);

    EXPECT_TRUE(AssignSingleCommand(rig.state, {1, 1}, 3, L"Click"));
    EXPECT_EQ(rig.state.recordTexts[1], SingleCommandRecordText(3));
    EXPECT_EQ(rig.state.slotTable[1][1].description, L"Click");
    EXPECT_EQ(rig.state.slotTable[1][1].kind, kFunctionSingleCommand);
    // A name the list no longer has: only the kind changes, the record stays.
    EXPECT_TRUE(AssignSingleCommand(rig.state, {1, 1}, std::nullopt, L""));
    EXPECT_EQ(rig.state.recordTexts[1], SingleCommandRecordText(3));
    EXPECT_EQ(rig.state.slotTable[1][1].description, L"Click");

    const std::wstring longName(300, L'm');
    EXPECT_TRUE(AssignMacro(rig.state, {1, 4}, longName, L"4 0 4 80"));
    EXPECT_EQ(rig.state.recordTexts[4], L"4 0 4 80");
    EXPECT_EQ(rig.state.slotTable[1][4].description.size(), kMaxDescriptionLength);
    EXPECT_EQ(rig.state.slotTable[1][4].kind, kFunctionMacro);

    rig.state.PendingProfile = -1;
    EXPECT_TRUE(AssignDefault(rig.state, rig.store, {1, 1}));
    EXPECT_EQ(rig.state.recordTexts[1], DefaultRecordText(1));
    EXPECT_EQ(rig.state.slotTable[1][1].description, L"Right button");
    EXPECT_EQ(rig.state.slotTable[1][1].kind, kFunctionDefault);
    EXPECT_EQ(rig.state.PendingProfile, 1);
    EXPECT_EQ(Stored(rig, 1, 1, L"DES"), L"Right button") << "a default's name is kept at once";
}

// A launch program chosen while the mouse's own profile button showed another profile (the
// chooser runs its own message loop) goes to the profile shown when it returns: the records,
// the stored file, the launch code and the pending profile all name that one, so the write
// the pending-changes question starts puts it there and nowhere else.
TEST(Assignments, ProfileChangedUnderTheFileChooserGoesToTheShownProfile) {
    MouseRig rig;
    rig.state.CurrentButton = 4;
    rig.state.recordTexts = {DefaultRecordText(0), DefaultRecordText(1), DefaultRecordText(2),
                             L"", L""};
    SaveProfile(rig.store, 1, rig.state.recordTexts, rig.state.slotTable[1], {});
    const SlotRef atOpen = SelectedSlot(rig.state);  // profile 0, side 2
    rig.session.OnProfileChanged(2);                  // while the chooser is open
    ASSERT_EQ(rig.state.CurrentProfile, 1);

    EXPECT_FALSE(AssignLaunchProgram(rig.state, rig.store, atOpen, L"C:\\x.exe"))
        << "the slot read before the chooser no longer has its records shown";
    ASSERT_TRUE(AssignLaunchProgram(rig.state, rig.store, SelectedSlot(rig.state), L"C:\\x.exe"));
    EXPECT_EQ(rig.state.PendingProfile, 1);
    EXPECT_EQ(Stored(rig, 0, 4, L"filepath"), std::nullopt);
    EXPECT_EQ(Stored(rig, 1, 4, L"filepath"), L"C:\\x.exe");

    // The user picks profile 0 and confirms the question: profile 1 is written with its own
    // launch code.
    const ProfileSnapshot pending = SnapshotOf(rig.state, rig.state.PendingProfile);
    rig.state.CurrentProfile = 0;
    AnswerPendingChanges(rig.session, rig.writer, rig.state, rig.store, rig.view, pending, true);
    rig.RunFor(2s);
    ASSERT_EQ(rig.Writes().size(), 35u);
    EXPECT_EQ(rig.mouse.Eeprom()[ROMAddress[1][ButtonRecordOffset(4)]], LaunchCode(1, 4));
    EXPECT_EQ(rig.mouse.Eeprom()[ROMAddress[0][ButtonRecordOffset(4)]], 0x00);
    EXPECT_EQ(Stored(rig, 1, 4, L"keys"), LaunchRecordText(1, 4));
}

// The message window: Yes on "plug in the mouse" ends the program; a notice arriving over it
// goes back to it on Yes; the questions belong to the other window.
TEST(NoticeWindow, YesEndsTheProgramOnNoDeviceAndANoticeOverItReturnsToIt) {
    using Yes = NoticeWindowState::YesAction;
    NoticeWindowState w;
    EXPECT_FALSE(w.Show(Notice::PendingChanges, false));
    EXPECT_FALSE(w.Show(Notice::ResetConfirm, false));
    EXPECT_EQ(w.Yes(false), Yes::None) << "a hidden window does nothing";

    ASSERT_TRUE(w.Show(Notice::NoDevice, false));
    ASSERT_TRUE(w.Show(Notice::WriteGivenUp, true));
    EXPECT_EQ(w.shown(), Notice::WriteGivenUp);
    EXPECT_EQ(w.Yes(true), Yes::BackToNoDevice);
    EXPECT_EQ(w.shown(), Notice::NoDevice);
    EXPECT_EQ(w.Yes(true), Yes::EndProgram);

    // Shown after the window was hidden (the mouse came back): nothing to go back to.
    ASSERT_TRUE(w.Show(Notice::NoDevice, false));
    w.Hidden();
    ASSERT_TRUE(w.Show(Notice::NoLeftButton, false));
    EXPECT_EQ(w.Yes(true), Yes::Hide);
    // The mouse going away again while a notice is up: that one is replaced.
    ASSERT_TRUE(w.Show(Notice::MacroExists, false));
    ASSERT_TRUE(w.Show(Notice::NoDevice, true));
    EXPECT_EQ(w.Yes(true), Yes::EndProgram);
}

TEST(MainWindowEnable, ADialogAndTheMouseEachHoldTheWindowOffOnTheirOwn) {
    MainWindowEnable w;
    EXPECT_TRUE(w.Enabled());
    EXPECT_FALSE(w.SetDialogOpen(true));
    EXPECT_FALSE(w.SetDeviceAway(true)) << "the mouse leaves while the dialog is open";
    EXPECT_FALSE(w.SetDialogOpen(false)) << "closing the dialog must not open the window under the notice";
    EXPECT_TRUE(w.SetDeviceAway(false));

    EXPECT_FALSE(w.SetDeviceAway(true));
    EXPECT_FALSE(w.SetDialogOpen(true));
    EXPECT_FALSE(w.SetDeviceAway(false)) << "the mouse returns while the dialog is open";
    EXPECT_TRUE(w.SetDialogOpen(false));
}

}  // namespace
