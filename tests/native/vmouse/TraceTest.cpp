// The trace: one entry per report in and out, a ring that keeps the newest, readable lines.
#include <gtest/gtest.h>

#include <string>

#include "tests/native/vmouse/MouseTestKit.h"
#include "vmouse/model/TraceFormat.h"

namespace vmouse {
namespace {
using namespace vmouse::testing;

std::string Line(const TraceEntry& e) {
    char buf[kTraceLineMax];
    EXPECT_GT(FormatTraceLine(e, buf, sizeof buf), 0u);
    return buf;
}

TEST(Trace, RecordsEveryReportInAndOutAsLines) {
    VirtualMouse m;
    m.SetTime(1234);
    ASSERT_TRUE(Write(m, 0x0005, {0xA0}));
    ASSERT_FALSE(Write(m, 0x0812, {1}));
    ASSERT_FALSE(Read(m, kRegProfile, 2).empty());
    m.PressButton(3);
    const std::vector<TraceEntry> t = TraceEntries(m);
    ASSERT_EQ(t.size(), 6u);
    std::vector<std::string> lines;
    for (const TraceEntry& e : t) lines.push_back(Line(e));
    EXPECT_EQ(lines[0],
              "1 1234ms in FF00/FF00 set-feature 03 05 00 01 a0 00 00 00 00 00 00 00 00 00 00 00 "
              "accepted");
    EXPECT_EQ(lines[1], "2 1234ms out FF00/FF00 input 02 10 00 00 00 00 00 00 sent");
    EXPECT_EQ(lines[2],
              "3 1234ms in FF00/FF00 set-feature 03 12 08 01 01 00 00 00 00 00 00 00 00 00 00 00 "
              "refused: address outside the map");
    EXPECT_EQ(lines[3],
              "4 1234ms in FF00/0002 set-feature 04 02 ff 02 00 00 00 00 00 00 00 00 00 00 00 00 "
              "accepted");
    EXPECT_EQ(lines[4],
              "5 1234ms out FF00/0002 get-feature 04 02 ff 02 01 00 00 00 00 00 00 00 00 00 00 00 "
              "answered");
    EXPECT_EQ(lines[5], "6 1234ms local press button 3");
    char tiny[10];
    EXPECT_EQ(FormatTraceLine(t[0], tiny, sizeof tiny), 0u);
}

TEST(Trace, RingKeepsTheNewestEntriesWithTheirSequenceNumbers) {
    TraceRing ring;
    const uint8_t b[1] = {0};
    for (uint32_t i = 0; i < TraceRing::kCapacity + 10; ++i)
        ring.Add(i, TraceDirection::In, TraceKind::SetFeature, Collection::Write,
                 TraceNote::Accepted, b, 1);
    EXPECT_EQ(ring.FirstSequence(), 11u);
    TraceEntry e{};
    EXPECT_FALSE(ring.Get(10, e));
    ASSERT_TRUE(ring.Get(11, e));
    EXPECT_EQ(e.timeMs, 10u);
    ASSERT_TRUE(ring.Get(TraceRing::kCapacity + 10, e));
    EXPECT_EQ(e.timeMs, TraceRing::kCapacity + 9);
    EXPECT_FALSE(ring.Get(TraceRing::kCapacity + 11, e));
    ring.Clear();
    EXPECT_FALSE(ring.Get(11, e));
    EXPECT_EQ(ring.NextSequence(), 1u);
}

TEST(Trace, LongReportsAreCutToTheReportSize) {
    TraceRing ring;
    uint8_t big[40] = {};
    big[16] = 0xFF;
    ring.Add(0, TraceDirection::In, TraceKind::SetFeature, Collection::Write, TraceNote::BadLength,
             big, sizeof big);
    TraceEntry e{};
    ASSERT_TRUE(ring.Get(1, e));
    EXPECT_EQ(e.length, kFeatureReportSize);
}

}  // namespace
}  // namespace vmouse
