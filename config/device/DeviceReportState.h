#pragma once

namespace device {

// What the device-report handler waits for. One per process, held by the main window's state.

inline constexpr int kReportStateIdle = -1;
inline constexpr int kReportStateDpiEvent = 1;
inline constexpr int kReportStatePollingEvent = 2;
inline constexpr int kReportStateProfileEvent = 3;
inline constexpr int kReportStateLockEvent = 4;
inline constexpr int kReportStateProfileWrite = 5;
inline constexpr int kReportStateLightWrite = 6;
inline constexpr int kReportStateLightDialog = 7;
inline constexpr int kReportStateProfileSwitch = 8;

struct DeviceReportState {
    int value = kReportStateIdle;
};

}  // namespace device
