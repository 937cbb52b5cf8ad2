#pragma once
// The outside world as the device core reaches it.
#include "DeviceChannel.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "Timers.h"
#include "Waits.h"
#include "WindowMessenger.h"

struct DeviceServices {
    DeviceChannel& channel;
    SettingsStore& store;
    Timers& timers;
    Waits& waits;
    WindowMessenger& messenger;
    Shell& shell;
};
