// The mouse's own controls: state changes, event reports, launch-code key reports.
#include <gtest/gtest.h>

#include "tests/native/vmouse/MouseTestKit.h"

namespace vmouse {
namespace {
using namespace vmouse::testing;

Report Event(uint8_t code) { return {2, code, 0, 0, 0, 0, 0, 0}; }

TEST(Controls, DpiButtonStepsThroughFourLevelsAndWraps) {
    VirtualMouse m;  // factory: level 3 (index 2)
    const uint8_t expected[] = {3, 0, 1, 2};
    for (uint8_t index : expected) {
        m.PressDpi();
        EXPECT_EQ(m.Live().levelIndex, index);
        EXPECT_EQ(Drain(m), std::vector<Report>{Event(0x01)});
    }
    EXPECT_EQ(Read(m, kRegLevel, 2)[5], 12);  // level 3's step follows the level
}

TEST(Controls, ProfileButtonWrapsAndIsKeptInEeprom) {
    VirtualMouse m;
    const uint8_t expected[] = {2, 3, 4, 5, 1};
    for (uint8_t profile : expected) {
        m.PressProfile();
        EXPECT_EQ(m.Live().activeProfile, profile);
        EXPECT_EQ(m.Eeprom()[kAddrActiveProfile], 0x20 * profile);
        EXPECT_EQ(Drain(m), std::vector<Report>{Event(0x04)});
    }
    m.PressProfile();
    VirtualMouse replugged;
    ASSERT_TRUE(replugged.LoadEeprom(m.Eeprom(), kEepromSize));
    EXPECT_EQ(Read(replugged, kRegProfile, 2)[4], 2);
}

TEST(Controls, PollingSwitchCyclesAndLockToggles) {
    VirtualMouse m;
    const uint8_t codes[] = {1, 2, 0};
    for (uint8_t code : codes) {
        m.PressPolling();
        EXPECT_EQ(Read(m, kRegPolling, 1)[4], code);
    }
    m.PressLock();
    EXPECT_EQ(Read(m, kRegLock, 1)[4], 1);
    m.PressLock();
    EXPECT_EQ(Read(m, kRegLock, 1)[4], 0);
    EXPECT_EQ(Drain(m), (std::vector<Report>{Event(2), Event(2), Event(2), Event(8), Event(8)}));
}

TEST(Controls, ButtonWithLaunchCodeSendsKeyReportFromActiveProfileOnly) {
    VirtualMouse m;
    // Profile 2 (index 1), side button 1 (index 3): LaunchCode = 0xA0 + 5 + 3.
    ASSERT_TRUE(Write(m, static_cast<uint16_t>(ProfileButtonAddress(1, 3)), {0xA8, 0x40}));
    // Codes just outside the launch range do nothing.
    ASSERT_TRUE(Write(m, static_cast<uint16_t>(ProfileButtonAddress(1, 0)), {0x9F, 0x40}));
    ASSERT_TRUE(Write(m, static_cast<uint16_t>(ProfileButtonAddress(1, 1)), {0xB9, 0x40}));
    ASSERT_TRUE(Write(m, static_cast<uint16_t>(ProfileButtonAddress(1, 4)), {0xB8, 0x40}));
    Drain(m);
    EXPECT_TRUE(m.PressButton(4));  // profile 1 active: default record, nothing to report
    EXPECT_TRUE(Drain(m).empty());
    m.PressProfile();
    Drain(m);
    for (uint8_t b = 1; b <= 3; ++b) EXPECT_TRUE(m.PressButton(b));
    EXPECT_TRUE(Drain(m).empty());
    EXPECT_TRUE(m.PressButton(4));
    EXPECT_TRUE(m.PressButton(5));
    EXPECT_EQ(Drain(m),
              (std::vector<Report>{{1, 0, 0, 0xA8, 0, 0, 0, 0}, {1, 0, 0, 0xB8, 0, 0, 0, 0}}));
    EXPECT_FALSE(m.PressButton(0));
    EXPECT_FALSE(m.PressButton(6));
}

TEST(Controls, SinkReceivesReportsInsteadOfOutbox) {
    VirtualMouse m;
    std::vector<Report> seen;
    m.SetInputSink(
        [](void* ctx, const InputReport& r) {
            static_cast<std::vector<Report>*>(ctx)->emplace_back(r.bytes,
                                                                 r.bytes + kInputReportSize);
        },
        &seen);
    m.PressLock();
    ASSERT_TRUE(Write(m, 0x20, {1}));
    EXPECT_EQ(seen, (std::vector<Report>{Event(8), kAck}));
    EXPECT_EQ(m.PendingInputs(), 0u);
}

TEST(Controls, FullOutboxLosesNewReportsAndSaysSo) {
    VirtualMouse m;
    for (size_t i = 0; i < VirtualMouse::kOutboxCapacity + 3; ++i) m.PressLock();
    EXPECT_EQ(m.PendingInputs(), VirtualMouse::kOutboxCapacity);
    EXPECT_EQ(TraceEntries(m).back().note, TraceNote::OutboxFull);
    EXPECT_EQ(Drain(m).size(), VirtualMouse::kOutboxCapacity);
    m.PressLock();
    EXPECT_EQ(Drain(m).size(), 1u);
}

}  // namespace
}  // namespace vmouse
