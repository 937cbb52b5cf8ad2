#include <gtest/gtest.h>

#include "tests/native/device/MouseRig.h"
#include "device/ProfileStore.h"
#include "device/RecordTemplates.h"
#include "device/SettingsLayout.h"
#include "device/WriteStarts.h"

using common::DeviceProductId;
using common::DeviceVendorId;

using device::ApplyProfile;
using device::ButtonKeyPath;
using device::ButtonRecordOffset;
using device::DefaultRecordText;
using device::kReportStateDpiEvent;
using device::kReportStateIdle;
using device::kReportStateLightDialog;
using device::kReportStateLightWrite;
using device::kReportStateLockEvent;
using device::kReportStatePollingEvent;
using device::kReportStateProfileEvent;
using device::kReportStateProfileSwitch;
using device::kReportUsagePages;
using device::kReportUsages;
using device::kShowLightTimer;
using device::LaunchCode;
using device::LightKeyPath;
using device::Notice;
using device::ROMAddress;
using device::WriteLaunchFile;

using platform::SettingsHive;

namespace {

using namespace std::chrono_literals;
using testing::_;
using testing::Field;
using testing::Invoke;

bool SentRequest(const MouseRig& rig, std::initializer_list<std::uint8_t> lead) {
    for (const auto& s : rig.channel.sent)
        if (s.bytes == Bytes(lead)) return true;
    return false;
}

TEST(Attach, OneSequence1300msAfterTheLastPresentMessage) {
    MouseRig rig;
    rig.mouse.PressProfile();
    rig.mouse.PressProfile();  // the mouse is on profile 3
    rig.DeliverInputs();
    rig.store.Seed(SettingsHive::CurrentUser, ButtonKeyPath(2, 1), L"DES", L"Backward");
    rig.session.StartAttachTimer();
    rig.session.OnCollectionPresent();
    rig.RunFor(500ms);
    rig.session.OnCollectionPresent();

    std::chrono::milliseconds windowOn{-1}, controlsOn{-1};
    EXPECT_CALL(rig.view, RegisterDeviceReports(kReportUsagePages, kReportUsages)).Times(1);
    EXPECT_CALL(rig.view, ShowProfileSelected(2)).Times(1);
    int attachHooks = 0;
    rig.session.OnAttach = [&] { ++attachHooks; };
    EXPECT_CALL(rig.view, ShowAttachPictures()).Times(1);
    EXPECT_CALL(rig.view, HideNoticeWindow()).Times(1);
    EXPECT_CALL(rig.view, SetWindowEnabled(true)).WillOnce(Invoke([&](bool) {
        windowOn = rig.time.Now();
    }));
    EXPECT_CALL(rig.view, SetMainControlsEnabled(true)).WillOnce(Invoke([&](bool) {
        controlsOn = rig.time.Now();
    }));
    EXPECT_CALL(rig.view, ShowLights(_)).Times(testing::AtLeast(1));
    rig.RunFor(3s);

    EXPECT_EQ(windowOn, 500ms + 1300ms + 3ms);  // after the profile query's wait
    EXPECT_EQ(controlsOn, windowOn + 200ms + 3ms);
    EXPECT_TRUE(SentRequest(rig, {0x04, 0x02, 0xFF, 0x02}));
    EXPECT_TRUE(SentRequest(rig, {0x04, 0x07, 0x00, 0x01}));
    EXPECT_EQ(rig.state.CurrentProfile, 2);
    EXPECT_EQ(rig.state.slotTable[2][1].description, L"Backward");
    // Factory byte 7 is 0x32: wheel (bit 4) and logo (bit 5) on.
    EXPECT_EQ(rig.state.lightState.WheelLight, 1);
    EXPECT_EQ(rig.state.lightState.LogoLight, 1);
    EXPECT_TRUE(rig.Writes().empty());  // attaching sends nothing to the mouse
    EXPECT_EQ(attachHooks, 1);
}

TEST(Attach, UnplugShowsTheNoDeviceNoticeAndReplugAttachesAgain) {
    MouseRig rig;
    EXPECT_CALL(rig.view, RegisterDeviceReports(_, _)).Times(2);
    EXPECT_CALL(rig.view, SetWindowEnabled(true)).Times(2);
    rig.session.StartAttachTimer();
    rig.RunFor(2s);

    EXPECT_CALL(rig.view, SetWindowEnabled(false)).Times(1);
    EXPECT_CALL(rig.view, ShowNotice(Notice::NoDevice)).Times(1);
    rig.channel.plugged = false;
    rig.session.OnCollectionPresent();
    rig.session.OnNoCollectionLeft();  // the attach that was pending is dropped
    rig.RunFor(3s);
    EXPECT_EQ(rig.state.MessageIndex, Notice::NoDevice);

    rig.channel.plugged = true;
    rig.session.OnCollectionPresent();
    rig.session.OnCollectionPresent();
    rig.RunFor(3s);
}

// The light read 200 ms after an attach never takes the report state from a running write:
// a write started in between keeps its acknowledgements, the controls stay disabled until it
// has ended, and the lights are read after it. A mouse gone within the 200 ms stops the read,
// and a held write is not restarted at the absent mouse.
TEST(Attach, LightReadWaitsForARunningWriteAndStopsWhenTheMouseGoes) {
    MouseRig rig;
    rig.session.StartAttachTimer();
    rig.RunFor(1300ms + 10ms);  // attached; the light read is 200 ms away
    rig.state.recordTexts = {DefaultRecordText(0), DefaultRecordText(1), DefaultRecordText(2),
                             DefaultRecordText(3), DefaultRecordText(4)};
    ASSERT_TRUE(rig.time.IsRunning(kShowLightTimer));
    bool enabledMidWrite = false;
    ON_CALL(rig.view, SetMainControlsEnabled(true)).WillByDefault(Invoke([&](bool) {
        enabledMidWrite = enabledMidWrite || rig.writer.busy();
    }));
    ApplyProfile(rig.writer, rig.state, rig.view);
    rig.RunFor(150ms);
    ASSERT_TRUE(rig.writer.busy()) << "the write outlasts the light timer";
    rig.RunFor(3s);
    EXPECT_EQ(rig.Writes().size(), 35u) << "every chunk acknowledged once, none resent";
    EXPECT_FALSE(rig.writer.busy());
    EXPECT_FALSE(enabledMidWrite);
    int lightReads = 0;
    for (const auto& s : rig.channel.sent) lightReads += s.bytes == Bytes({0x04, 0x07, 0x00, 0x01});
    EXPECT_EQ(lightReads, 1) << "read once, after the write";
    EXPECT_EQ(rig.state.lightState.WheelLight, 1);
    EXPECT_EQ(rig.state.lightState.LogoLight, 1);

    // A write cut off by a re-attach, and the mouse gone again before the light read.
    rig.dropAcksAfter = 3;
    ApplyProfile(rig.writer, rig.state, rig.view);
    rig.session.OnCollectionPresent();
    rig.RunFor(1300ms + 10ms);
    ASSERT_TRUE(rig.writer.held());
    const std::size_t before = rig.Writes().size();
    rig.channel.plugged = false;
    rig.session.OnNoCollectionLeft();
    rig.RunFor(5s);
    EXPECT_EQ(rig.Writes().size(), before) << "nothing is sent to the absent mouse";
    EXPECT_TRUE(rig.writer.held());
    rig.dropAcksAfter.reset();
    rig.channel.plugged = true;
    rig.session.OnCollectionPresent();
    rig.RunFor(5s);
    EXPECT_EQ(rig.Writes().size(), before + 35u) << "written again whole once it is back";
    EXPECT_FALSE(rig.writer.busy());
}

TEST(Attach, ProfileReadOutsideOneToFiveKeepsTheWindowsProfile) {
    MouseRig rig;
    rig.state.CurrentProfile = 3;
    rig.channel.plugged = false;  // the answer stays 4 and zeros
    EXPECT_CALL(rig.view, ShowProfileSelected(_)).Times(0);
    rig.session.ReadActiveProfile();
    rig.session.OnProfileChanged(0);
    rig.session.OnProfileChanged(6);
    EXPECT_EQ(rig.state.CurrentProfile, 3);
}

TEST(ProfileSwitch, SwitchIsAppliedOnTheNextReportAndShownByTheDisplayProgram) {
    MouseRig rig;
    rig.session.SwitchDeviceProfile(3);
    ASSERT_EQ(rig.channel.sent.size(), 1u);
    EXPECT_EQ(rig.channel.sent[0].bytes, Bytes({0x03, 0x05, 0x00, 0x01, 0x60}));
    EXPECT_EQ(rig.state.deviceReportState.value, kReportStateProfileSwitch);

    rig.DeliverInputs();  // the acknowledgement of the switch
    ASSERT_EQ(rig.channel.sent.size(), 2u);
    EXPECT_EQ(rig.channel.sent[1].bytes, Bytes({0x03, 0x06, 0xFF, 0x01, 0x01}));
    ASSERT_EQ(rig.messenger.posts.size(), 1u);
    EXPECT_EQ(rig.messenger.posts[0].windowClass, L"VISTREL");
    EXPECT_EQ(rig.messenger.posts[0].caption, L"Vistrel");
    EXPECT_EQ(rig.messenger.posts[0].message, 0x541u);
    EXPECT_EQ(rig.time.Now(), 16ms);
    EXPECT_EQ(rig.state.deviceReportState.value, kReportStateIdle);
    EXPECT_EQ(rig.mouse.Live().activeProfile, 3);

    rig.session.SwitchDeviceProfile(5);
    EXPECT_EQ(rig.channel.sent[2].bytes, Bytes({0x03, 0x05, 0x00, 0x01, 0xA0}));
    rig.session.SwitchDeviceProfile(0);
    rig.session.SwitchDeviceProfile(6);
    EXPECT_EQ(rig.channel.sent.size(), 3u);
}

TEST(DeviceReports, ProfileButtonOnTheMouseThenTheDisplayProgramSelectsIt) {
    MouseRig rig;
    rig.store.Seed(SettingsHive::CurrentUser, ButtonKeyPath(1, 0), L"keys", L"c0 40");
    rig.mouse.PressProfile();
    rig.DeliverInputs();
    EXPECT_EQ(rig.state.deviceReportState.value, kReportStateProfileEvent);
    EXPECT_CALL(rig.view, ShowProfileSelected(1)).Times(1);
    rig.session.OnProfileChanged(rig.mouse.Live().activeProfile);
    EXPECT_EQ(rig.state.CurrentProfile, 1);
    EXPECT_EQ(rig.state.recordTexts[0], L"c0 40");
    EXPECT_TRUE(rig.channel.sent.empty());  // nothing is asked of the mouse
}

TEST(DeviceReports, EventStatesAndForeignReports) {
    MouseRig rig;
    rig.store.Seed(SettingsHive::CurrentUser, ButtonKeyPath(0, 0), L"filepath", L"C:\\a.exe");
    const std::uint8_t polling[8] = {2, 0x02, 0, 0xA0};
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, polling);
    EXPECT_EQ(rig.state.deviceReportState.value, kReportStatePollingEvent);
    // While a polling or DPI event is pending, a report with id 2 that looks like a key report
    // belongs to the event: it starts nothing.
    const std::uint8_t eventKey[8] = {2, 0x00, 0, 0xA0};
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, eventKey);
    rig.state.deviceReportState.value = kReportStateDpiEvent;
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, eventKey);
    EXPECT_TRUE(rig.shell.opened.empty());

    const std::uint8_t key[8] = {1, 0x00, 0, 0xA0};
    rig.session.OnDeviceReport(DeviceVendorId + 1, DeviceProductId, key);
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId + 1, key);
    EXPECT_TRUE(rig.shell.opened.empty());
    // Reports shorter than 8 bytes are padded, not read past.
    const std::uint8_t shortReport[2] = {2, 0x08};
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, shortReport);
    EXPECT_EQ(rig.state.deviceReportState.value, kReportStateLockEvent);
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, key);
    EXPECT_EQ(rig.shell.opened, std::vector<std::wstring>{L"C:\\a.exe"});
}

TEST(DeviceReports, LightWriteStates) {
    MouseRig rig;
    const std::uint8_t ack[8] = {2, 0x10};
    rig.state.deviceReportState.value = kReportStateLightWrite;
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, ack);
    ASSERT_EQ(rig.channel.sent.size(), 1u);
    EXPECT_EQ(rig.channel.sent[0].bytes, Bytes({0x03, 0x06, 0xFF, 0x01, 0x01}));

    rig.state.deviceReportState.value = kReportStateLightDialog;
    EXPECT_CALL(rig.view, FinishLightDialog()).Times(1);
    const std::uint8_t idle[8] = {2, 0x00};
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, idle);
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, ack);
    // The apply command's acknowledgement comes after: it must not close the next dialog.
    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, ack);
    EXPECT_EQ(rig.state.deviceReportState.value, kReportStateIdle);
}

// The mouse sends a slot's launch code when that button is pressed; the slot's file opens
// whatever profile the window shows.
TEST(LaunchCheck, CodeA7OpensTheFileOfItsOwnSlot) {
    MouseRig rig;
    std::array<std::uint8_t, vmouse::kEepromSize> eeprom;
    std::copy_n(rig.mouse.Eeprom(), eeprom.size(), eeprom.begin());
    eeprom[0x05] = 0x40;  // mouse on profile 2 (index 1)
    eeprom[ROMAddress[1][ButtonRecordOffset(2)]] = LaunchCode(1, 2);
    ASSERT_TRUE(rig.mouse.LoadEeprom(eeprom.data(), eeprom.size()));
    WriteLaunchFile(rig.store, 1, 2, L"C:\\Games\\run.exe");
    WriteLaunchFile(rig.store, 1, 4, L"C:\\other.exe");
    rig.state.CurrentProfile = 4;

    ASSERT_TRUE(rig.mouse.PressButton(3));  // the middle button
    rig.DeliverInputs();
    EXPECT_EQ(LaunchCode(1, 2), 0xA7);
    EXPECT_EQ(rig.shell.opened, std::vector<std::wstring>{L"C:\\Games\\run.exe"});

    // An empty file name opens nothing.
    WriteLaunchFile(rig.store, 1, 2, L"");
    rig.mouse.PressButton(3);
    rig.DeliverInputs();
    EXPECT_EQ(rig.shell.opened.size(), 1u);

    // While a profile change of the mouse is pending, key reports do not reach the check.
    WriteLaunchFile(rig.store, 1, 2, L"C:\\Games\\run.exe");
    rig.state.deviceReportState.value = kReportStateProfileEvent;
    rig.mouse.PressButton(3);
    rig.DeliverInputs();
    EXPECT_EQ(rig.shell.opened.size(), 1u);
}

TEST(FirstRun, EmptyStoreCreatesTheKeysAndTheWriteStopsAtTheLeftButtonCheck) {
    MouseRig rig;
    EXPECT_CALL(rig.view, ShowProfileSelected(0)).Times(1);
    rig.session.SelectProfile(0);
    for (int b = 0; b < 5; ++b) {
        EXPECT_TRUE(rig.store.KeyExists(SettingsHive::CurrentUser, ButtonKeyPath(0, b))) << b;
        EXPECT_EQ(rig.state.recordTexts[b], L"");
        EXPECT_EQ(rig.state.slotTable[0][b].description, L"");
        EXPECT_EQ(rig.state.slotTable[0][b].kind, 0);
    }
    EXPECT_TRUE(rig.store.KeyExists(SettingsHive::CurrentUser, LightKeyPath()));
    auto key = rig.store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(0, 0));
    EXPECT_TRUE(key->ValueNames().empty());
    EXPECT_EQ(rig.state.slotTable[1][0].description, L"Normal");  // other profiles untouched

    rig.writer.Start();
    EXPECT_EQ(rig.state.MessageIndex, Notice::NoLeftButton);
    EXPECT_TRUE(rig.channel.sent.empty());
}

}  // namespace
