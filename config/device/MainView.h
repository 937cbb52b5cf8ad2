#pragma once
// What the device core asks of the main window and its companion windows. The window side
// implements it; the core never sees a window handle.
#include <array>
#include <cstdint>

#include "device/LightState.h"
#include "device/Notice.h"

namespace device {

class MainView {
  public:
    virtual ~MainView() = default;
    // The main controls of the window (pictures, button areas, profiles, close).
    virtual void SetMainControlsEnabled(bool on) = 0;
    // The main window as a whole.
    virtual void SetWindowEnabled(bool on) = 0;
    // Shows a notice of the single-button window (NoDevice, NoLeftButton, WriteGivenUp, ...);
    // hides that window.
    virtual void ShowNotice(Notice notice) = 0;
    virtual void HideNoticeWindow() = 0;
    // Marks the picture of profile index p as selected and remembers it as the last one
    // switched to; the core has already made it current and loaded it.
    virtual void ShowProfileSelected(int profileIndex) = 0;
    // Shows the light state on the mouse picture.
    virtual void ShowLights(const LightState& lights) = 0;
    // Loads the logo and mouse pictures of an attached mouse.
    virtual void ShowAttachPictures() = 0;
    virtual void HideButtonMarker() = 0;
    // Completes and hides the light dialog when the mouse answered its write.
    virtual void FinishLightDialog() = 0;
    // Asks the input component to deliver the reports of these collections as message 0x515.
    virtual void RegisterDeviceReports(const std::array<std::uint16_t, 3>& usagePages,
                                       const std::array<std::uint16_t, 3>& usages) = 0;
    virtual void TerminateApplication() = 0;
};

}  // namespace device
