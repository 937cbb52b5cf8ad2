#pragma once
// The main window's side of the mouse coming and going and of what it reports: the attach
// sequence, the device-report handler with its launch check, the active profile read-back,
// and the switch of the mouse's active profile.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "device/DeviceServices.h"
#include "device/MainState.h"
#include "device/MainView.h"
#include "device/ProfileWrite.h"

namespace device {

inline constexpr std::string_view kDeviceAttachTimer = "DeviceAttachTimer";
inline constexpr std::string_view kShowLightTimer = "ShowLightTimer";
inline constexpr auto kDeviceAttachInterval = std::chrono::milliseconds{1300};
inline constexpr auto kShowLightInterval = std::chrono::milliseconds{200};
inline constexpr auto kSwitchWait = std::chrono::milliseconds{16};

// Collections whose input reports the input component delivers.
inline constexpr std::array<std::uint16_t, 3> kReportUsagePages = {0x0007, 0xFF00, 0xFF00};
inline constexpr std::array<std::uint16_t, 3> kReportUsages = {0x0003, 0xFF00, 0x0002};

class DeviceSession {
  public:
    DeviceSession(MainState& state, DeviceServices& services, ProfileWriter& writer,
                  MainView& view);

    // Window creation: DeviceAttachTimer runs from the start.
    void StartAttachTimer();
    void OnCollectionPresent();  // 0x600
    void OnNoCollectionLeft();   // 0x700
    // 0x515: the sender's ids and the report bytes (the first 8 are used; missing ones are 0).
    void OnDeviceReport(std::uint32_t vendorId, std::uint32_t productId,
                        std::span<const std::uint8_t> report);
    void OnProfileChanged(std::uintptr_t profileNumber);  // 0x641, 1..5

    // ShowLightTimer: reads the lights back from the mouse 200 ms from now and shows them.
    void StartShowLightTimer();
    void ReadActiveProfile();

    // Run at each attach once the active profile is read. The program entry wires what else an
    // attached mouse needs (the performance keys), which this library does not know of.
    std::function<void()> OnAttach;
    // n = 1..5; other values send nothing. While a profile write runs the switch waits for its
    // end: its answer would otherwise take the acknowledgements the write waits for.
    void SwitchDeviceProfile(int profileNumber);
    // Makes profile index p current, loads it from the store and shows it. Unsaved changes of
    // the window are dropped with the records they were made to, so nothing is pending after.
    void SelectProfile(int profileIndex);

  private:
    void OnAttachTimer();
    void OnShowLightTimer();
    void LaunchCheck(std::uint8_t code);
    void SendProfileSwitch(int profileNumber);
    void OnWriterIdle();

    MainState& state_;
    DeviceServices& services_;
    ProfileWriter& writer_;
    MainView& view_;
    // Asked for during a profile write, done after it: a switch of the mouse's profile, and a
    // change of profile the display program reported.
    int heldSwitch_ = 0;
    int heldProfileChange_ = 0;
    // The light read came due while a write ran: done when the write is over.
    bool lightReadDeferred_ = false;
};

}  // namespace device
