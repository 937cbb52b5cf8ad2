#pragma once
// The configuration program as other programs of the suite see it: whether it runs (its mutex),
// and its process, to wait for its end.
#include <windows.h>

namespace cli {

// The configuration program keeps its own copy of the settings and writes it back at its next
// Apply or OK; while it runs, nothing else may change the store or the mouse's profile under it.
bool ConfigurationProgramRuns();
// Its process, opened for waiting (SYNCHRONIZE), found by its main window; null when no main
// window shows yet. The caller closes the handle.
HANDLE OpenConfigurationProgramProcess();

}  // namespace cli
