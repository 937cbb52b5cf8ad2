// Faults the tests of the write sequence and the display program need.
#include <gtest/gtest.h>

#include "tests/native/vmouse/MouseTestKit.h"

namespace vmouse {
namespace {
using namespace vmouse::testing;

TEST(Faults, DropsOrDoublesOnlyTheNthAcknowledgementButStillWrites) {
    VirtualMouse m;
    m.SetFaults(Faults{.dropAckIn = 3});
    for (uint8_t i = 0; i < 5; ++i) ASSERT_TRUE(Write(m, static_cast<uint16_t>(0x20 + i), {i}));
    EXPECT_EQ(Drain(m).size(), 4u);
    EXPECT_EQ(m.Eeprom()[0x22], 2);
    EXPECT_EQ(m.Stats().acksDropped, 1u);
    EXPECT_EQ(m.CurrentFaults().dropAckIn, 0u);

    m.SetFaults(Faults{.duplicateAckIn = 2});
    for (uint8_t i = 0; i < 3; ++i) ASSERT_TRUE(Write(m, static_cast<uint16_t>(0x30 + i), {i}));
    EXPECT_EQ(Drain(m), (std::vector<Report>{kAck, kAck, kAck, kAck}));
    EXPECT_EQ(m.CurrentFaults().duplicateAckIn, 0u);
}

TEST(Faults, DelayedAcknowledgementsComeOutWhenDueInOrder) {
    VirtualMouse m;
    uint32_t now = 1000;
    m.SetClock([](void* ctx) { return *static_cast<uint32_t*>(ctx); }, &now);
    m.SetFaults(Faults{.ackDelayMs = 50});
    ASSERT_TRUE(Write(m, 0x20, {1}));
    now = 1020;
    ASSERT_TRUE(Write(m, 0x21, {2}));
    EXPECT_EQ(m.Poll(), 1050u);
    EXPECT_TRUE(Drain(m).empty());
    now = 1049;
    EXPECT_TRUE(Drain(m).empty());
    now = 1050;
    EXPECT_EQ(Drain(m).size(), 1u);
    EXPECT_EQ(m.Poll(), 1070u);
    m.PressLock();  // events are not delayed
    EXPECT_EQ(Drain(m), (std::vector<Report>{{2, 8, 0, 0, 0, 0, 0, 0}}));
    now = 1100;
    EXPECT_EQ(Drain(m), std::vector<Report>{kAck});
    EXPECT_EQ(m.Poll(), 0u);
}

TEST(Faults, DelayWorksAcrossTheTickCounterWrap) {
    VirtualMouse m;
    m.SetTime(0xFFFFFFF0u);
    m.SetFaults(Faults{.ackDelayMs = 0x20});
    ASSERT_TRUE(Write(m, 0x20, {1}));
    m.SetTime(0xFFFFFFFFu);
    EXPECT_TRUE(Drain(m).empty());
    m.SetTime(0x10);
    EXPECT_EQ(Drain(m).size(), 1u);
}

TEST(Faults, GarbageAnswersKeepTheReportIdOnly) {
    VirtualMouse m;
    m.SetFaults(Faults{.garbageAnswers = true});
    const Report a = Read(m, 0x0005, 1);
    const Report b = Read(m, 0x0005, 1);
    ASSERT_EQ(a.size(), 16u);
    EXPECT_EQ(a[0], 4);
    EXPECT_NE(a, b);
    EXPECT_NE(Report(a.begin() + 1, a.end()),
              (Report{5, 0, 1, 0x20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    m.ClearFaults();
    EXPECT_EQ(Read(m, 0x0005, 1)[4], 0x20);
}

TEST(Faults, SilentMouseDoesNothingAndSendsNothingUntilCleared) {
    VirtualMouse m;
    m.SetFaults(Faults{.silent = true});
    EXPECT_FALSE(Write(m, 0x20, {1}));
    EXPECT_TRUE(Read(m, 0x0005, 1).empty());
    m.PressLock();  // the press still happens on the mouse, its report goes nowhere
    EXPECT_TRUE(Drain(m).empty());
    EXPECT_EQ(m.Eeprom()[0x20], 0);
    EXPECT_EQ(TraceEntries(m).back().note, TraceNote::Silent);
    m.ClearFaults();
    EXPECT_TRUE(Write(m, 0x20, {1}));
    EXPECT_EQ(Drain(m), std::vector<Report>{kAck});
}

TEST(Faults, FactoryResetClearsFaultsAndPendingReports) {
    VirtualMouse m;
    m.SetFaults(Faults{.ackDelayMs = 1000, .garbageAnswers = true});
    ASSERT_TRUE(Write(m, 0x20, {1}));
    m.PressDpi();
    m.FactoryReset();
    m.SetTime(5000);
    EXPECT_TRUE(Drain(m).empty());
    EXPECT_FALSE(m.CurrentFaults().garbageAnswers);
    EXPECT_EQ(m.Eeprom()[0x20], 0);
}

}  // namespace
}  // namespace vmouse
