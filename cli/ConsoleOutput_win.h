#pragma once
// Text to the console or, when redirected, UTF-8 bytes to the file or pipe.
#include <string_view>

namespace cli {

void WriteOut(std::string_view utf8);
void WriteError(std::wstring_view line);  // one line; the newline is added

}  // namespace cli
