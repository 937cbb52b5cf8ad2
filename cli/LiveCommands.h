#pragma once
// The mouse's live state and the commands that change it, as the configuration program's
// dialogs send them; each change is read back from the mouse before it counts as done.
#include <chrono>
#include <optional>
#include <string>

#include "device/CommandReport.h"
#include "cli/ReadBack.h"
#include "platform/SettingsStore.h"
#include "platform/WindowMessenger.h"

namespace cli {

// The mouse's next input report, awaited by the program's own message loop.
class DeviceReports {
  public:
    virtual ~DeviceReports() = default;
    // True when a report of the mouse came within the time.
    virtual bool WaitForReport(std::chrono::milliseconds timeout) = 0;
};

struct LiveServices {
    platform::DeviceChannel& channel;
    platform::Waits& waits;
    DeviceReports& reports;
    platform::WindowMessenger& messenger;
    platform::SettingsStore& store;
};

struct MouseStatus {
    int profile = 0;      // 1..5
    int levelIndex = 0;   // 0..3
    int dpiStep = 0;      // of the active level
    int pollingCode = 0;  // 0 1000 Hz, 1 500 Hz, 2 125 Hz
    bool locked = false;
    MouseGlobals stored;  // EEPROM 0x0005..0x000B (the lights live there)
};
struct StatusRead {
    bool ok = false;
    MouseStatus status;
    std::wstring error;
};
StatusRead ReadStatus(platform::DeviceChannel& channel, platform::Waits& waits);

// The outcome of a command: empty error when the mouse took it.
struct CommandResult {
    bool ok() const { return error.empty(); }
    std::wstring error;
    std::wstring done;  // what the mouse now does, for the user
};

// The mouse's active profile 1..5 as it reports it now; none when it does not answer.
std::optional<int> ReadActiveProfile(platform::DeviceChannel& channel, platform::Waits& waits);

// Profile 1..5: written at EEPROM 0x0005 and applied, as the main window switches it; the
// display program shows the new profile.
CommandResult SwitchProfile(LiveServices& services, int profile);
// Level 1..4 at its stored DPI, or at dpi (100..3500, in hundreds) when given; with save, the
// EEPROM settings the performance dialog writes, and the store.
CommandResult SetDpi(LiveServices& services, int level, std::optional<int> dpi, bool save);
CommandResult SetPolling(LiveServices& services, int hertz, bool save);
enum class LightName { Wheel, Logo };
CommandResult SetLight(LiveServices& services, LightName light, bool on, bool save);

int PollingHertz(int code);  // 0 for an unknown code

}  // namespace cli
