#pragma once
// The hidden window through which the system tells Portivo of HID collections coming and going.
#include <windows.h>

namespace portivo {

class DeviceAccess;

// Registers "HKUSBClass" and creates "HKUSBKEYMSG" on the calling thread. False when the class or
// the window cannot be made (Portivo then goes on without watching for changes).
bool CreateNotifyWindow(HINSTANCE module, DeviceAccess& access);

}  // namespace portivo
