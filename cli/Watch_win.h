#pragma once
// tavrine watch: switches the mouse's profile by the program in front, until Exit in its
// notification-area menu (or WM_CLOSE to its window).
#include "cli/CliArgs.h"

namespace cli {

// The exit code: 0 after Exit, 1 when it could not start (one line on stderr).
int RunWatch(const CliArgs& args);

}  // namespace cli
