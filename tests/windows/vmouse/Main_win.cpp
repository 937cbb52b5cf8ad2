// The device tests run with the mouse plugged and leave it removed.
#include "PluggedMouse_win.h"

namespace {
[[maybe_unused]] ::testing::Environment* const gPlugged =
    ::testing::AddGlobalTestEnvironment(new vmtest::PluggedMouse);
}
