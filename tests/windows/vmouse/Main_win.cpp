// The device tests run with the mouse plugged and leave it removed.
#include "tests/windows/vmouse/PluggedMouse_win.h"

namespace {
[[maybe_unused]] ::testing::Environment* const gPlugged =
    ::testing::AddGlobalTestEnvironment(new vmtest::PluggedMouse);
}
