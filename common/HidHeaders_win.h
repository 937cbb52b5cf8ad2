#pragma once
// The HID headers, once for everything that talks to a HID device: mingw-w64 ships them
// without C linkage guards, and hidpi.h needs hidsdi.h's types first.
#include <windows.h>
// clang-format off
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}
// clang-format on
