#include <gtest/gtest.h>

#include "device/CommandReport.h"
#include "tests/native/device/MouseRig.h"

using device::CommandReport;
using device::kAddressActiveProfile;
using device::kAddressLiveProfile;
using device::kReportStateIdle;
using device::kReportStateProfileEvent;
using device::MakeApplyCommand;
using device::MakeWriteCommand;
using device::Query;
using device::ReadAnswer;
using device::SendCommand;

namespace {

TEST(CommandReport, ProfileQueryIsSentOnTheReadCollectionAndAnswered) {
    MouseRig rig;
    rig.mouse.PressProfile();  // profile 2
    rig.DeliverInputs();
    rig.state.deviceReportState.value = kReportStateProfileEvent;
    const auto before = rig.time.Now();

    const auto answer =
        Query(rig.channel, rig.time, rig.state.deviceReportState, kAddressLiveProfile, 2);

    ASSERT_EQ(rig.channel.sent.size(), 1u);
    EXPECT_EQ(rig.channel.sent[0].usage, 0x0002);
    EXPECT_EQ(rig.channel.sent[0].bytes, Bytes({0x04, 0x02, 0xFF, 0x02}));
    EXPECT_EQ(answer[0], 4);
    EXPECT_EQ(answer[4], 2);
    EXPECT_EQ(rig.state.deviceReportState.value, kReportStateIdle);
    EXPECT_EQ(rig.time.Now() - before, std::chrono::milliseconds{3});
}

TEST(CommandReport, WritesGoToTheWriteCollectionWithExactBytes) {
    MouseRig rig;
    const std::uint8_t five[] = {0xA0};
    SendCommand(rig.channel, MakeWriteCommand(kAddressActiveProfile, five));
    SendCommand(rig.channel, MakeApplyCommand());

    ASSERT_EQ(rig.channel.sent.size(), 2u);
    EXPECT_EQ(rig.channel.sent[0].usage, 0xFF00);
    EXPECT_EQ(rig.channel.sent[0].bytes, Bytes({0x03, 0x05, 0x00, 0x01, 0xA0}));
    EXPECT_EQ(rig.channel.sent[1].bytes, Bytes({0x03, 0x06, 0xFF, 0x01, 0x01}));
    EXPECT_EQ(rig.mouse.Eeprom()[5], 0xA0);
    EXPECT_EQ(rig.mouse.Stats().writesAccepted, 2u);
}

TEST(CommandReport, OnlyReportIdsThreeAndFourAreSent) {
    MouseRig rig;
    for (int id : {0, 1, 2, 5, 0xFF})
        EXPECT_EQ(
            SendCommand(rig.channel, Bytes({static_cast<std::uint8_t>(id), 0x05, 0x00, 1, 0x40})),
            0);
    EXPECT_TRUE(rig.channel.sent.empty());
}

TEST(CommandReport, WriteDataIsCutAtTwelveBytes) {
    std::array<std::uint8_t, 20> data{};
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i + 1);
    const auto report = MakeWriteCommand(0x1234, data);
    EXPECT_EQ(report, Bytes({3, 0x34, 0x12, 12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(CommandReport, MissingMouseAnswersFourAndZeros) {
    MouseRig rig;
    rig.channel.plugged = false;
    CommandReport buffer;
    buffer.fill(0xEE);  // whatever was there before is replaced by the prepared request
    EXPECT_EQ(ReadAnswer(rig.channel, buffer), 0);
    EXPECT_EQ(buffer, Bytes({4}));
    const auto answer =
        Query(rig.channel, rig.time, rig.state.deviceReportState, kAddressLiveProfile, 2);
    EXPECT_EQ(answer[4], 0);
}

}  // namespace
