#pragma once
// One trace entry as one line of text, e.g.
//   17 1234ms in FF00/FF00 set-feature 03 05 00 01 a0 00 00 00 00 00 00 00 00 00 00 00 accepted
// Freestanding (no stdio), so the driver and the control tool print alike.
#include <stddef.h>

#include "vmouse/model/Trace.h"

namespace vmouse {

inline constexpr size_t kTraceLineMax = 128;

const char* NoteName(TraceNote note);

// Writes a NUL-terminated line without a newline into out (at least kTraceLineMax bytes);
// returns its length, or 0 when out is too small.
size_t FormatTraceLine(const TraceEntry& entry, char* out, size_t size);

}  // namespace vmouse
