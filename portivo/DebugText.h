#pragma once
// Small text helpers for the debug lines Portivo writes.
#include <cstdint>
#include <string>

namespace portivo {

// printf-style formatting of ASCII text, widened to UTF-16.
std::u16string FormatAscii(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::u16string Widen(const char* ascii);

// The text in a caller's UTF-16 buffer, never reading past sizeBytes even without a terminator.
std::u16string BoundedText(const void* buffer, std::uint32_t sizeBytes);

// One device operation's debug line: "<prefix> VID = %04x, PID = %04x, Ver = %04x, UsgPg = %04x,
// ..."
struct CollectionInfo;
std::u16string OperationLine(const char* prefix, const CollectionInfo& info);

}  // namespace portivo
