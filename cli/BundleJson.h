#pragma once
// The bundle's file form: JSON (UTF-8) with a format name and a version, read back with every
// field checked. The layout is documented in the README.
#include <string>
#include <string_view>

#include "cli/Bundle.h"

namespace cli {

std::string BundleToJson(const Bundle& bundle);
// The bundle's "autoProfile" section on its own (tavrine auto list --json).
std::string AutoProfileToJson(const AutoProfile& settings);

struct BundleParse {
    bool ok = false;
    Bundle bundle;
    std::wstring error;  // why the file was refused
};
// Refuses anything that is not a complete, valid bundle of this version; see CheckBundle.
BundleParse ParseBundle(std::string_view text);

}  // namespace cli
