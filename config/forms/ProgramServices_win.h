#pragma once
// The system services of the configuration program, made once by the program entry before any
// window and handed to the windows that use them: one Portivo channel, one settings store, one
// set of timers and waits, the pointer settings and the window poster.
#include "PointerSettings_win.h"
#include "PortivoChannel_win.h"
#include "RegistrySettingsStore_win.h"
#include "SystemServices_win.h"
#include "WindowTimers_win.h"

#include "Portivo.h"

namespace tavrine::forms {

struct ProgramServices {
    PortivoChannel channel{&::SetKbdFeatures, &::GetKbdFeatures};
    RegistrySettingsStore store;
    WindowTimers timers;
    SleepWaits waits;
    SystemPointerSettings pointer;
    WindowPoster messenger;
};

}  // namespace tavrine::forms
