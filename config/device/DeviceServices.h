#pragma once
// The outside world as the device core reaches it.
#include "platform/DeviceChannel.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/Timers.h"
#include "platform/Waits.h"
#include "platform/WindowMessenger.h"

namespace device {

struct DeviceServices {
    platform::DeviceChannel& channel;
    platform::SettingsStore& store;
    platform::Timers& timers;
    platform::Waits& waits;
    platform::WindowMessenger& messenger;
    platform::Shell& shell;
};

}  // namespace device
