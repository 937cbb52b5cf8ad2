#pragma once
// mingw-w64's HID headers lack C linkage guards.
#include <windows.h>
extern "C" {
#include <hidpi.h>
#include <hidsdi.h>
}
