#pragma once
// A key path as the registry takes it: outer backslashes dropped (the registry refuses a leading
// one, and the system writes its paths with one), doubled ones collapsed.
#include <string>
#include <string_view>

namespace platform {

std::wstring CleanSettingsPath(std::wstring_view path);

}  // namespace platform
