// Profile bundle files as anyone may hand them over: any bytes. A file is refused or read whole;
// what is read passes every check, writes back to a file that reads the same, and goes into a
// store in one piece.
#include <cstdlib>
#include <string_view>

#include "cli/BundleJson.h"
#include "cli/BundleStore.h"
#include "platform/MemorySettingsStore.h"

using cli::ApplyBundle;
using cli::BundleParse;
using cli::BundleToJson;
using cli::CheckBundle;
using cli::ParseBundle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const BundleParse parse = ParseBundle(text);
    if (!parse.ok) {
        if (parse.error.empty()) std::abort();  // every refusal says why
        return 0;
    }
    if (!CheckBundle(parse.bundle).empty()) std::abort();
    const BundleParse again = ParseBundle(BundleToJson(parse.bundle));
    if (!again.ok || !(again.bundle == parse.bundle)) std::abort();
    platform::MemorySettingsStore store;
    if (!ApplyBundle(store, parse.bundle).ok) std::abort();
    return 0;
}
