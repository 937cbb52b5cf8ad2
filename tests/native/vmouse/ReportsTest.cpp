// Feature reports: EEPROM and live-register writes, read requests and answers, refusals.
#include <gtest/gtest.h>

#include "tests/native/vmouse/MouseTestKit.h"

namespace vmouse {
namespace {
using namespace vmouse::testing;

// The driver keeps one global mouse; it must be built at compile time (no start-up code there).
constinit VirtualMouse gGlobalMouse;

TEST(FactoryState, EepromHoldsDefaultsInEveryProfileAndLiveStateFollows) {
    VirtualMouse m;
    const uint8_t* e = m.Eeprom();
    EXPECT_EQ(e[5], 0x20);
    EXPECT_EQ(e[6], 0x00);
    EXPECT_EQ(e[7], 0x32);
    EXPECT_EQ((Report{e[8], e[9], e[10], e[11]}), (Report{4, 8, 12, 35}));
    const uint8_t codes[5] = {0xC0, 0xC1, 0xC2, 0x00, 0x00};
    for (size_t p = 0; p < kProfileCount; ++p) {
        for (size_t b = 0; b < kButtonsPerProfile; ++b) {
            const size_t at = ProfileButtonAddress(p, b);
            Report expected(kButtonRecordSize, 0);
            expected[0] = codes[b];
            expected[1] = 0x40;
            expected[80] = 0xA0;
            EXPECT_EQ(Report(e + at, e + at + kButtonRecordSize), expected) << p << "/" << b;
        }
    }
    EXPECT_EQ(ProfileButtonAddress(4, 4) + kButtonRecordSize - 1, 0x0811u);
    const LiveState& live = m.Live();
    EXPECT_EQ(live.activeProfile, 1);
    EXPECT_EQ(live.levelIndex, 2);
    EXPECT_EQ(live.wheelLight, 1);
    EXPECT_EQ(live.logoLight, 1);
    EXPECT_EQ(live.pollingCode, 0);
    EXPECT_EQ(gGlobalMouse.Live().dpiSteps[3], 35);
}

TEST(Writes, EepromWriteStoresBytesAndIsAcknowledgedOnce) {
    VirtualMouse m;
    const uint32_t generation = m.EepromGeneration();
    ASSERT_TRUE(Write(m, 0x0806, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));  // ends at 0x0811
    EXPECT_EQ(Report(m.Eeprom() + 0x0806, m.Eeprom() + 0x0812),
              (Report{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(Drain(m), std::vector<Report>{kAck});
    EXPECT_GT(m.EepromGeneration(), generation);
    // Writing address 5 only stores it: the live profile changes with the apply command.
    ASSERT_TRUE(Write(m, 0x0005, {0xA0}));
    EXPECT_EQ(m.Live().activeProfile, 1);
    EXPECT_EQ(Read(m, kRegProfile, 2)[4], 1);
}

TEST(Writes, ApplyTakesLiveStateFromEeprom) {
    VirtualMouse m;
    ASSERT_TRUE(Write(m, 0x0005, {0x80}));
    ASSERT_TRUE(Write(m, 0x0006, {2}));
    ASSERT_TRUE(Write(m, 0x0007, {0x11}));  // level 2, wheel on, logo off
    ASSERT_TRUE(Write(m, 0x0008, {1, 2, 3, 30}));
    ASSERT_TRUE(Write(m, kRegApply, {1}));
    const LiveState& live = m.Live();
    EXPECT_EQ(live.activeProfile, 4);
    EXPECT_EQ(live.pollingCode, 2);
    EXPECT_EQ(live.levelIndex, 1);
    EXPECT_EQ(live.wheelLight, 1);
    EXPECT_EQ(live.logoLight, 0);
    EXPECT_EQ(Read(m, kRegLevel, 2)[5], 2);
    EXPECT_EQ(Drain(m).size(), 5u);  // five writes, five acknowledgements
}

TEST(Writes, LiveRegistersChangeStateNotEeprom) {
    VirtualMouse m;
    const Report before(m.Eeprom(), m.Eeprom() + kEepromSize);
    ASSERT_TRUE(Write(m, kRegLevel, {0, 20}));
    ASSERT_TRUE(Write(m, kRegPolling, {1}));
    ASSERT_TRUE(Write(m, kRegWheel, {0}));
    ASSERT_TRUE(Write(m, kRegLogo, {0}));
    EXPECT_EQ(Report(m.Eeprom(), m.Eeprom() + kEepromSize), before);
    const Report level = Read(m, kRegLevel, 2);
    EXPECT_EQ(level[4], 0);
    EXPECT_EQ(level[5], 20);
    EXPECT_EQ(Read(m, kRegPolling, 1)[4], 1);
    EXPECT_EQ(m.Live().wheelLight, 0);
    EXPECT_EQ(m.Live().logoLight, 0);
}

TEST(Writes, BadWritesAreRefusedUnacknowledgedAndLeaveEepromAlone) {
    VirtualMouse m;
    const Report before(m.Eeprom(), m.Eeprom() + kEepromSize);
    const LiveState liveBefore = m.Live();
    struct Case {
        Report report;
        TraceNote note;
    };
    Report shortReport = Command(3, 0x20, 4, {1, 2, 3, 4});
    shortReport.resize(6);  // says 4 data bytes, carries 2
    const Case cases[] = {
        {Command(3, 0x0807, 12, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}), TraceNote::PastEnd},
        {Command(3, 0x0811, 2, {9, 9}), TraceNote::PastEnd},
        {Command(3, 0x0812, 1, {9}), TraceNote::BadAddress},
        {Command(3, 0xFEFF, 1, {9}), TraceNote::BadAddress},
        {Command(3, kRegProfile, 1, {2}), TraceNote::BadAddress},  // read-only register
        {Command(3, 0x0010, 0), TraceNote::BadCount},
        {Command(3, 0x0010, 13), TraceNote::BadCount},
        {Command(3, kRegLevel, 1, {1}), TraceNote::BadCount},
        {Command(3, kRegLevel, 2, {4, 10}), TraceNote::BadValue},
        {Command(3, kRegLevel, 2, {1, 36}), TraceNote::BadValue},
        {Command(3, kRegPolling, 1, {3}), TraceNote::BadValue},
        {Command(3, kRegWheel, 1, {2}), TraceNote::BadValue},
        {Command(5, 0x0010, 1, {9}), TraceNote::UnknownReportId},
        {Command(0, 0x0010, 1, {9}), TraceNote::UnknownReportId},
        {shortReport, TraceNote::BadLength},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(m.SetFeature(kVendorUsagePage, kWriteUsage, c.report.data(), c.report.size()));
        const TraceEntry last = TraceEntries(m).back();
        EXPECT_EQ(last.note, c.note) << "address " << (c.report[1] | c.report[2] << 8);
        EXPECT_EQ(last.direction, TraceDirection::In);
    }
    const Report tooLong(17, 3);
    EXPECT_FALSE(m.SetFeature(kVendorUsagePage, kWriteUsage, tooLong.data(), tooLong.size()));
    EXPECT_FALSE(m.SetFeature(kVendorUsagePage, kWriteUsage, nullptr, 16));
    // A write on the read collection, a read request on the write collection, a foreign page.
    const Report w = Command(3, 0x10, 1, {9});
    const Report r = Command(4, 0x10, 1);
    EXPECT_FALSE(m.SetFeature(kVendorUsagePage, kReadUsage, w.data(), w.size()));
    EXPECT_FALSE(m.SetFeature(kVendorUsagePage, kWriteUsage, r.data(), r.size()));
    EXPECT_FALSE(m.SetFeature(0xFFA0, kWriteUsage, w.data(), w.size()));
    EXPECT_EQ(TraceEntries(m).back().note, TraceNote::WrongCollection);

    EXPECT_EQ(Report(m.Eeprom(), m.Eeprom() + kEepromSize), before);
    EXPECT_EQ(m.Live().levelIndex, liveBefore.levelIndex);
    EXPECT_EQ(m.Live().pollingCode, liveBefore.pollingCode);
    EXPECT_TRUE(Drain(m).empty());
    EXPECT_EQ(m.Stats().refused, std::size(cases) + 5);
    EXPECT_EQ(m.Stats().writesAccepted, 0u);
}

TEST(Reads, AnswersEchoRequestAndCarryEepromOrLiveData) {
    VirtualMouse m;
    EXPECT_EQ(Read(m, 0x0005, 7), (Report{4, 5, 0, 7, 0x20, 0, 0x32, 4, 8, 12, 35, 0, 0, 0, 0, 0}));
    const Report profile = Read(m, ProfileButtonAddress(0, 1), 2);
    EXPECT_EQ(profile[4], 0xC1);
    EXPECT_EQ(profile[5], 0x40);
    EXPECT_EQ(Read(m, 0x0806, 12)[15], 0);  // last EEPROM byte is readable
    EXPECT_EQ((Report{Read(m, kRegLevel, 2)[4], Read(m, kRegLevel, 2)[5]}), (Report{2, 12}));
    EXPECT_EQ(Read(m, kRegProfile, 2), (Report{4, 2, 0xFF, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Read(m, kRegLock, 1)[4], 0);
    EXPECT_TRUE(Drain(m).empty());  // read requests are not acknowledged
    // The answer reflects the state at the time it is fetched.
    const Report req = Command(4, 0x0040, 1);
    ASSERT_TRUE(m.SetFeature(kVendorUsagePage, kReadUsage, req.data(), req.size()));
    ASSERT_TRUE(Write(m, 0x0040, {0x77}));
    Report answer(16, 0);
    answer[0] = 4;
    ASSERT_TRUE(m.GetFeature(kVendorUsagePage, kReadUsage, answer.data(), answer.size()));
    EXPECT_EQ(answer[4], 0x77);
}

TEST(Reads, RefusedRequestsLeaveAnAnswerWithoutData) {
    VirtualMouse m;
    for (const Report& bad : {Command(4, 0x0807, 12), Command(4, 0x0010, 0), Command(4, 0x0010, 13),
                              Command(4, 0xFF03, 1), Command(4, 0x1000, 1)}) {
        ASSERT_FALSE(Read(m, 0x0005, 1).empty());  // a good request first
        EXPECT_FALSE(m.SetFeature(kVendorUsagePage, kReadUsage, bad.data(), bad.size()));
        Report answer(16, 0xEE);
        answer[0] = 4;
        ASSERT_TRUE(m.GetFeature(kVendorUsagePage, kReadUsage, answer.data(), answer.size()));
        EXPECT_EQ(answer[3], 0);
        EXPECT_EQ(Report(answer.begin() + 4, answer.end()), Report(12, 0));
    }
}

TEST(Reads, GetFeatureNeedsAWholeBufferTheRightIdAndCollection) {
    VirtualMouse m;
    Report small(15, 0xEE);
    small[0] = 4;
    EXPECT_FALSE(m.GetFeature(kVendorUsagePage, kReadUsage, small.data(), small.size()));
    EXPECT_EQ(small, Report({4, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
                             0xEE, 0xEE, 0xEE}));
    Report answer(16, 0);
    answer[0] = 3;
    EXPECT_FALSE(m.GetFeature(kVendorUsagePage, kReadUsage, answer.data(), answer.size()));
    answer[0] = 4;
    EXPECT_FALSE(m.GetFeature(kVendorUsagePage, kWriteUsage, answer.data(), answer.size()));
    EXPECT_TRUE(m.GetFeature(kVendorUsagePage, kReadUsage, answer.data(), answer.size()));
}

TEST(Eeprom, LoadTakesTheImageAndItsLiveStateButOnlyWholeImages) {
    VirtualMouse m;
    Report image(m.Eeprom(), m.Eeprom() + kEepromSize);
    image[5] = 0x60;
    image[0x0811] = 0x5A;
    EXPECT_FALSE(m.LoadEeprom(image.data(), image.size() - 1));
    EXPECT_EQ(m.Eeprom()[0x0811], 0);
    ASSERT_TRUE(m.LoadEeprom(image.data(), image.size()));
    EXPECT_EQ(m.Eeprom()[0x0811], 0x5A);
    EXPECT_EQ(m.Live().activeProfile, 3);
    // Garbage in the stored settings gives a usable state, not an impossible one.
    image[5] = 0x00;
    image[6] = 9;
    image[7] = 0x0F;
    image[8] = 0;
    ASSERT_TRUE(m.LoadEeprom(image.data(), image.size()));
    EXPECT_EQ(m.Live().activeProfile, 1);
    EXPECT_EQ(m.Live().pollingCode, 0);
    EXPECT_EQ(m.Live().levelIndex, 0);
    EXPECT_EQ(m.Live().dpiSteps[0], 1);
    m.FactoryReset();
    EXPECT_EQ(m.Eeprom()[5], 0x20);
    EXPECT_EQ(m.Eeprom()[0x0811], 0);
}

}  // namespace
}  // namespace vmouse
