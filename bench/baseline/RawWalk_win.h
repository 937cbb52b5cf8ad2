#pragma once
// What one call of the device library's feature exports has to do, written directly against the
// HID calls: for each listed path open it, read its preparsed data, attributes and capabilities,
// do the feature call on the collection asked for, close it. Nothing is kept between calls.
#include <windows.h>

#include <string>
#include <vector>

namespace bench {

enum class FeatureCall { Set, Get };

// True when the collection with this usage page and usage was found and its call succeeded.
bool RawWalk(const std::vector<std::wstring>& paths, USHORT usagePage, USHORT usage,
             FeatureCall call, BYTE* report);

}  // namespace bench
