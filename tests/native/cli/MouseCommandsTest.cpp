// The commands that reach the mouse, against the virtual mouse on manual time: profiles written
// through the write sequence, read back and recorded, and the live commands.
#include <gtest/gtest.h>

#include "tests/native/cli/CliTestKit.h"
#include "cli/LiveCommands.h"
#include "tests/native/device/MouseRig.h"
#include "cli/ProfileBurner.h"
#include "device/ProfileStore.h"
#include "cli/ReadBack.h"
#include "cli/Utf8.h"

using cli::CommandResult;
using cli::CompareWritten;
using cli::DecodeButtonRecord;
using cli::DescribeFunction;
using cli::DeviceReports;
using cli::LightName;
using cli::LiveServices;
using cli::MouseProfiles;
using cli::ProfileBurner;
using cli::ProfileReadBack;
using cli::ReadMouseProfiles;
using cli::ReadStatus;
using cli::RecordReadBack;
using cli::SetDpi;
using cli::SetLight;
using cli::SetPolling;
using cli::StatusRead;
using cli::SwitchProfile;
using cli::ToUtf8;

using device::ButtonRecord;
using device::ButtonRecordOffset;
using device::DeviceReportState;
using device::kButtonCount;
using device::kButtonRecordSize;
using device::kFunctionMacro;
using device::kFunctionSingleCommand;
using device::kMsgShowDpiLevel;
using device::kMsgShowProfile;
using device::kProfileCount;
using device::kWheelLightValue;
using device::LightKeyPath;
using device::LoadProfile;
using device::MainState;
using device::ParseButtonRecordText;
using device::ProfileRecordTexts;
using device::ProfileSnapshot;
using device::ROMAddress;
using device::SingleCommandRecord;
using device::SnapshotOf;

using platform::ManualTimeline;
using platform::MemorySettingsStore;
using platform::SettingsHive;
using platform::SettingsStore;

namespace {

struct Bench : DeviceReports {
    Bench() {
        mouse.SetClock(
            [](void* ctx) {
                return static_cast<std::uint32_t>(static_cast<ManualTimeline*>(ctx)->Now().count());
            },
            &time);
    }
    // Runs time in 1 ms steps, handing every input report to the burner, until it is done.
    void Burn(std::vector<ProfileSnapshot> profiles) {
        burner.Start(std::move(profiles));
        for (int ms = 0; ms < 600'000 && !burner.done(); ++ms) {
            vmouse::InputReport r;
            while (mouse.TakeInput(r)) burner.OnDeviceReport(r.bytes);
            time.Advance(std::chrono::milliseconds{1});
        }
    }
    bool WaitForReport(std::chrono::milliseconds) override {
        vmouse::InputReport r;
        bool any = false;
        while (mouse.TakeInput(r)) any = true;
        return any;
    }
    std::vector<std::uint8_t> Eeprom(std::size_t at, std::size_t n) const {
        return {mouse.Eeprom() + at, mouse.Eeprom() + at + n};
    }

    vmouse::VirtualMouse mouse;
    ManualTimeline time;
    ModelChannel channel{mouse, time};
    MemorySettingsStore store;
    RecordingMessenger messenger;
    ProfileBurner burner{channel, store, time, time};
    LiveServices live{channel, time, *this, messenger, store};
};

std::vector<ProfileSnapshot> Snapshots(SettingsStore& store) {
    std::vector<ProfileSnapshot> out;
    for (int p = 0; p < kProfileCount; ++p) {
        MainState state;
        LoadProfile(store, p, state);
        out.push_back(SnapshotOf(state, p));
    }
    return out;
}

}  // namespace

TEST(MouseProfiles, WrittenReadBackDecodedAndRecordedInAFreshStore) {
    Bench bench;
    MemorySettingsStore used;
    const ButtonRecord macro = SeedUsedStore(used);
    bench.Burn(Snapshots(used));
    ASSERT_TRUE(bench.burner.ok()) << ToUtf8(bench.burner.error());
    EXPECT_EQ(bench.burner.written(), 5);
    // Byte for byte where the profiles lie.
    for (int p = 0; p < kProfileCount; ++p)
        for (int b = 0; b < kButtonCount; ++b) {
            MainState state;
            LoadProfile(used, p, state);
            const ButtonRecord want = ParseButtonRecordText(state.recordTexts[b]);
            EXPECT_EQ(bench.Eeprom(ROMAddress[p][ButtonRecordOffset(b)], kButtonRecordSize),
                      std::vector<std::uint8_t>(want.begin(), want.end()))
                << p << "/" << b;
        }

    DeviceReportState state;
    ProfileReadBack read = ReadMouseProfiles(bench.channel, bench.time, state);
    ASSERT_TRUE(read.ok) << ToUtf8(read.error);
    std::vector<std::pair<int, ProfileRecordTexts>> written;
    for (const ProfileSnapshot& snapshot : Snapshots(used))
        written.emplace_back(snapshot.profile, snapshot.texts);
    EXPECT_EQ(CompareWritten(read.profiles, written), L"");
    // One byte the mouse did not keep is found.
    read.profiles.records[1][2][7] ^= 1;
    EXPECT_EQ(CompareWritten(read.profiles, written),
              L"profile 2, middle button in the mouse is not what was written");
    read.profiles.records[1][2][7] ^= 1;
    EXPECT_EQ(read.profiles.records[1][4], macro);
    EXPECT_EQ(read.profiles.globals.ActiveProfile(), 1);
    const auto describe = [&](int p, int b) {
        return ToUtf8(DescribeFunction(DecodeButtonRecord(read.profiles.records[p][b], b)));
    };
    EXPECT_EQ(describe(0, 0), "default (Left button)");
    EXPECT_EQ(describe(0, 3), "command Forward");
    EXPECT_EQ(describe(0, 4), "default (Button Off)");
    EXPECT_EQ(describe(1, 4), "macro, 2 events, repeated while held");
    EXPECT_EQ(describe(2, 2), "launch program (profile 3, middle button)");

    // A fresh store learns what the mouse holds; the macro is named once the store has it.
    MemorySettingsStore fresh;
    ASSERT_TRUE(RecordReadBack(fresh, read.profiles).ok);
    MainState shown;
    LoadProfile(fresh, 0, shown);
    EXPECT_EQ(shown.slotTable[0][3].kind, kFunctionSingleCommand);
    EXPECT_EQ(shown.slotTable[0][3].description, L"Forward");
    EXPECT_EQ(ParseButtonRecordText(shown.recordTexts[3]), SingleCommandRecord(6));
    EXPECT_TRUE(shown.lightState.WheelLight);  // the factory's address 7: both lights on
    LoadProfile(fresh, 1, shown);
    EXPECT_EQ(shown.slotTable[1][4].kind, kFunctionMacro);
    EXPECT_EQ(shown.slotTable[1][4].description, L"Macro from the mouse");
    LoadProfile(fresh, 2, shown);
    EXPECT_EQ(shown.slotTable[2][2].description, L"Launch program");
    auto performance = fresh.OpenKey(SettingsHive::CurrentUser, performance::kPerformanceKey);
    EXPECT_EQ(performance->ReadInteger(L"DpiLevel4"), 35);
    EXPECT_EQ(performance->ReadInteger(L"LevelNumber"), 3);
    EXPECT_EQ(performance->ReadInteger(L"CursorSpeed"),
              performance::kFactoryPerformance.CursorSpeed);

    ASSERT_TRUE(RecordReadBack(used, read.profiles).ok);
    LoadProfile(used, 1, shown);
    EXPECT_EQ(shown.slotTable[1][4].description, L"Grüße");
    LoadProfile(used, 2, shown);
    EXPECT_EQ(shown.slotTable[2][2].description, L"notepad.exe");
}

TEST(MouseProfiles, LostAcknowledgementsAreResentAndASilentMouseIsNamedNotHidden) {
    Bench bench;
    MemorySettingsStore used;
    SeedUsedStore(used);
    vmouse::Faults faults{};
    faults.dropAckIn = 7;
    bench.mouse.SetFaults(faults);
    bench.Burn(Snapshots(used));
    EXPECT_TRUE(bench.burner.ok()) << ToUtf8(bench.burner.error());
    EXPECT_EQ(bench.mouse.Stats().acksDropped, 1u);

    faults = {};
    faults.silent = true;
    bench.mouse.SetFaults(faults);
    bench.Burn(Snapshots(used));
    ASSERT_TRUE(bench.burner.done());
    EXPECT_FALSE(bench.burner.ok());
    EXPECT_NE(bench.burner.error().find(L"profile 1"), std::wstring::npos);
    EXPECT_EQ(bench.burner.written(), 0);
}

TEST(MouseProfiles, ReadsTheMouseDoesNotAnswerAreSaidSo) {
    Bench bench;
    DeviceReportState state;
    vmouse::Faults faults{};
    faults.garbageAnswers = true;
    bench.mouse.SetFaults(faults);
    ProfileReadBack read = ReadMouseProfiles(bench.channel, bench.time, state);
    EXPECT_FALSE(read.ok);
    EXPECT_NE(read.error.find(L"does not answer"), std::wstring::npos) << ToUtf8(read.error);

    bench.mouse.ClearFaults();
    bench.channel.plugged = false;
    read = ReadMouseProfiles(bench.channel, bench.time, state);
    EXPECT_NE(read.error.find(L"did not take the read request for 0x0005"), std::wstring::npos);

    // A mouse answering zeros for its profile area (as one that ignores such reads might).
    bench.channel.plugged = true;
    std::vector<std::uint8_t> blank(vmouse::kEepromSize, 0);
    blank[5] = 0x20;
    bench.mouse.LoadEeprom(blank.data(), blank.size());
    read = ReadMouseProfiles(bench.channel, bench.time, state);
    EXPECT_NE(read.error.find(L"no button record for profile 1, left button"), std::wstring::npos)
        << ToUtf8(read.error);
}

TEST(LiveCommands, EachChangeReachesTheMouseIsReadBackAndWithSaveIsStored) {
    Bench bench;
    StatusRead status = ReadStatus(bench.channel, bench.time);
    ASSERT_TRUE(status.ok);
    EXPECT_EQ(status.status.profile, 1);
    EXPECT_EQ(status.status.levelIndex, 2);
    EXPECT_EQ(status.status.dpiStep, 12);

    EXPECT_TRUE(SwitchProfile(bench.live, 4).ok());
    EXPECT_EQ(bench.mouse.Live().activeProfile, 4);
    EXPECT_EQ(bench.mouse.Eeprom()[5], 0x80);
    EXPECT_EQ(bench.messenger.posts.back().message, kMsgShowProfile);

    // Live only: the EEPROM keeps its bytes.
    CommandResult dpi = SetDpi(bench.live, 2, 1650, false);
    ASSERT_TRUE(dpi.ok()) << ToUtf8(dpi.error);
    EXPECT_EQ(dpi.done, L"level 2, 1600 DPI");
    EXPECT_EQ(bench.mouse.Live().levelIndex, 1);
    EXPECT_EQ(bench.mouse.Eeprom()[9], 8);
    EXPECT_EQ(bench.messenger.posts.back().message, kMsgShowDpiLevel);
    // Stored: the performance dialog's bytes, applied, and the store.
    ASSERT_TRUE(SetDpi(bench.live, 4, 2000, true).ok());
    EXPECT_EQ(bench.Eeprom(7, 5), (std::vector<std::uint8_t>{0x33, 4, 8, 12, 20}));
    EXPECT_EQ(bench.mouse.Live().levelIndex, 3);
    auto performance = bench.store.OpenKey(SettingsHive::CurrentUser, performance::kPerformanceKey);
    EXPECT_EQ(performance->ReadInteger(L"DpiLevel4"), 20);
    EXPECT_EQ(performance->ReadInteger(L"LevelNumber"), 4);
    EXPECT_FALSE(SetDpi(bench.live, 5, std::nullopt, false).ok());
    EXPECT_FALSE(SetDpi(bench.live, 1, 3600, false).ok());

    ASSERT_TRUE(SetPolling(bench.live, 125, true).ok());
    EXPECT_EQ(bench.mouse.Live().pollingCode, 2);
    EXPECT_EQ(bench.mouse.Eeprom()[6], 2);
    EXPECT_EQ(performance->ReadInteger(L"PollingRate"), 2);
    EXPECT_FALSE(SetPolling(bench.live, 250, false).ok());

    ASSERT_TRUE(SetLight(bench.live, LightName::Logo, false, false).ok());
    EXPECT_EQ(bench.mouse.Live().logoLight, 0);
    EXPECT_EQ(bench.mouse.Eeprom()[7], 0x33);
    ASSERT_TRUE(SetLight(bench.live, LightName::Wheel, false, true).ok());
    EXPECT_EQ(bench.mouse.Eeprom()[7], 0x23);  // level 4 kept, logo still stored on
    auto lights = bench.store.OpenKey(SettingsHive::CurrentUser, LightKeyPath());
    EXPECT_EQ(lights->ReadInteger(kWheelLightValue), 0);

    bench.channel.plugged = false;
    const CommandResult gone = SetPolling(bench.live, 500, false);
    EXPECT_NE(gone.error.find(L"did not take the write to 0xFF01"), std::wstring::npos);
    EXPECT_FALSE(ReadStatus(bench.channel, bench.time).ok);
}
