#pragma once
// The system services of the configuration program, made once by the program entry before any
// window and handed to the windows that use them: one Portivo channel, one settings store, one
// set of timers and waits, the pointer settings and the window poster.
#include "performance/PointerSettings_win.h"
#include "platform/PortivoChannel_win.h"
#include "platform/RegistrySettingsStore_win.h"
#include "platform/SystemServices_win.h"
#include "platform/WindowTimers_win.h"

#include "portivo/Portivo.h"

namespace tavrine::forms {

struct ProgramServices {
    platform::PortivoChannel channel{&::SetKbdFeatures, &::GetKbdFeatures};
    platform::RegistrySettingsStore store;
    platform::WindowTimers timers;
    platform::SleepWaits waits;
    performance::SystemPointerSettings pointer;
    platform::WindowPoster messenger;
};

}  // namespace tavrine::forms
