#pragma once
// What the light dialog does, apart from its window: choosing a light, switching it live, and
// storing both states in the mouse (address 7, shared with the active DPI level).
#include <cstdint>
#include <string>

#include "platform/DeviceChannel.h"
#include "device/DeviceReportState.h"
#include "device/LightState.h"
#include "performance/PerformanceDialog.h"
#include "performance/PerformanceRecord.h"
#include "platform/Waits.h"

namespace performance {

enum class Light { Wheel, Logo };

class LightDialog {
  public:
    LightDialog(device::LightState& lights, const PerformanceRecord& record,
                device::DeviceReportState& reportState, platform::DeviceChannel& channel,
                platform::Waits& waits);

    // FormShow: both lights as stored, nothing selected.
    void Show();
    // A press on a light: the other one is unselected; only a left or right press (selects)
    // selects the pressed one.
    void Press(Light light, bool selects);
    // The pointer over a light that is not highlighted shows it unselected again.
    void MoveOver(Light light);
    // On and Off switch the selected light live; false when none is selected.
    bool Switch(std::uint8_t on);

    // OK (closing) and Apply: both states into the mouse's EEPROM, and into LightState once the
    // mouse has taken them. After OK the dialog waits for the mouse's answer, which the main
    // window routes.
    DeviceWriteResult WriteLightsEeprom(bool closing);
    // Cancel: the stored states go back to the mouse.
    void Cancel();

    // The picture suffix each light shows: "On0.bmp", "On1.bmp", "Off0.bmp" or "Off1.bmp".
    const std::wstring& Picture(Light light) const;
    std::uint8_t State(Light light) const { return light == Light::Wheel ? wheel_ : logo_; }
    bool Selected(Light light) const {
        return light == Light::Wheel ? wheelSelected_ : logoSelected_;
    }

  private:
    void ShowPicture(Light light, bool selected);
    void SendLight(Light light, std::uint8_t on);

    device::LightState& lights_;
    const PerformanceRecord& record_;
    device::DeviceReportState& reportState_;
    platform::DeviceChannel& channel_;
    platform::Waits& waits_;

    bool logoSelected_ = false;
    bool wheelSelected_ = false;
    bool wheelHighlighted_ = false;
    bool logoHighlighted_ = false;
    std::uint8_t wheel_ = 0;
    std::uint8_t logo_ = 0;
    std::wstring wheelPicture_ = L"Off0.bmp";
    std::wstring logoPicture_ = L"Off0.bmp";
};

}  // namespace performance
