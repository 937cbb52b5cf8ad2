#include "cli/ConfigurationProgram_win.h"

#include <string>

#include "device/WindowMessages.h"

namespace cli {

bool ConfigurationProgramRuns() {
    // Opened and closed at once: a handle kept open would keep the mutex alive after the
    // program ends, and the next start of the program would take itself for a second one.
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, std::wstring(device::kProgramMutex).c_str());
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

HANDLE OpenConfigurationProgramProcess() {
    HWND main = FindWindowW(std::wstring(device::kMainFormClass).c_str(),
                            std::wstring(device::kMainFormCaption).c_str());
    DWORD id = 0;
    if (!main || !GetWindowThreadProcessId(main, &id) || !id) return nullptr;
    return OpenProcess(SYNCHRONIZE, FALSE, id);
}

}  // namespace cli
