#pragma once
// mingw-w64's HID headers lack C linkage guards, and hidpi.h needs hidsdi.h's types first.
#include <windows.h>
// clang-format off
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}
// clang-format on
