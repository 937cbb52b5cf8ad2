#include <gtest/gtest.h>

#include "device/CommandReport.h"
#include "tests/native/device/MouseRig.h"
#include "device/ProfileStore.h"
#include "device/RecordTemplates.h"
#include "device/SettingsLayout.h"
#include "device/WriteStarts.h"

using device::AnswerPendingChanges;
using device::ApplyProfile;
using device::ButtonKeyPath;
using device::DefaultRecordText;
using device::kAddressActiveProfile;
using device::kFunctionDefault;
using device::kFunctionSingleCommand;
using device::kReportStateProfileWrite;
using device::kSettingsRoot;
using device::kWriteEndingTimer;
using device::LaunchRecordText;
using device::LoadProfile;
using device::MainState;
using device::Notice;
using device::OkProfile;
using device::ParseButtonRecordText;
using device::ProfileRecordTexts;
using device::ProfileSnapshot;
using device::ResetProfile;
using device::ROMAddress;
using device::SaveProfile;
using device::SingleCommandRecordText;
using device::SnapshotOf;
using device::WritePendingProfile;

using platform::SettingsHive;
using platform::SettingsValueKind;

namespace {

using namespace std::chrono_literals;
using testing::_;
using testing::InSequence;
using testing::Invoke;

ProfileRecordTexts DefaultTexts() {
    ProfileRecordTexts t;
    for (int b = 0; b < 5; ++b) t[b] = DefaultRecordText(b);
    return t;
}

// A profile whose left record carries recognisable bytes in its first chunk.
ProfileRecordTexts MarkedTexts() {
    ProfileRecordTexts t = DefaultTexts();
    t[0] = L"c0 40 1 2 3 4 5 6 7 8 9 a";
    t[4] = SingleCommandRecordText(5);  // "Backward" on the second side button
    return t;
}

// The profile image the mouse should end up with.
std::array<std::uint8_t, 410> ImageOf(const ProfileRecordTexts& texts) {
    std::array<std::uint8_t, 410> image{};
    for (int b = 0; b < 5; ++b) {
        const auto r = ParseButtonRecordText(texts[b]);
        std::copy(r.begin(), r.end(), image.begin() + b * 82);
    }
    return image;
}

std::array<std::uint8_t, 410> MouseProfile(const MouseRig& rig, int profile) {
    std::array<std::uint8_t, 410> image{};
    std::copy_n(rig.mouse.Eeprom() + ROMAddress[profile][0], 410, image.begin());
    return image;
}

int AddressOf(const SentReport& s) { return s.bytes[1] | s.bytes[2] << 8; }

TEST(ProfileWrite, FirstAndLastReportOfProfileIndexOne) {
    MouseRig rig;
    rig.state.CurrentProfile = 1;
    rig.state.recordTexts = MarkedTexts();
    rig.writer.Start();
    rig.RunFor(200ms);

    const auto writes = rig.Writes();
    ASSERT_EQ(writes.size(), 35u);
    EXPECT_EQ(writes.front().usage, 0xFF00);
    EXPECT_EQ(writes.front().bytes,
              Bytes({0x03, 0xAA, 0x01, 0x0C, 0xC0, 0x40, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x0A}));
    EXPECT_EQ(writes.back().bytes, Bytes({0x03, 0x42, 0x03, 0x02, 0xA0, 0x00}));
    for (std::size_t k = 0; k < writes.size(); ++k)
        EXPECT_EQ(AddressOf(writes[k]), static_cast<int>(ROMAddress[1][12 * k])) << k;
    EXPECT_EQ(MouseProfile(rig, 1), ImageOf(rig.state.recordTexts));
    EXPECT_EQ(MouseProfile(rig, 0), ImageOf(DefaultTexts()));  // neighbours untouched
}

TEST(ProfileWrite, EveryChunkAcknowledgedEndsOnceAndStaysOpenAfterApply) {
    MouseRig rig;
    rig.state.recordTexts = MarkedTexts();
    {
        InSequence order;
        EXPECT_CALL(rig.view, HideButtonMarker()).Times(1);
        EXPECT_CALL(rig.view, SetMainControlsEnabled(true)).Times(1);
    }
    EXPECT_CALL(rig.view, TerminateApplication()).Times(0);
    EXPECT_CALL(rig.view, ShowNotice(_)).Times(0);

    rig.writer.Start();
    EXPECT_EQ(rig.LoadingPosts(1), 1);
    EXPECT_EQ(rig.state.deviceReportState.value, kReportStateProfileWrite);
    // 100 ms before the first report, 3 ms after each.
    EXPECT_EQ(rig.channel.sent.front().at, 100ms);
    rig.RunFor(1s);

    EXPECT_EQ(rig.Writes().size(), 35u);
    EXPECT_EQ(rig.LoadingPosts(0), 1);
    EXPECT_FALSE(rig.writer.busy());
    EXPECT_EQ(rig.writer.writeState().offset, 0);
    // No apply command follows a profile write.
    for (const auto& w : rig.Writes()) EXPECT_NE(AddressOf(w), 0xFF06);
}

TEST(ProfileWrite, OkEndsTheProgram100msAfterTheLastAcknowledgement) {
    MouseRig rig;
    rig.state.recordTexts = DefaultTexts();
    rig.state.ExitAfterWrite = true;
    std::chrono::milliseconds endedAt{-1};
    EXPECT_CALL(rig.view, TerminateApplication()).WillOnce(Invoke([&] {
        endedAt = rig.time.Now();
    }));
    EXPECT_CALL(rig.view, SetMainControlsEnabled(true)).Times(0);

    rig.writer.Start();
    rig.DeliverInputs();  // every acknowledgement comes at once: the last one is now
    const auto lastAck = rig.time.Now();
    ASSERT_EQ(rig.Writes().size(), 35u);
    rig.RunFor(99ms);
    EXPECT_EQ(endedAt.count(), -1);
    rig.RunFor(500ms);
    EXPECT_EQ(endedAt, lastAck + 100ms);
}

TEST(ProfileWrite, UnacknowledgedChunkIsSentThreeTimesThenGivenUpWithANotice) {
    MouseRig rig;
    rig.state.CurrentProfile = 3;
    rig.state.recordTexts = MarkedTexts();
    rig.dropAcksAfter = 7;  // chunks 0..6 acknowledged, chunk 7 never
    EXPECT_CALL(rig.view, SetMainControlsEnabled(false)).Times(testing::AnyNumber());
    EXPECT_CALL(rig.view, SetMainControlsEnabled(true)).Times(2);
    EXPECT_CALL(rig.view, ShowNotice(Notice::WriteGivenUp)).Times(1);
    EXPECT_CALL(rig.view, TerminateApplication()).Times(0);

    OkProfile(rig.writer, rig.state, rig.view);
    EXPECT_TRUE(rig.state.ExitAfterWrite);
    rig.DeliverInputs();
    ASSERT_EQ(rig.Writes().size(), 8u);
    const auto firstSend = rig.Writes().back().at;

    rig.RunFor(firstSend + 9000ms - 1ms - rig.time.Now());
    EXPECT_EQ(rig.Writes().size(), 10u);
    EXPECT_EQ(rig.LoadingPosts(0), 0);
    rig.RunFor(1ms);
    EXPECT_EQ(rig.LoadingPosts(0), 1);
    EXPECT_EQ(rig.state.MessageIndex, Notice::WriteGivenUp);

    const auto writes = rig.Writes();
    for (std::size_t i = 7; i < 10; ++i) {
        EXPECT_EQ(writes[i].bytes, writes[7].bytes);
        EXPECT_EQ(writes[i].at, firstSend + (i - 7) * 3000ms);
    }
    EXPECT_EQ(AddressOf(writes[7]), static_cast<int>(ROMAddress[3][84]));
    rig.RunFor(20s);
    EXPECT_EQ(rig.Writes().size(), 10u);
    EXPECT_FALSE(rig.writer.busy());
    // The given-up OK no longer ends the program: a later Apply's write ends with the controls.
    EXPECT_FALSE(rig.state.ExitAfterWrite);
    rig.dropAcksAfter.reset();
    ApplyProfile(rig.writer, rig.state, rig.view);
    rig.RunFor(2s);
    EXPECT_EQ(rig.Writes().size(), 45u);
    EXPECT_EQ(MouseProfile(rig, 3), ImageOf(MarkedTexts()));
}

// The mouse's own events, a profile switch and a profile change reported by the display program
// all arrive during the write; none may cut it short, and the last two happen after it.
TEST(ProfileWrite, EventsAndProfileSwitchesDuringTheWriteWaitForItsEnd) {
    MouseRig rig;
    rig.state.CurrentProfile = 1;
    rig.state.recordTexts = MarkedTexts();
    EXPECT_CALL(rig.view, ShowNotice(_)).Times(0);
    rig.writer.Start();
    rig.mouse.PressDpi();  // queued behind the first acknowledgement
    rig.session.SwitchDeviceProfile(4);
    rig.session.OnProfileChanged(3);
    EXPECT_EQ(rig.state.CurrentProfile, 1);
    rig.RunFor(10s);

    const auto writes = rig.Writes();
    ASSERT_EQ(writes.size(), 37u);  // the profile, the held switch and the apply it asks for
    EXPECT_EQ(MouseProfile(rig, 1), ImageOf(MarkedTexts()));
    EXPECT_EQ(rig.LoadingPosts(0), 1);
    // The held switch went out after the last chunk, the reported profile is shown.
    EXPECT_EQ(AddressOf(writes[35]), static_cast<int>(kAddressActiveProfile));
    EXPECT_EQ(writes[35].bytes[4], 0x80);
    EXPECT_EQ(rig.state.CurrentProfile, 2);
}

// The mouse goes away in the middle of a write and comes back: the profile is written again
// from its start, never left half-written, and the controls come back only after that.
TEST(ProfileWrite, WriteCutOffByTheMouseGoingAwayIsWrittenAgainWhenItIsBack) {
    MouseRig rig;
    rig.state.CurrentProfile = 2;
    rig.state.recordTexts = MarkedTexts();
    rig.dropAcksAfter = 10;
    EXPECT_CALL(rig.view, ShowNotice(Notice::NoDevice)).Times(1);
    EXPECT_CALL(rig.view, ShowNotice(Notice::WriteGivenUp)).Times(0);
    ApplyProfile(rig.writer, rig.state, rig.view);
    rig.RunFor(100ms);
    ASSERT_EQ(rig.Writes().size(), 11u);
    rig.session.OnNoCollectionLeft();
    rig.RunFor(20s);  // no resends, no giving up while it is away
    EXPECT_EQ(rig.Writes().size(), 11u);
    EXPECT_TRUE(rig.writer.held());

    rig.dropAcksAfter.reset();
    // Once, at the end of the write; not at the attach, while it is written again.
    EXPECT_CALL(rig.view, SetMainControlsEnabled(false)).Times(testing::AnyNumber());
    EXPECT_CALL(rig.view, SetMainControlsEnabled(true)).Times(1);
    rig.session.OnCollectionPresent();
    rig.RunFor(3s);
    const auto writes = rig.Writes();
    ASSERT_EQ(writes.size(), 11u + 35u);
    EXPECT_EQ(AddressOf(writes[11]), static_cast<int>(ROMAddress[2][0]));
    EXPECT_EQ(MouseProfile(rig, 2), ImageOf(MarkedTexts()));
    EXPECT_FALSE(rig.writer.busy());
}

TEST(ProfileWrite, LateAcknowledgementsAfterTheEndAreIgnored) {
    MouseRig rig;
    rig.state.recordTexts = DefaultTexts();
    rig.writer.Start();
    rig.RunFor(1s);
    ASSERT_EQ(rig.LoadingPosts(0), 1);
    ASSERT_EQ(rig.state.deviceReportState.value, kReportStateProfileWrite);

    // A stray acknowledgement while the state is still 5, with OK's flag set by now.
    rig.state.ExitAfterWrite = true;
    EXPECT_CALL(rig.view, TerminateApplication()).Times(0);
    const std::uint8_t ack[8] = {2, 0x10};
    rig.session.OnDeviceReport(common::DeviceVendorId, common::DeviceProductId, ack);
    rig.RunFor(1s);
    EXPECT_EQ(rig.LoadingPosts(0), 1);
    EXPECT_FALSE(rig.time.IsRunning(kWriteEndingTimer));
}

TEST(ProfileWrite, AcknowledgementsArrivingAfterGivingUpAreIgnored) {
    MouseRig rig;
    rig.state.recordTexts = DefaultTexts();
    rig.state.ExitAfterWrite = true;
    vmouse::Faults slow{};
    slow.ackDelayMs = 9500;  // every acknowledgement comes after the write was given up
    rig.mouse.SetFaults(slow);
    EXPECT_CALL(rig.view, TerminateApplication()).Times(0);
    EXPECT_CALL(rig.view, SetMainControlsEnabled(true)).Times(1);

    rig.writer.Start();
    rig.RunFor(20s);
    EXPECT_EQ(rig.Writes().size(), 3u);
    EXPECT_GE(rig.mouse.Stats().inputsSent, 3u);  // they did arrive
    EXPECT_EQ(rig.LoadingPosts(0), 1);
}

TEST(ProfileWrite, WithoutALeftButtonNothingIsStoredOrSent) {
    MouseRig rig;
    rig.state.recordTexts = DefaultTexts();
    rig.state.recordTexts[0] = SingleCommandRecordText(2);  // "Button Off"
    EXPECT_CALL(rig.view, ShowNotice(Notice::NoLeftButton)).Times(1);
    EXPECT_CALL(rig.view, SetMainControlsEnabled(true)).Times(1);
    rig.writer.Start();
    rig.RunFor(1s);
    EXPECT_EQ(rig.state.MessageIndex, Notice::NoLeftButton);
    EXPECT_TRUE(rig.channel.sent.empty());
    EXPECT_TRUE(rig.messenger.posts.empty());
    EXPECT_EQ(rig.store.KeyCount(), 0u);
}

TEST(ProfileWrite, RefusedOkDoesNotEndTheProgramAtALaterWrite) {
    MouseRig rig;
    rig.state.recordTexts = DefaultTexts();
    rig.state.recordTexts[0] = SingleCommandRecordText(2);  // "Button Off": no left button
    EXPECT_CALL(rig.view, TerminateApplication()).Times(0);
    OkProfile(rig.writer, rig.state, rig.view);
    EXPECT_FALSE(rig.state.ExitAfterWrite);
    // The pending-changes question answered OK later writes another profile; the program stays.
    rig.state.recordTexts = DefaultTexts();
    rig.state.PendingProfile = 1;
    WritePendingProfile(rig.writer, rig.state, rig.store, rig.view, SnapshotOf(rig.state, 1));
    rig.DeliverInputs();
    rig.RunFor(2s);
    EXPECT_EQ(rig.Writes().size(), 35u);
}

// The pending-changes question: OK writes the profile it was asked for, as it stood then,
// whatever is shown by then; a start while that write runs (OK, Apply, Reset, another answer)
// is refused and changes nothing: no second image, no flag that ends the program, no store
// write. Cancel shows the selected profile as stored and writes nothing.
TEST(ProfileWrite, PendingAnswersAndStartsDuringAWrite) {
    MouseRig rig;
    ProfileRecordTexts pending = DefaultTexts();
    pending[1] = SingleCommandRecordText(3);  // "Click"
    pending[2] = LaunchRecordText(2, 2);
    const ProfileRecordTexts shown = MarkedTexts();
    SaveProfile(rig.store, 0, shown, rig.state.slotTable[0], {});

    // Cancel: the changes made to profile 2 are dropped, profile 0 is shown as stored.
    rig.state.CurrentProfile = 0;  // just selected; profile 2 has the unsaved changes
    rig.state.PendingProfile = 2;
    rig.state.recordTexts = pending;
    AnswerPendingChanges(rig.session, rig.writer, rig.state, rig.store, rig.view,
                         SnapshotOf(rig.state, 2), false);
    EXPECT_EQ(rig.state.recordTexts, shown);
    EXPECT_EQ(rig.state.PendingProfile, -1);
    EXPECT_FALSE(rig.store.KeyExists(SettingsHive::CurrentUser, ButtonKeyPath(2, 1)));
    rig.RunFor(1s);
    EXPECT_TRUE(rig.Writes().empty());

    rig.state.PendingProfile = 2;
    rig.state.recordTexts = pending;
    rig.state.slotTable[2][1] = {L"Click", kFunctionSingleCommand};
    const ProfileSnapshot asked = SnapshotOf(rig.state, 2);
    // The display program reports another profile while the question is up.
    rig.session.OnProfileChanged(1);
    EXPECT_EQ(rig.state.PendingProfile, -1);
    rig.session.SelectProfile(0);
    AnswerPendingChanges(rig.session, rig.writer, rig.state, rig.store, rig.view, asked, true);
    EXPECT_EQ(rig.state.CurrentProfile, 0);
    EXPECT_EQ(rig.state.PendingProfile, -1);
    EXPECT_EQ(rig.state.recordTexts, shown);  // profile 0 shown again as stored

    EXPECT_CALL(rig.view, TerminateApplication()).Times(0);
    rig.state.recordTexts[3] = SingleCommandRecordText(4);  // an edit a second start would store
    rig.state.PendingProfile = 0;
    OkProfile(rig.writer, rig.state, rig.view);  // before the first acknowledgement
    EXPECT_FALSE(rig.state.ExitAfterWrite);
    EXPECT_EQ(rig.state.PendingProfile, 0);
    ApplyProfile(rig.writer, rig.state, rig.view);
    EXPECT_FALSE(rig.writer.Start());
    ResetProfile(rig.writer, rig.state, rig.view);
    EXPECT_EQ(rig.state.recordTexts[3], SingleCommandRecordText(4)) << "reset refused whole";
    rig.DeliverInputs();
    rig.RunFor(2s);

    const auto writes = rig.Writes();
    ASSERT_EQ(writes.size(), 35u);
    EXPECT_EQ(AddressOf(writes[0]), static_cast<int>(ROMAddress[2][0]));
    EXPECT_EQ(AddressOf(writes[34]), static_cast<int>(ROMAddress[2][408]));
    EXPECT_EQ(MouseProfile(rig, 2), ImageOf(pending));
    EXPECT_EQ(rig.LoadingPosts(1), 1);
    EXPECT_EQ(rig.LoadingPosts(0), 1);
    auto key = rig.store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(2, 1));
    EXPECT_EQ(key->ReadString(L"keys"), pending[1]);
    EXPECT_EQ(key->ReadString(L"DES"), L"Click");
    key = rig.store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(0, 3));
    EXPECT_EQ(key->ReadString(L"keys"), shown[3]) << "the refused starts stored nothing";

    // Once the write is over a start goes through again.
    EXPECT_TRUE(rig.writer.Start());
}

TEST(ProfileWrite, ResetWritesTheDefaultsWithTheirDescriptions) {
    MouseRig rig;
    rig.state.CurrentProfile = 4;
    rig.state.recordTexts = MarkedTexts();
    rig.state.PendingProfile = 4;
    {
        InSequence order;
        EXPECT_CALL(rig.view, SetMainControlsEnabled(false)).Times(1);
        EXPECT_CALL(rig.view, SetMainControlsEnabled(true)).Times(1);
    }
    ResetProfile(rig.writer, rig.state, rig.view);
    rig.RunFor(1s);
    EXPECT_EQ(MouseProfile(rig, 4), ImageOf(DefaultTexts()));
    EXPECT_EQ(rig.state.PendingProfile, -1);
    MainState loaded;
    LoadProfile(rig.store, 4, loaded);
    EXPECT_EQ(loaded.slotTable[4][1].description, L"Right button");
    EXPECT_EQ(loaded.slotTable[4][3].description, L"");
    EXPECT_EQ(loaded.slotTable[4][3].kind, kFunctionDefault);
}

TEST(ProfileWrite, StoreLayoutAfterWritingProfileIndexTwo) {
    MouseRig rig;
    rig.state.CurrentProfile = 2;
    rig.state.recordTexts = DefaultTexts();
    rig.state.slotTable[2][2] = {L"Middle button", kFunctionDefault};
    rig.state.lightState = {1, 0};
    rig.writer.Start();
    rig.RunFor(1s);

    auto middle =
        rig.store.OpenKey(SettingsHive::CurrentUser, L"\\SOFTWARE\\Tavrine5502\\profile2\\Mbutton");
    ASSERT_TRUE(middle);
    EXPECT_EQ(middle->KindOf(L"keys"), SettingsValueKind::String);
    EXPECT_EQ(middle->KindOf(L"DES"), SettingsValueKind::String);
    EXPECT_EQ(middle->KindOf(L"StateID"), SettingsValueKind::Integer);
    EXPECT_FALSE(middle->ValueExists(L"filepath"));
    const auto keys = middle->ReadString(L"keys").value();
    EXPECT_EQ(std::count(keys.begin(), keys.end(), L' '), 81);
    EXPECT_EQ(keys.substr(0, 6), L"c2 40 ");
    EXPECT_EQ(middle->ReadString(L"DES"), L"Middle button");
    EXPECT_EQ(middle->ReadInteger(L"StateID"), kFunctionDefault);
    // Unassigned slots keep "Normal" and kind 0 from the start.
    auto left = rig.store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(2, 0));
    EXPECT_EQ(left->ReadString(L"DES"), L"Normal");
    EXPECT_EQ(left->ReadInteger(L"StateID"), 0);

    auto light = rig.store.OpenKey(SettingsHive::CurrentUser, L"\\SOFTWARE\\Tavrine5502\\LIGHT");
    EXPECT_EQ(light->ReadInteger(L"WheelLight"), 1);
    EXPECT_EQ(light->ReadInteger(L"LogoLight"), 0);
    const auto profiles = rig.store.SubkeyNames(SettingsHive::CurrentUser, kSettingsRoot);
    EXPECT_THAT(profiles, testing::UnorderedElementsAre(L"profile2", L"LIGHT"));
    EXPECT_THAT(
        rig.store.SubkeyNames(SettingsHive::CurrentUser, L"SOFTWARE\\Tavrine5502\\profile2"),
        testing::UnorderedElementsAre(L"Lbutton", L"Rbutton", L"Mbutton", L"XB1button",
                                      L"XB2button"));
}

}  // namespace
