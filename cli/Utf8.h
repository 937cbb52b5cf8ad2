#pragma once
// Wide text (UTF-16 on Windows, UTF-32 elsewhere) to and from UTF-8, for files and the console.
#include <string>
#include <string_view>

namespace cli {

// A lone surrogate or a code point outside Unicode becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
// Malformed sequences become U+FFFD; the JSON reader has already refused them in bundles.
std::wstring FromUtf8(std::string_view text);

}  // namespace cli
