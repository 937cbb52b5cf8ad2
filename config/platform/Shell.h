#pragma once
// Opens a file or program the way the desktop shell does ("open").
#include <string_view>

namespace platform {

class Shell {
  public:
    virtual ~Shell() = default;
    // True when the shell accepted the file.
    virtual bool Open(std::wstring_view file) = 0;
};

}  // namespace platform
