#pragma once
// Posts a message to a top-level window named by class and caption; a missing window simply
// receives nothing.
#include <cstdint>
#include <string_view>

namespace platform {

class WindowMessenger {
  public:
    virtual ~WindowMessenger() = default;
    // True when the window was found and the message posted.
    virtual bool Post(std::wstring_view windowClass, std::wstring_view caption,
                      std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace platform
