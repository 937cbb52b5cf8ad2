#pragma once
// What every attach of the mouse does for the performance settings: take the Windows pointer
// settings and the mouse's active level into the record, and create the Performance keys once.
#include "platform/DeviceChannel.h"
#include "device/DeviceReportState.h"
#include "performance/PerformanceRecord.h"
#include "performance/PointerSettings.h"
#include "platform/SettingsStore.h"
#include "platform/Waits.h"

namespace performance {

// Returns whether the keys were created (false when they were there already or could not be
// opened).
bool EnsurePerformanceKeys(PerformanceRecord& record, const PointerSettings& pointer,
                           platform::DeviceChannel& channel, platform::Waits& waits,
                           device::DeviceReportState& reportState, platform::SettingsStore& store);

}  // namespace performance
