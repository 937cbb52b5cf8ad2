#include "performance/LightDialog.h"

#include <chrono>

#include "device/CommandReport.h"
#include "performance/PerformanceTables.h"

namespace performance {

using device::DeviceReportState;
using device::kReportStateIdle;
using device::kReportStateLightDialog;
using device::kReportStateLightWrite;
using device::LightState;
using device::MakeApplyCommand;
using device::MakeWriteCommand;
using device::SendCommand;

namespace {
constexpr std::chrono::milliseconds kLightWriteWait{60};
}  // namespace

LightDialog::LightDialog(LightState& lights, const PerformanceRecord& record,
                         DeviceReportState& reportState, platform::DeviceChannel& channel,
                         platform::Waits& waits)
    : lights_(lights),
      record_(record),
      reportState_(reportState),
      channel_(channel),
      waits_(waits) {}

void LightDialog::Show() {
    wheel_ = lights_.WheelLight ? 1 : 0;
    logo_ = lights_.LogoLight ? 1 : 0;
    ShowPicture(Light::Wheel, false);
    ShowPicture(Light::Logo, false);
    logoSelected_ = wheelSelected_ = wheelHighlighted_ = logoHighlighted_ = false;
}

const std::wstring& LightDialog::Picture(Light light) const {
    return light == Light::Wheel ? wheelPicture_ : logoPicture_;
}

void LightDialog::ShowPicture(Light light, bool selected) {
    std::wstring suffix = State(light) ? L"On" : L"Off";
    suffix += selected ? L"1.bmp" : L"0.bmp";
    (light == Light::Wheel ? wheelPicture_ : logoPicture_) = std::move(suffix);
}

void LightDialog::Press(Light light, bool selects) {
    const Light other = light == Light::Wheel ? Light::Logo : Light::Wheel;
    ShowPicture(other, false);
    // The other light no longer looks chosen, so On and Off must not act on it either.
    (other == Light::Wheel ? wheelSelected_ : logoSelected_) = false;
    if (!selects) return;
    ShowPicture(light, true);
    (light == Light::Wheel ? wheelHighlighted_ : logoHighlighted_) = true;
    (light == Light::Wheel ? wheelSelected_ : logoSelected_) = true;
}

void LightDialog::MoveOver(Light light) {
    const bool highlighted = light == Light::Wheel ? wheelHighlighted_ : logoHighlighted_;
    if (!highlighted) ShowPicture(light, false);
}

void LightDialog::SendLight(Light light, std::uint8_t on) {
    const std::uint8_t data[] = {on};
    SendCommand(channel_, MakeWriteCommand(light == Light::Wheel ? kLiveWheel : kLiveLogo, data));
}

bool LightDialog::Switch(std::uint8_t on) {
    on = on ? 1 : 0;
    Light light;
    if (wheelSelected_) {
        light = Light::Wheel;
        wheel_ = on;
        wheelHighlighted_ = true;
    } else if (logoSelected_) {
        light = Light::Logo;
        logo_ = on;
        logoHighlighted_ = true;
    } else {
        return false;
    }
    SendLight(light, on);
    ShowPicture(light, true);
    return true;
}

DeviceWriteResult LightDialog::WriteLightsEeprom(bool closing) {
    // LightState is what the mouse stores: the main window's pictures and Cancel read it, so it
    // takes the dialog's states only once the mouse has taken them.
    const LightState chosen{wheel_, logo_};
    // In this state the main window answers the write's acknowledgement with the apply command.
    reportState_.value = kReportStateLightWrite;
    const std::uint8_t data[] = {LevelAndLightsByte(record_.LevelNumber, chosen)};
    const bool written = SendCommand(channel_, MakeWriteCommand(kEepromLevelAndLights, data)) == 1;
    waits_.Wait(kLightWriteWait);
    const auto refused = [this] {
        // No answer will come: the dialog must not wait for one.
        reportState_.value = kReportStateIdle;
        return DeviceWriteResult{false,
                                 L"The mouse did not take the light settings. Please check that "
                                 L"it is plugged in and try again."};
    };
    if (!written) return refused();
    reportState_.value = closing ? kReportStateLightDialog : kReportStateIdle;
    const bool applied = SendCommand(channel_, MakeApplyCommand()) == 1;
    waits_.Wait(kLightWriteWait);
    if (!applied) return refused();
    lights_ = chosen;
    return {};
}

void LightDialog::Cancel() {
    // An OK whose answer never came is given up: no later report may close the dialog.
    if (reportState_.value == kReportStateLightDialog) reportState_.value = kReportStateIdle;
    wheel_ = lights_.WheelLight ? 1 : 0;
    logo_ = lights_.LogoLight ? 1 : 0;
    SendLight(Light::Wheel, wheel_);
    SendLight(Light::Logo, logo_);
}

}  // namespace performance
