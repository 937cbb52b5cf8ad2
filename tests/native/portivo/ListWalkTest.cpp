// The list walk behind every device operation, and the operations' results and debug lines.
#include <gtest/gtest.h>

#include <array>

#include "portivo/DeviceAccess.h"
#include "tests/native/portivo/FakeHidPlatform.h"

namespace portivo {
namespace {

using testing::FakeHidPlatform;
using testing::kPid;
using testing::kVid;

const Path kWalkWritePath = u"\\\\?\\HID#VID_1D57&PID_5502&COL01#1";
const Path kWalkReadPath = u"\\\\?\\HID#VID_1D57&PID_5502&COL02#1";

class ListWalkTest : public ::testing::Test {
  protected:
    FakeHidPlatform hid;
    DeviceAccess access{hid};
    DeviceSpec specs[2] = {{kVid, kPid, 0xFF00, 0xFF00}, {kVid, kPid, 0xFF00, 0x0002}};

    void Start() {
        ASSERT_TRUE(access.Register(1, specs, 2));
        access.InitialSearch();
        hid.debug.clear();
        hid.opened.clear();
    }
    void AddMouse() {
        hid.Add(kWalkWritePath, kVid, kPid, 0xFF00, 0xFF00, 0x0103);
        auto& read = hid.Add(kWalkReadPath, kVid, kPid, 0xFF00, 0x0002, 0x0103);
        read.featureAnswer = {4, 2, 0xFF, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        read.text = u"Tavrine";
    }
};

TEST_F(ListWalkTest, SetFeatureGoesOnlyToTheNamedCollectionWithItsReportLength) {
    AddMouse();
    hid.collections[0].info.featureReportLength = 16;
    Start();
    std::array<std::uint8_t, 32> report{3, 5, 0, 1, 0xA0};
    EXPECT_EQ(access.SetKbdFeatures(kVid, kPid, 0xFF00, 0xFF00, report.data()), 1);
    ASSERT_EQ(hid.sent.size(), 1u);
    EXPECT_EQ(hid.sent[0].path, kWalkWritePath);
    EXPECT_EQ(hid.sent[0].bytes, std::vector<std::uint8_t>(report.begin(), report.begin() + 16));
    EXPECT_EQ(hid.debug, (std::vector<std::u16string>{
                             u"SetKbdFeature() to VID = 1d57, PID = 5502, Ver = 0103, "
                             u"UsgPg = ff00, Usg = ff00\n"}));
    EXPECT_EQ(hid.openHandles, 0);
}

TEST_F(ListWalkTest, UnlistedCollectionSendsNothingAndReturnsZero) {
    AddMouse();
    Start();
    std::uint8_t report[16] = {3};
    EXPECT_EQ(access.SetKbdFeatures(kVid, kPid, 0xFF00, 0x0001, report), 0);
    EXPECT_EQ(access.SetKbdFeatures(kVid + 1, kPid, 0xFF00, 0xFF00, report), 0);
    // The ids are 16-bit: a wider value never matches.
    EXPECT_EQ(access.SetKbdFeatures(kVid, kPid, 0x1FF00, 0xFF00, report), 0);
    EXPECT_TRUE(hid.sent.empty());
    EXPECT_TRUE(hid.debug.empty());
}

TEST_F(ListWalkTest, GetFeatureFillsTheBufferOrLeavesItUntouched) {
    AddMouse();
    Start();
    std::array<std::uint8_t, 20> buffer{};
    buffer.fill(0xEE);
    buffer[0] = 4;
    EXPECT_EQ(access.GetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, buffer.data()), 1);
    EXPECT_EQ(buffer[4], 3);
    EXPECT_EQ(buffer[15], 0);
    EXPECT_EQ(buffer[16], 0xEE) << "only the collection's report length is written";

    // A longer report than the caller's 16 bytes: fetched whole, handed over up to 16 bytes;
    // sent with the caller's 16 bytes and zeros after them.
    hid.collections[1].info.featureReportLength = 64;
    hid.collections[1].featureAnswer.assign(64, 0x77);
    buffer.fill(0xEE);
    buffer[0] = 4;
    EXPECT_EQ(access.GetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, buffer.data()), 1);
    EXPECT_EQ(buffer[15], 0x77);
    EXPECT_EQ(buffer[16], 0xEE);
    EXPECT_EQ(access.SetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, buffer.data()), 1);
    ASSERT_EQ(hid.sent.back().bytes.size(), 64u);
    EXPECT_EQ(hid.sent.back().bytes[15], 0x77);
    EXPECT_EQ(hid.sent.back().bytes[16], 0x00);

    access.OnRemoval(kWalkWritePath);
    access.OnRemoval(kWalkReadPath);
    std::array<std::uint8_t, 16> untouched{};
    untouched.fill(0x5A);
    EXPECT_EQ(access.GetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, untouched.data()), 0);
    for (auto b : untouched) EXPECT_EQ(b, 0x5A);
}

TEST_F(ListWalkTest, ReportRejectedByTheDeviceGivesZero) {
    AddMouse();
    hid.collections[1].reportFails = true;
    Start();
    std::uint8_t buffer[16] = {4};
    EXPECT_EQ(access.GetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, buffer), 0);
    EXPECT_EQ(access.SetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, buffer), 0);
}

TEST_F(ListWalkTest, GoneCollectionIsSkippedButAnUnreadableOneEndsTheWholeCall) {
    AddMouse();
    Start();
    std::uint8_t report[16] = {4};
    hid.collections[0].openFails = true;  // unplugged, removal not handled yet
    EXPECT_EQ(access.SetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, report), 1);

    hid.collections[0].openFails = false;
    hid.collections[0].queryFails = true;  // listed first, cannot be read
    hid.sent.clear();
    EXPECT_EQ(access.SetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, report), 0);
    EXPECT_TRUE(hid.sent.empty()) << "the later, matching entry is never reached";
    EXPECT_EQ(hid.openHandles, 0);
}

TEST_F(ListWalkTest, SeveralMatchingEntriesEachRunAndTheLastResultCounts) {
    hid.Add(kWalkWritePath, kVid, kPid, 0xFF00, 0xFF00, 0x0101);
    hid.Add(u"\\\\?\\HID#SECOND", kVid, kPid, 0xFF00, 0xFF00, 0x0202);
    Start();
    int version = -1;
    EXPECT_EQ(access.GetFirmwareVer(kVid, kPid, 0xFF00, 0xFF00,
                                    reinterpret_cast<std::uint32_t*>(&version)),
              1);
    EXPECT_EQ(version, 0x0202);
    ASSERT_EQ(hid.debug.size(), 2u);
    EXPECT_EQ(
        hid.debug[1],
        u"GetFirmwareVer() from VID = 1d57, PID = 5502, Ver = 0202, UsgPg = ff00, Usg = ff00\n");

    hid.collections[1].reportFails = true;
    std::uint8_t report[16] = {3};
    EXPECT_EQ(access.SetKbdFeatures(kVid, kPid, 0xFF00, 0xFF00, report), 0);
    EXPECT_EQ(hid.sent.size(), 2u);
}

TEST_F(ListWalkTest, FirmwareVersionWithoutMatchLeavesTheIntegerAlone) {
    AddMouse();
    Start();
    std::uint32_t version = 77;
    EXPECT_EQ(access.GetFirmwareVer(kVid, kPid, 0x0001, 0x0002, &version), 0);
    EXPECT_EQ(version, 77u);
}

TEST_F(ListWalkTest, StringExportsEchoTheTextBoundedByTheBuffer) {
    AddMouse();
    Start();
    char16_t buffer[16] = {};
    EXPECT_EQ(access.GetString(StringKind::kManufacturer, kVid, kPid, 0xFF00, 0x0002, 0, buffer,
                               sizeof buffer),
              1);
    ASSERT_EQ(hid.debug.size(), 2u);
    EXPECT_EQ(hid.debug[0],
              u"GetManufacturerStr() from VID = 1d57, PID = 5502, Ver = 0103, "
              u"UsgPg = ff00, Usg = 0002\n");
    EXPECT_EQ(hid.debug[1], u"Tavrine\n");

    // A buffer exactly as long as the text has no terminator: the echo stops at its end.
    hid.debug.clear();
    char16_t tight[7];
    EXPECT_EQ(
        access.GetString(StringKind::kProduct, kVid, kPid, 0xFF00, 0x0002, 0, tight, sizeof tight),
        1);
    EXPECT_EQ(hid.debug[1], u"Tavrine\n");

    // A failed call echoes nothing, except for the indexed string.
    hid.collections[1].reportFails = true;
    hid.debug.clear();
    char16_t caller[4] = {u'x', u'y', 0, 0};
    EXPECT_EQ(access.GetString(StringKind::kSerialNumber, kVid, kPid, 0xFF00, 0x0002, 0, caller,
                               sizeof caller),
              0);
    EXPECT_EQ(hid.debug.size(), 1u);
    hid.debug.clear();
    EXPECT_EQ(access.GetString(StringKind::kIndexed, kVid, kPid, 0xFF00, 0x0002, 3, caller,
                               sizeof caller),
              0);
    ASSERT_EQ(hid.debug.size(), 2u);
    EXPECT_EQ(hid.debug[0].substr(0, 18), u"GetIndexStr() from");
    EXPECT_EQ(hid.debug[1], u"xy\n");
}

TEST_F(ListWalkTest, NullBuffersAreRefused) {
    AddMouse();
    Start();
    EXPECT_EQ(access.SetKbdFeatures(kVid, kPid, 0xFF00, 0xFF00, nullptr), 0);
    EXPECT_EQ(access.GetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, nullptr), 0);
    EXPECT_EQ(access.GetFirmwareVer(kVid, kPid, 0xFF00, 0x0002, nullptr), 0);
    EXPECT_TRUE(hid.opened.empty());
}

TEST_F(ListWalkTest, EveryCallOpensTheListedPathsAfresh) {
    AddMouse();
    Start();
    std::uint8_t buffer[16] = {4};
    access.GetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, buffer);
    access.GetKbdFeatures(kVid, kPid, 0xFF00, 0x0002, buffer);
    EXPECT_EQ(hid.opened, (std::vector<Path>{kWalkWritePath, kWalkReadPath, kWalkWritePath, kWalkReadPath}));
    EXPECT_EQ(hid.openHandles, 0);
}

}  // namespace
}  // namespace portivo
