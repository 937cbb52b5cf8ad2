// What an attach does for the performance settings, against the virtual mouse's model.
#include <gtest/gtest.h>

#include "platform/ManualTimeline.h"
#include "platform/MemorySettingsStore.h"
#include "tests/native/device/MouseRig.h"
#include "performance/PerformanceKeys.h"
#include "tests/native/performance/PerformanceRig.h"

using performance::EnsurePerformanceKeys;
using performance::kPerformanceDefaultKey;
using performance::kPerformanceKey;
using performance::PerformanceRecord;

namespace {

using FixedPointer = RecordingPointer;

class PerformanceKeysTest : public ::testing::Test {
  protected:
    vmouse::VirtualMouse mouse;
    platform::ManualTimeline time;
    ModelChannel channel{mouse, time};
    platform::MemorySettingsStore store;
    device::DeviceReportState reportState{device::kReportStateProfileWrite};
    FixedPointer pointer;
    PerformanceRecord record;

    std::optional<std::int32_t> Stored(std::wstring_view key, std::wstring_view name) {
        auto k = store.OpenKey(platform::SettingsHive::CurrentUser, key);
        return k ? k->ReadInteger(name) : std::nullopt;
    }
};

TEST_F(PerformanceKeysTest, FirstAttachTakesWindowsAndTheMouseAndCreatesBothKeys) {
    pointer.lines = 7;
    pointer.speed = 14;
    pointer.doubleClick = 420;
    ASSERT_TRUE(EnsurePerformanceKeys(record, pointer, channel, time, reportState, store));
    EXPECT_EQ(reportState.value, device::kReportStateIdle) << "a query idles the report state";
    ASSERT_EQ(channel.sent.size(), 1u);
    EXPECT_EQ(channel.sent[0].usage, 0x0002);
    EXPECT_EQ((std::vector<std::uint8_t>(channel.sent[0].bytes.begin(),
                                         channel.sent[0].bytes.begin() + 4)),
              (std::vector<std::uint8_t>{0x04, 0x00, 0xFF, 0x02}));
    EXPECT_EQ(record.LevelNumber, 3) << "the factory mouse runs level 3";
    EXPECT_EQ(record.ScrollSpeed, 7);
    EXPECT_EQ(record.OneScreenPage, 0);
    EXPECT_EQ(record.CursorSpeed, 14);
    EXPECT_EQ(record.DoubleClickSpeed, 420);

    EXPECT_EQ(Stored(kPerformanceKey, L"LevelNumber"), 3);
    EXPECT_EQ(Stored(kPerformanceKey, L"DpiLevel4"), 35);
    EXPECT_EQ(Stored(kPerformanceKey, L"ScrollSpeed"), 7);
    EXPECT_EQ(Stored(kPerformanceDefaultKey, L"ScrollSpeed"), 3);
    EXPECT_EQ(Stored(kPerformanceDefaultKey, L"LevelNumber"), 1);
    EXPECT_EQ(Stored(kPerformanceDefaultKey, L"DoubleClickSpeed"), 500);
    auto key = store.OpenKey(platform::SettingsHive::CurrentUser, kPerformanceKey);
    EXPECT_EQ(key->ValueNames().size(), 10u);
}

TEST_F(PerformanceKeysTest, LaterAttachesLeaveTheStoredSettingsAlone) {
    ASSERT_TRUE(EnsurePerformanceKeys(record, pointer, channel, time, reportState, store));
    store.OpenKey(platform::SettingsHive::CurrentUser, kPerformanceKey)
        ->WriteInteger(L"DpiLevel1", 20);
    EXPECT_FALSE(EnsurePerformanceKeys(record, pointer, channel, time, reportState, store));
    EXPECT_EQ(Stored(kPerformanceKey, L"DpiLevel1"), 20);
}

TEST_F(PerformanceKeysTest, OneScreenAtATimeKeepsTheScrollLinesAndAMissingMouseReadsLevelOne) {
    pointer.lines = -1;  // WHEEL_PAGESCROLL
    record.ScrollSpeed = 5;
    channel.plugged = false;
    EnsurePerformanceKeys(record, pointer, channel, time, reportState, store);
    EXPECT_EQ(record.OneScreenPage, -1);
    EXPECT_EQ(record.ScrollSpeed, 5);
    EXPECT_EQ(record.LevelNumber, 1) << "no answer: the prepared 4 and zeros";
}

}  // namespace
