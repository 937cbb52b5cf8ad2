// The performance dialog's core against the virtual mouse: what reaches the mouse, Windows and
// the registry, and what the window is told to show.
#include <gtest/gtest.h>

#include "device/CommandReport.h"
#include "tests/native/performance/PerformanceRig.h"

using performance::kPerformanceDefaultKey;
using performance::kPerformanceKey;
using performance::kPerformanceWriteOrder;
using performance::LoadResult;
using performance::PerformanceDialog;
using performance::PerformanceRecord;
using performance::PerformanceServices;
using performance::PerformanceView;
using performance::PointerSlider;
using performance::SliderStop;

using platform::DeviceChannel;
using platform::FeatureReport;
using platform::SettingsHive;

namespace {

using Lines = std::vector<std::string>;
using performance::SliderStop;

class PerformanceDialogTest : public ::testing::Test, protected PerformanceRig {
  protected:
    // The record as the first attach stores it, with these pointer values.
    void StoreDefaults(std::int32_t doubleClick = 500, std::int32_t speed = 10,
                       std::int32_t scroll = 3) {
        PerformanceRecord r;
        r.DoubleClickSpeed = doubleClick;
        r.CursorSpeed = speed;
        r.ScrollSpeed = scroll;
        StoreRecord(r);
    }
    SliderStop Slider(PointerSlider s) const {
        return dialog.View().sliders[static_cast<std::size_t>(s)];
    }
};

TEST_F(PerformanceDialogTest, ShowReadsTheMouseAppliesTheStoreAndOkWritesEverythingBack) {
    PerformanceRecord stored;
    stored.LevelNumber = 1;  // the mouse's own level and rate win over the stored ones
    stored.PollingRate = 2;
    stored.DoubleClickSpeed = 450;
    stored.CursorSpeed = 3;
    stored.ScrollSpeed = 15;
    StoreRecord(stored);
    lights = {1, 1};

    EXPECT_TRUE(dialog.Show().missing.empty());
    EXPECT_EQ(SentSince(0), (Lines{"04 00 FF 02 00 00", "04 01 FF 01 00 00", "03 00 FF 02 02 0C",
                                   "03 01 FF 01 00 00"}));
    EXPECT_EQ(channel.sent[2].at - channel.sent[1].at, std::chrono::milliseconds{3});
    EXPECT_EQ(channel.sent[3].at - channel.sent[2].at, std::chrono::milliseconds{50});
    EXPECT_EQ(pointer.calls, (Lines{"doubleclick 450", "speed 3", "lines 15"}));
    EXPECT_EQ(record.LevelNumber, 3);
    EXPECT_EQ(record.PollingRate, 0);
    const PerformanceView& view = dialog.View();
    EXPECT_EQ(view.markerLeft, 376);
    EXPECT_EQ(view.barsShown, 12);
    EXPECT_EQ(view.dpiText, L"1200");
    EXPECT_EQ(view.pollingSelected, (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(Slider(PointerSlider::DoubleClick), (SliderStop{348, 351})) << "450 ms: step 5";
    EXPECT_EQ(Slider(PointerSlider::Cursor), (SliderStop{232, 235})) << "speed 3: step 1";
    EXPECT_EQ(Slider(PointerSlider::Scroll), (SliderStop{488, 491})) << "15 lines: the last stop";

    const std::size_t mark = Mark();
    pointer.calls.clear();
    const auto result = dialog.Commit();
    EXPECT_TRUE(result.saved);
    EXPECT_TRUE(result.write.ok);
    EXPECT_EQ(SentSince(mark),
              (Lines{"03 07 00 01 32 00", "03 08 00 01 04 00", "03 09 00 01 08 00",
                     "03 0A 00 01 0C 00", "03 0B 00 01 23 00", "03 06 00 01 00 00",
                     "03 06 FF 01 01 00", "03 00 FF 02 02 0C", "03 01 FF 01 00 00"}));
    for (std::size_t i = mark + 1; i < mark + 7; ++i)
        EXPECT_EQ(channel.sent[i].at - channel.sent[i - 1].at, std::chrono::milliseconds{40});
    const std::uint8_t* eeprom = mouse.Eeprom();
    EXPECT_EQ((std::vector<int>(eeprom + 6, eeprom + 12)),
              (std::vector<int>{0, 0x32, 4, 8, 12, 35}));
    std::vector<std::wstring> order;
    for (const auto& f : kPerformanceWriteOrder) order.emplace_back(f.name);
    EXPECT_EQ(std::vector<std::wstring>(store.writes.end() - 10, store.writes.end()), order);
    EXPECT_EQ(Stored(L"DoubleClickSpeed"), 500);
    EXPECT_EQ(Stored(L"CursorSpeed"), 1);
    EXPECT_EQ(Stored(L"ScrollSpeed"), 15) << "a scroll slider left alone keeps 15";
    EXPECT_EQ(Stored(L"LevelNumber"), 3);
    EXPECT_EQ(pointer.calls, (Lines{"doubleclick 500", "speed 1", "lines 15"}));
}

TEST_F(PerformanceDialogTest, KnobAndPollingClicksSendOnlyWhatChangedAndCancelRestoresTheShow) {
    StoreDefaults();
    dialog.Show();
    messenger.displayRunning = true;
    std::size_t mark = Mark();

    dialog.MoveLevelKnob(60);  // marker 376 + 60 falls in level 4's band
    EXPECT_EQ(dialog.View().markerLeft, 448);
    EXPECT_EQ(dialog.View().dpiText, L"3500");
    dialog.MoveLevelKnob(30);  // the knob already stands at 473
    EXPECT_EQ(dialog.CurrentLevel(), 4);
    dialog.ReleaseLevelKnob();
    dialog.ReleaseLevelKnob();
    EXPECT_EQ(SentSince(mark), (Lines{"03 00 FF 02 03 23"}));
    EXPECT_EQ(mouse.Live().levelIndex, 3);
    EXPECT_EQ(record.LevelNumber, 3) << "the record changes only with OK or Apply";

    mark = Mark();
    dialog.PressPolling(1);
    EXPECT_EQ(dialog.View().pollingSelected, (std::array<bool, 3>{false, true, false}));
    dialog.ReleasePolling(1);
    const auto afterFirst = time.Now();
    dialog.ReleasePolling(1);
    EXPECT_EQ(time.Now() - afterFirst, std::chrono::milliseconds{40}) << "the pause is kept";
    EXPECT_EQ(SentSince(mark), (Lines{"03 01 FF 01 01 00"}));
    EXPECT_EQ(mouse.Live().pollingCode, 1);
    ASSERT_EQ(messenger.posts.size(), 2u);
    EXPECT_EQ(messenger.posts[0].message, 0x540u);
    EXPECT_EQ(messenger.posts[1].message, 0x539u);
    EXPECT_EQ(messenger.posts[1].windowClass, L"VISTREL");
    EXPECT_EQ(messenger.posts[1].caption, L"Vistrel");

    mark = Mark();
    dialog.Cancel();
    EXPECT_EQ(SentSince(mark), (Lines{"03 00 FF 02 02 0C", "03 01 FF 01 00 00"}));
    EXPECT_EQ(mouse.Live().pollingCode, 0);
    // Cancel put the mouse back at 1000 Hz: a click on 500 Hz must reach it again, although a
    // click sent 500 Hz before.
    dialog.ReleasePolling(1);
    EXPECT_EQ(Mark(), mark + 3);
    EXPECT_EQ(mouse.Live().pollingCode, 1);
    EXPECT_EQ(messenger.posts.size(), 3u);
    // The mouse's own change, reported by the display program, counts as what it runs.
    dialog.OnDisplayPolling(125);
    dialog.ReleasePolling(2);
    EXPECT_EQ(Mark(), mark + 3) << "the mouse already runs 125 Hz";

    messenger.displayRunning = false;
    dialog.ReleasePolling(0);
    EXPECT_EQ(mouse.Live().pollingCode, 0) << "the mouse hears it without the display program";
    EXPECT_EQ(messenger.posts.size(), 3u);
}

TEST_F(PerformanceDialogTest, BarColumnAndDpiEntryChangeOnlyTheCurrentLevelAndSendNothing) {
    StoreDefaults();
    dialog.Show();
    const std::size_t mark = Mark();

    dialog.PressBarColumn(250);  // between the rows of steps 2 and 3
    dialog.MoveBarColumn(165);   // between 13 and 14
    EXPECT_EQ(dialog.View().dpiText, L"1200");
    EXPECT_EQ(record.DpiLevel3, 12);
    dialog.MoveBarColumn(260);
    EXPECT_EQ(dialog.View().barsShown, 1);
    EXPECT_EQ(dialog.View().dpiText, L"100");
    EXPECT_EQ(record.DpiLevel3, 1);
    dialog.ReleaseBarColumn();
    dialog.MoveBarColumn(3);
    EXPECT_EQ(record.DpiLevel3, 1) << "moves without the press pick nothing";

    const struct {
        const wchar_t* typed;
        const wchar_t* shown;
        int step;
    } entries[] = {{L"3499", L"3400", 34}, {L"3500", L"3500", 35}, {L"9999", L"3500", 35},
                   {L"150", L"100", 1},    {L"0", L"100", 1},      {L"1250", L"1200", 12}};
    for (const auto& e : entries) {
        ASSERT_TRUE(dialog.EnterDpi(e.typed)) << e.typed;
        EXPECT_EQ(dialog.View().dpiText, e.shown) << e.typed;
        EXPECT_EQ(dialog.View().barsShown, e.step) << e.typed;
        EXPECT_EQ(record.DpiLevel3, e.step) << e.typed;
    }
    EXPECT_FALSE(dialog.EnterDpi(L""));
    EXPECT_EQ(dialog.View().dpiText, L"1200");
    EXPECT_EQ((std::array{record.DpiLevel1, record.DpiLevel2, record.DpiLevel4}),
              (std::array{4, 8, 35}));
    EXPECT_EQ(Mark(), mark);
}

// A mouse that answers one live read request (by the register's low byte: 0 level, 1 polling)
// with a byte of its own choosing.
class OddAnswerChannel final : public DeviceChannel {
  public:
    OddAnswerChannel(DeviceChannel& inner, std::uint8_t reg, std::uint8_t answer)
        : inner_(inner), reg_(reg), byte_(answer) {}
    int SetFeature(int v, int p, int up, int u, const FeatureReport& r) override {
        asked_ = r[0] == 4 && r[1] == reg_ && r[2] == 0xFF;
        return inner_.SetFeature(v, p, up, u, r);
    }
    int GetFeature(int v, int p, int up, int u, FeatureReport& b) override {
        const int got = inner_.GetFeature(v, p, up, u, b);
        if (asked_) b[4] = byte_;
        return got;
    }

  private:
    DeviceChannel& inner_;
    std::uint8_t reg_;
    std::uint8_t byte_;
    bool asked_ = false;
};

TEST_F(PerformanceDialogTest, ALevelOutsideTheFourNeverReadsADpiFieldNorSendsALevel) {
    StoreDefaults();
    lights = {0, 1};
    for (const std::uint8_t answer : {std::uint8_t{0x7F}, std::uint8_t{0xFF}}) {
        OddAnswerChannel odd(channel, 0x00, answer);
        PerformanceDialog shown(record, lights, reportState,
                                PerformanceServices{odd, store, time, pointer, messenger});
        const std::size_t mark = Mark();
        shown.Show();
        EXPECT_EQ(record.LevelNumber, answer == 0x7F ? 128 : 0);
        EXPECT_EQ(SentSince(mark),
                  (Lines{"04 00 FF 02 00 00", "04 01 FF 01 00 00", "03 01 FF 01 00 00"}))
            << "the rate still goes out";
        EXPECT_EQ(shown.View().dpiText, L"400");

        shown.PressBarColumn(260);
        shown.EnterDpi(L"2000");
        shown.ReleaseLevelKnob();
        EXPECT_EQ(
            (std::array{record.DpiLevel1, record.DpiLevel2, record.DpiLevel3, record.DpiLevel4}),
            (std::array{4, 8, 12, 35}));
        const std::size_t before = Mark();
        EXPECT_TRUE(shown.Commit().write.ok);
        EXPECT_EQ(SentSince(before, 5)[0], answer == 0x7F ? "03 07 00 01 23" : "03 07 00 01 20")
            << "the level is held to 1..4 and never spills into the light bits";
    }
}

TEST_F(PerformanceDialogTest, MissingValuesTakeTheirFallbackAndTheLoadGoesOn) {
    PerformanceRecord stored;
    stored.DpiLevel1 = 20;
    StoreRecord(stored);
    auto key = store.memory.OpenKey(SettingsHive::CurrentUser, kPerformanceKey);
    key->DeleteValue(L"DpiLevel2");
    key->WriteString(L"CursorSpeed", L"fast");
    record.DpiLevel2 = 30;
    record.CursorSpeed = 4;

    const LoadResult result = dialog.Show();
    EXPECT_EQ(result.missing, (std::vector<std::wstring>{L"CursorSpeed", L"DpiLevel2"}));
    EXPECT_EQ(record.DpiLevel2, 8);
    EXPECT_EQ(record.CursorSpeed, 10);
    EXPECT_EQ(record.DpiLevel1, 20);
    EXPECT_EQ(pointer.calls.size(), 3u) << "the settings are applied all the same";

    store.memory.OpenKey(SettingsHive::CurrentUser, kPerformanceDefaultKey)
        ->DeleteValue(L"ScrollSpeed");
    EXPECT_EQ(dialog.ResetToDefault().missing, (std::vector<std::wstring>{L"ScrollSpeed"}));
    EXPECT_EQ(record.ScrollSpeed, 3) << "the default key falls back to the factory value";
}

TEST_F(PerformanceDialogTest, ResetAndEditsAreUndoneByCancelInTheMouseWindowsAndTheRecord) {
    PerformanceRecord stored;
    stored.DpiLevel1 = 6;
    stored.DpiLevel3 = 20;
    stored.DoubleClickSpeed = 700;
    stored.CursorSpeed = 14;
    stored.ScrollSpeed = 6;
    StoreRecord(stored);
    dialog.ReleasePolling(1);  // the mouse runs 500 Hz when the dialog is shown
    dialog.Show();
    const PerformanceRecord shown = record;
    const std::vector<int> eeprom(mouse.Eeprom(), mouse.Eeprom() + 12);
    std::size_t mark = Mark();
    store.writes.clear();
    pointer.calls.clear();

    dialog.EnterDpi(L"3000");
    dialog.ResetToDefault();
    EXPECT_EQ(dialog.View().markerLeft, 232);
    EXPECT_EQ(dialog.View().dpiText, L"400");
    EXPECT_EQ(dialog.View().pollingSelected, (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(SentSince(mark), (Lines{"03 00 FF 02 00 04", "03 01 FF 01 00 00"}));
    EXPECT_EQ(pointer.calls, (Lines{"doubleclick 500", "speed 10", "lines 3"}));
    EXPECT_TRUE(store.writes.empty()) << "stored only by a later OK or Apply";

    mark = Mark();
    pointer.calls.clear();
    dialog.Cancel();
    EXPECT_EQ(SentSince(mark),
              (Lines{"03 00 FF 02 00 06", "03 00 FF 02 02 14", "03 01 FF 01 01 00"}))
        << "level 1 gets its DPI back from Reset, then level 3 at 2000 DPI and 500 Hz, as the "
           "mouse ran them at show";
    EXPECT_EQ(mouse.Live().dpiSteps[0], 6);
    EXPECT_EQ(mouse.Live().levelIndex, 2);
    EXPECT_EQ(mouse.Live().dpiSteps[2], 20);
    EXPECT_EQ(pointer.calls, (Lines{"doubleclick 700", "speed 14", "lines 6"}))
        << "Windows keeps the values it had at show, not the factory ones";
    EXPECT_EQ(record.DpiLevel3, 20);
    EXPECT_EQ(record.ScrollSpeed, 6);
    EXPECT_EQ(record.LevelNumber, shown.LevelNumber);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_EQ(std::vector<int>(mouse.Eeprom(), mouse.Eeprom() + 12), eeprom);

    // A DPI change and a level sent live, then Cancel: neither stays.
    dialog.Show();
    dialog.MoveLevelKnob(60);
    dialog.EnterDpi(L"900");
    dialog.ReleaseLevelKnob();
    EXPECT_EQ(mouse.Live().dpiSteps[3], 9);
    mark = Mark();
    dialog.Cancel();
    EXPECT_EQ(SentSince(mark, 5), (Lines{"03 00 FF 02 03", "03 00 FF 02 02", "03 01 FF 01 01"}));
    EXPECT_EQ(mouse.Live().levelIndex, 2);
    EXPECT_EQ(mouse.Live().dpiSteps[3], 35);
    EXPECT_EQ((std::array{record.DpiLevel3, record.DpiLevel4}), (std::array{20, 35}));

    // After an Apply, Cancel returns to what was applied, not to the show.
    dialog.Show();
    dialog.EnterDpi(L"1500");
    dialog.MovePointerKnob(PointerSlider::Scroll, -60);
    ASSERT_TRUE(dialog.Commit().saved);
    dialog.ResetToDefault();
    mark = Mark();
    pointer.calls.clear();
    dialog.Cancel();
    EXPECT_EQ(SentSince(mark)[1], "03 00 FF 02 02 0F");
    EXPECT_EQ(pointer.calls, (Lines{"doubleclick 700", "speed 14", "lines 4"}));
    EXPECT_EQ(Stored(L"DpiLevel3"), 15);
    EXPECT_EQ(Stored(L"ScrollSpeed"), 4);
}

TEST_F(PerformanceDialogTest, AnUnknownPollingCodeIsKeptUntilTheUserChoosesARate) {
    StoreDefaults();
    const std::uint8_t eepromRate[] = {2};
    device::SendCommand(channel, device::MakeWriteCommand(performance::kEepromPolling, eepromRate));
    OddAnswerChannel odd(channel, 0x01, 5);
    PerformanceDialog shown(record, lights, reportState,
                            PerformanceServices{odd, store, time, pointer, messenger});
    std::size_t mark = Mark();
    shown.Show();
    EXPECT_EQ(SentSince(mark),
              (Lines{"04 00 FF 02 00 00", "04 01 FF 01 00 00", "03 00 FF 02 02 0C"}))
        << "showing the dialog sends no rate";
    EXPECT_EQ(shown.View().pollingSelected, (std::array<bool, 3>{false, false, false}));

    mark = Mark();
    ASSERT_TRUE(shown.Commit().write.ok);
    for (const auto& line : SentSince(mark, 4)) {
        EXPECT_NE(line, "03 06 00 01") << "the EEPROM keeps its rate";
        EXPECT_NE(line, "03 01 FF 01") << "the mouse keeps its rate";
    }
    EXPECT_EQ(mouse.Eeprom()[6], 2);
    EXPECT_EQ(Stored(L"PollingRate"), 5) << "the registry keeps the code as read";

    // Cancel after a live click gives the mouse its own byte back.
    shown.Show();
    shown.ReleasePolling(1);
    mark = Mark();
    shown.Cancel();
    EXPECT_EQ(SentSince(mark, 5), (Lines{"03 00 FF 02 02", "03 01 FF 01 05"}));

    // A rate the user chooses is stored everywhere.
    shown.Show();
    shown.PressPolling(1);
    shown.ReleasePolling(1);
    ASSERT_TRUE(shown.Commit().write.ok);
    EXPECT_EQ(mouse.Eeprom()[6], 1);
    EXPECT_EQ(mouse.Live().pollingCode, 1);
    EXPECT_EQ(Stored(L"PollingRate"), 1);
}

TEST_F(PerformanceDialogTest, TheDisplayProgramsLevelAndRateAreShownAndForeignValuesIgnored) {
    StoreDefaults();
    dialog.Show();
    dialog.OnDisplayLevel(1, 1200);
    EXPECT_EQ(dialog.View().markerLeft, 304);
    EXPECT_EQ(dialog.View().barsShown, 12);
    EXPECT_EQ(record.LevelNumber, 2);
    EXPECT_EQ(record.DpiLevel2, 8) << "the DPI fields are not changed";
    dialog.OnDisplayLevel(7, 800);
    EXPECT_EQ(dialog.CurrentLevel(), 2);
    dialog.OnDisplayLevel(0, -100);
    EXPECT_EQ(dialog.View().barsShown, 35) << "never more bars than there are";

    dialog.OnDisplayPolling(500);
    EXPECT_EQ(record.PollingRate, 1);
    EXPECT_EQ(dialog.View().pollingSelected, (std::array<bool, 3>{false, true, false}));
    dialog.OnDisplayPolling(333);
    EXPECT_EQ(dialog.CurrentPollingCode(), 1);
    dialog.OnDisplayPolling(125);
    dialog.Commit();
    EXPECT_EQ(Stored(L"PollingRate"), 2);
    EXPECT_EQ(Stored(L"LevelNumber"), 1);
}

TEST_F(PerformanceDialogTest, PointerSlidersKeepValuesBeyondTheirStopsUntilMoved) {
    StoreDefaults(1100, 20, 5);
    dialog.Show();
    EXPECT_EQ(dialog.Step(PointerSlider::DoubleClick), 11);
    EXPECT_EQ(Slider(PointerSlider::DoubleClick), (SliderStop{488, 491}));
    dialog.Commit();
    EXPECT_EQ(Stored(L"DoubleClickSpeed"), 1100);
    EXPECT_EQ(Stored(L"CursorSpeed"), 20);

    dialog.MovePointerKnob(PointerSlider::Cursor, 5);  // beyond the slider's end
    EXPECT_EQ(dialog.Step(PointerSlider::Cursor), 10);
    dialog.MovePointerKnob(PointerSlider::Cursor, -27);
    EXPECT_EQ(Slider(PointerSlider::Cursor), (SliderStop{459, 462}));
    dialog.MovePointerKnob(PointerSlider::Scroll, 30);
    dialog.MovePointerKnob(PointerSlider::DoubleClick, -100);
    dialog.ToggleOneScreen();
    pointer.calls.clear();
    dialog.Commit();
    EXPECT_EQ(Stored(L"DoubleClickSpeed"), 600);
    EXPECT_EQ(Stored(L"CursorSpeed"), 18);
    EXPECT_EQ(Stored(L"ScrollSpeed"), 6) << "the lines stay stored under one screen at a time";
    EXPECT_EQ(Stored(L"OneScreenPage"), -1);
    EXPECT_EQ(pointer.calls, (Lines{"doubleclick 600", "speed 18", "lines 4294967295"}));
}

TEST_F(PerformanceDialogTest, ARefusedRegistryValueLeavesTheKeyWholeAndNothingReachesTheMouse) {
    StoreDefaults(700, 14, 6);
    dialog.Show();
    auto key = store.memory.OpenKey(SettingsHive::CurrentUser, kPerformanceKey);
    key->DeleteValue(L"CursorSpeed");
    key->WriteString(L"ScrollSpeed", L"six");
    std::vector<std::optional<std::int32_t>> before;
    for (const auto& f : kPerformanceWriteOrder) before.push_back(Stored(f.name));
    dialog.MovePointerKnob(PointerSlider::DoubleClick, 50);  // 900 ms
    dialog.MoveLevelKnob(60);
    dialog.ReleasePolling(2);
    store.refuseWrite = L"LevelNumber";  // after four values have gone in
    const std::size_t mark = Mark();
    pointer.calls.clear();

    const auto result = dialog.Commit();
    EXPECT_FALSE(result.saved);
    EXPECT_NE(result.save.failure.find(L"LevelNumber"), std::wstring::npos);
    EXPECT_FALSE(key->ValueExists(L"CursorSpeed")) << "a value that was missing is removed again";
    EXPECT_EQ(key->ReadString(L"ScrollSpeed"), L"six");
    for (std::size_t i = 0; i < kPerformanceWriteOrder.size(); ++i)
        EXPECT_EQ(Stored(kPerformanceWriteOrder[i].name), before[i]) << std::string(
            kPerformanceWriteOrder[i].name.begin(), kPerformanceWriteOrder[i].name.end());
    EXPECT_EQ(Mark(), mark);
    EXPECT_TRUE(pointer.calls.empty());

    store.refuseWrite.clear();
    EXPECT_TRUE(dialog.Commit().saved) << "the dialog's choices are still there to store";
    EXPECT_EQ(Stored(L"LevelNumber"), 4);
    EXPECT_EQ(Stored(L"PollingRate"), 2);
}

TEST_F(PerformanceDialogTest, AWriteTheMouseRefusesStopsBeforeTheApplyAndAClosedKeySendsNothing) {
    StoreDefaults();
    dialog.Show();
    const auto doubleClickBefore = Stored(L"DoubleClickSpeed");
    dialog.MovePointerKnob(PointerSlider::DoubleClick, 50);
    channel.plugged = false;
    std::size_t mark = Mark();
    const auto result = dialog.Commit();
    EXPECT_TRUE(result.saved);
    EXPECT_FALSE(result.write.ok);
    EXPECT_NE(result.write.failure.find(L"0x0007"), std::wstring::npos);
    EXPECT_EQ(SentSince(mark, 3)[0], "03 07 00");
    for (const auto& line : SentSince(mark)) EXPECT_NE(line, "03 06 FF 01 01 00");
    EXPECT_EQ(reportState.value, device::kReportStateIdle);
    // The store and Windows took the values: Cancel keeps them, as the store does.
    ASSERT_NE(Stored(L"DoubleClickSpeed"), doubleClickBefore);
    dialog.Cancel();
    EXPECT_EQ(record.DoubleClickSpeed, Stored(L"DoubleClickSpeed"));

    channel.plugged = true;
    store.refuseOpen = true;
    mark = Mark();
    EXPECT_FALSE(dialog.Commit().saved);
    EXPECT_EQ(Mark(), mark);
}

}  // namespace
