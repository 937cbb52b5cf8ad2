// The light dialog's core against the virtual mouse.
#include <gtest/gtest.h>

#include "tests/native/performance/PerformanceRig.h"

using performance::LevelAndLightsByte;
using performance::Light;

namespace {

using Lines = std::vector<std::string>;

class LightDialogTest : public ::testing::Test, protected PerformanceRig {};

TEST_F(LightDialogTest, WheelOffThenOkAtLevelTwoWritesTheByteAndWaitsForTheAnswer) {
    lights = {1, 1};
    record.LevelNumber = 2;
    light.Show();
    EXPECT_EQ(light.Picture(Light::Wheel), L"On0.bmp");
    light.Press(Light::Wheel, true);
    EXPECT_EQ(light.Picture(Light::Wheel), L"On1.bmp");
    ASSERT_TRUE(light.Switch(0));
    EXPECT_EQ(light.Picture(Light::Wheel), L"Off1.bmp");
    EXPECT_EQ(mouse.Live().wheelLight, 0);
    EXPECT_EQ(lights.WheelLight, 1) << "only OK or Apply change the stored state";

    const std::size_t mark = Mark();
    EXPECT_TRUE(light.WriteLightsEeprom(true).ok);
    EXPECT_EQ(SentSince(mark), (Lines{"03 07 00 01 21 00", "03 06 FF 01 01 00"}));
    EXPECT_EQ(channel.sent[mark + 1].at - channel.sent[mark].at, std::chrono::milliseconds{60});
    EXPECT_EQ(mouse.Eeprom()[7], 0x21);
    EXPECT_EQ(lights.WheelLight, 0);
    EXPECT_EQ(lights.LogoLight, 1);
    EXPECT_EQ(reportState.value, device::kReportStateLightDialog);
    EXPECT_EQ(SentSince(0, 4)[0], "03 03 FF 01");
}

TEST_F(LightDialogTest, CancelAfterOnSendsTheStoredStatesBack) {
    lights = {0, 1};
    light.Show();
    light.Press(Light::Wheel, true);
    light.Switch(1);
    light.Cancel();
    EXPECT_EQ(SentSince(0), (Lines{"03 03 FF 01 01 00", "03 03 FF 01 00 00", "03 04 FF 01 01 00"}));
    EXPECT_EQ(light.State(Light::Wheel), 0);
    EXPECT_EQ(mouse.Eeprom()[7], 0x32) << "the EEPROM is left as it was";
}

TEST_F(LightDialogTest, AMiddlePressSelectsNothingAndApplyKeepsTheDialogOpen) {
    lights = {1, 1};
    light.Show();
    light.Press(Light::Logo, true);
    light.Press(Light::Wheel, false);
    EXPECT_EQ(light.Picture(Light::Logo), L"On0.bmp");
    EXPECT_FALSE(light.Selected(Light::Logo)) << "a light that looks unchosen is not switched";
    EXPECT_FALSE(light.Switch(0));
    EXPECT_TRUE(channel.sent.empty());

    light.Press(Light::Logo, true);
    light.Switch(0);
    light.MoveOver(Light::Wheel);
    EXPECT_EQ(light.Picture(Light::Wheel), L"On0.bmp");
    record.LevelNumber = 1;
    light.WriteLightsEeprom(false);
    EXPECT_EQ(lights.LogoLight, 0);
    EXPECT_EQ(reportState.value, device::kReportStateIdle);
    EXPECT_EQ(mouse.Eeprom()[7], 0x10);

    channel.plugged = false;
    EXPECT_FALSE(light.WriteLightsEeprom(true).ok);
    EXPECT_EQ(reportState.value, device::kReportStateIdle) << "no answer is waited for";
}

TEST_F(LightDialogTest, ARefusedOkKeepsTheStoredStatesForThePicturesAndCancel) {
    lights = {1, 1};
    record.LevelNumber = 2;
    light.Show();
    light.Press(Light::Wheel, true);
    light.Switch(0);
    channel.plugged = false;
    EXPECT_FALSE(light.WriteLightsEeprom(true).ok);
    EXPECT_EQ(lights.WheelLight, 1) << "nothing was stored, so nothing is committed";
    EXPECT_EQ(lights.LogoLight, 1);
    EXPECT_FALSE(light.WriteLightsEeprom(false).ok);
    EXPECT_EQ(lights.WheelLight, 1);

    channel.plugged = true;
    const std::size_t mark = Mark();
    light.Cancel();
    EXPECT_EQ(SentSince(mark), (Lines{"03 03 FF 01 01 00", "03 04 FF 01 01 00"}))
        << "the wheel goes back on, as stored";
    EXPECT_EQ(mouse.Live().wheelLight, 1);
}

TEST(LevelAndLightsByte, LevelBitsAndLightBits) {
    using performance::LevelAndLightsByte;
    EXPECT_EQ(LevelAndLightsByte(2, {1, 0}), 0x11);
    EXPECT_EQ(LevelAndLightsByte(1, {1, 1}), 0x30);
    EXPECT_EQ(LevelAndLightsByte(4, {0, 0}), 0x03);
    EXPECT_EQ(LevelAndLightsByte(0, {0, 1}), 0x20) << "level 0 would set every bit";
    EXPECT_EQ(LevelAndLightsByte(128, {0, 2}), 0x23);
}

}  // namespace
