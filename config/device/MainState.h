#pragma once
// The process-wide state the main window owns and the other windows read and change.
#include <optional>

#include "device/ButtonRecord.h"
#include "device/ButtonSlotTable.h"
#include "device/DeviceReportState.h"
#include "device/LightState.h"
#include "device/Notice.h"

namespace device {

struct MainState {
    int CurrentProfile = 0;  // 0..4
    int CurrentButton = 0;   // 0 left, 1 right, 2 middle, 3 first side, 4 second side
    int PendingProfile = -1;
    bool ExitAfterWrite = false;
    // The notice the message windows show or showed last; none before the first.
    std::optional<Notice> MessageIndex;
    // The hex-text records of the current profile, one per button, as the window holds them.
    ProfileRecordTexts recordTexts = InitialRecordTexts();
    ButtonSlotTable slotTable{};
    EepromImage eepromImage{};
    LightState lightState{};
    DeviceReportState deviceReportState{};
};

}  // namespace device
