// The device list and change watch: initial search, arrival, removal and their messages.
#include <gtest/gtest.h>

#include "portivo/DeviceAccess.h"
#include "tests/native/portivo/FakeHidPlatform.h"

namespace portivo {
namespace {

using testing::FakeHidPlatform;
using testing::kPid;
using testing::kVid;
using testing::Posted;

constexpr std::uintptr_t kWindow = 0x1234;
const Path kWritePath =
    u"\\\\?\\hid#vid_1d57&pid_5502&col01#7&1&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const Path kReadPath =
    u"\\\\?\\hid#vid_1d57&pid_5502&col02#7&1&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}";

Path Upper(Path p) {
    for (auto& c : p)
        if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
    return p;
}

class DeviceListTest : public ::testing::Test {
  protected:
    FakeHidPlatform hid;
    DeviceAccess access{hid};
    DeviceSpec specs[2] = {{kVid, kPid, 0xFF00, 0xFF00}, {kVid, kPid, 0xFF00, 0x0002}};

    void AddMouse() {
        hid.Add(u"\\\\?\\hid#vid_046d&pid_c077#keyboard", 0x046D, 0xC077, 0x0001, 0x0006);
        hid.Add(kWritePath, kVid, kPid, 0xFF00, 0xFF00);
        hid.Add(kReadPath, kVid, kPid, 0xFF00, 0x0002);
    }
    void Start() {
        ASSERT_TRUE(access.Register(kWindow, specs, 2));
        access.InitialSearch();
    }
};

TEST_F(DeviceListTest, SearchListsBothCollectionsInEnumerationOrderWithUpperCasePaths) {
    AddMouse();
    Start();
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x600, 0}, {kWindow, 0x600, 1}}));
    ASSERT_EQ(access.List().Count(), 2u);
    EXPECT_EQ(access.List().Entries()[0].path, Upper(kWritePath));
    EXPECT_EQ(access.List().Entries()[1].path, Upper(kReadPath));
    EXPECT_EQ(access.List().Entries()[1].ids, (DeviceIds{kVid, kPid, 0xFF00, 0x0002}));
    EXPECT_EQ(hid.openHandles, 0) << "every handle the search opened is closed";
    EXPECT_EQ(hid.debug.front(), u"HidDevListAdd() -> " + Upper(kWritePath) + u"\n");
}

TEST_F(DeviceListTest, SearchWithoutMatchPostsExactlyOneNoneLeft) {
    hid.Add(u"\\\\?\\hid#other", kVid, kPid, 0xFF00, 0x0003);  // same device, other usage
    Start();
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x700, 0xFFFFFFFF}}));
    EXPECT_TRUE(access.List().Empty());
}

TEST_F(DeviceListTest, SearchSkipsPathsThatCannotBeOpenedOrQueried) {
    AddMouse();
    hid.collections[1].openFails = true;
    hid.collections[2].queryFails = true;
    Start();
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x700, 0xFFFFFFFF}}));
    EXPECT_EQ(hid.openHandles, 0);
}

TEST_F(DeviceListTest, SearchFailuresThatEndItPostNothingAtAll) {
    AddMouse();
    hid.setFails = true;
    Start();
    EXPECT_TRUE(hid.posted.empty());

    FakeHidPlatform hid2;
    DeviceAccess access2{hid2};
    hid2.Add(kWritePath, kVid, kPid, 0xFF00, 0xFF00);
    hid2.detailFailsAt = 0;
    access2.Register(kWindow, specs, 2);
    access2.InitialSearch();
    EXPECT_TRUE(hid2.posted.empty()) << "not even the none-left message";
}

TEST_F(DeviceListTest, EnumerationErrorsSkipOneIndexAndNeverLoopForever) {
    AddMouse();
    hid.enumFailsAt = {1};  // the write collection's index
    Start();
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x600, 1}}));

    FakeHidPlatform broken;
    DeviceAccess access2{broken};
    broken.enumAlwaysFails = true;
    access2.Register(kWindow, specs, 2);
    access2.InitialSearch();
    EXPECT_EQ(broken.enumCalls, DeviceAccess::kMaxEnumFailuresInARow);
    EXPECT_EQ(broken.posted, (std::vector<Posted>{{kWindow, 0x700, 0xFFFFFFFF}}));
}

TEST_F(DeviceListTest, SecondRegistrationChangesNothing) {
    ASSERT_TRUE(access.Register(kWindow, specs, 2));
    DeviceSpec other[1] = {{1, 2, 3, 4}};
    EXPECT_FALSE(access.Register(0x9999, other, 1));
    AddMouse();
    access.InitialSearch();
    ASSERT_EQ(hid.posted.size(), 2u);
    EXPECT_EQ(hid.posted[0].window, kWindow);
}

TEST_F(DeviceListTest, UnplugPostsRemovedForTheFirstThenNoneLeftOnly) {
    AddMouse();
    Start();
    hid.posted.clear();
    access.OnRemoval(kWritePath);
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x800, 0}}));
    access.OnRemoval(kReadPath);
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x800, 0}, {kWindow, 0x700, 0xFFFFFFFF}}));
    EXPECT_TRUE(access.List().Empty());
    EXPECT_EQ(hid.debug.back(), u"HidDevListDel() -> " + Upper(kReadPath) + u"\n");
}

TEST_F(DeviceListTest, RemovalMatchesPathsIgnoringLetterCaseAndIgnoresUnlistedOnes) {
    AddMouse();
    Start();
    hid.posted.clear();
    access.OnRemoval(u"\\\\?\\hid#not-listed");
    EXPECT_TRUE(hid.posted.empty());
    EXPECT_EQ(access.List().Count(), 2u);
    access.OnRemoval(Upper(kReadPath));  // the system may report either case
    EXPECT_EQ(access.List().Count(), 1u);
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x800, 1}}));
}

TEST_F(DeviceListTest, ReplugPostsPresentPerCollectionAsEachArrives) {
    AddMouse();
    Start();
    access.OnRemoval(kWritePath);
    access.OnRemoval(kReadPath);
    hid.posted.clear();
    access.OnArrival(kReadPath);
    access.OnArrival(kWritePath);
    access.OnArrival(u"\\\\?\\hid#vid_046d&pid_c077#keyboard");  // not ours
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x600, 1}, {kWindow, 0x600, 0}}));
    ASSERT_EQ(access.List().Count(), 2u);
    EXPECT_EQ(access.List().Entries()[0].path, Upper(kReadPath)) << "appended in arrival order";
    EXPECT_EQ(hid.openHandles, 0);
    EXPECT_NE(std::find(hid.debug.begin(), hid.debug.end(),
                        u"VID = 1d57, PID = 5502, UsagePage = ff00, Usage = 0002\n"),
              hid.debug.end());
}

TEST_F(DeviceListTest, ArrivalThatCannotBeOpenedForReportsIsIgnored) {
    AddMouse();
    hid.collections[1].readWriteFails = true;
    ASSERT_TRUE(access.Register(kWindow, specs, 2));
    access.OnArrival(kWritePath);
    EXPECT_TRUE(hid.posted.empty());
    EXPECT_TRUE(access.List().Empty());
    EXPECT_EQ(hid.openHandles, 0);
}

TEST_F(DeviceListTest, TwoRecordsForOneCollectionListItTwiceAndOneRemovalTakesBoth) {
    DeviceSpec twice[3] = {
        {kVid, kPid, 0xFF00, 0xFF00}, {kVid, kPid, 0xFF00, 0x0002}, {kVid, kPid, 0xFF00, 0xFF00}};
    AddMouse();
    ASSERT_TRUE(access.Register(kWindow, twice, 3));
    access.InitialSearch();
    EXPECT_EQ(hid.posted,
              (std::vector<Posted>{{kWindow, 0x600, 0}, {kWindow, 0x600, 2}, {kWindow, 0x600, 1}}));
    ASSERT_EQ(access.List().Count(), 3u);
    hid.posted.clear();
    access.OnRemoval(kWritePath);
    EXPECT_EQ(access.List().Count(), 1u);
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x800, 0}, {kWindow, 0x800, 2}}));
}

TEST_F(DeviceListTest, PathsOfFiveHundredTwelveUnitsOrMoreAreIgnoredSafely) {
    const Path longest(511, u'a');
    const Path tooLong(512, u'b');
    hid.Add(longest, kVid, kPid, 0xFF00, 0xFF00);
    hid.Add(tooLong, kVid, kPid, 0xFF00, 0x0002);
    Start();
    ASSERT_EQ(access.List().Count(), 1u);
    EXPECT_EQ(access.List().Entries()[0].path, Path(511, u'A'));
    access.OnArrival(tooLong);
    access.OnRemoval(Path(4000, u'c'));
    EXPECT_EQ(access.List().Count(), 1u);
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x600, 0}}));
}

TEST_F(DeviceListTest, NullOrNegativeTableMatchesNothing) {
    AddMouse();
    ASSERT_TRUE(access.Register(kWindow, nullptr, 5));
    access.InitialSearch();
    EXPECT_EQ(hid.posted, (std::vector<Posted>{{kWindow, 0x700, 0xFFFFFFFF}}));

    FakeHidPlatform hid2;
    DeviceAccess access2{hid2};
    hid2.Add(kWritePath, kVid, kPid, 0xFF00, 0xFF00);
    access2.Register(kWindow, specs, -1);
    access2.InitialSearch();
    EXPECT_EQ(hid2.posted, (std::vector<Posted>{{kWindow, 0x700, 0xFFFFFFFF}}));
}

}  // namespace
}  // namespace portivo
