#include "platform/SettingsPath.h"

namespace platform {

std::wstring CleanSettingsPath(std::wstring_view path) {
    std::wstring out;
    out.reserve(path.size());
    for (wchar_t c : path) {
        if (c == L'\\' && (out.empty() || out.back() == L'\\')) continue;
        out.push_back(c);
    }
    while (!out.empty() && out.back() == L'\\') out.pop_back();
    return out;
}

}  // namespace platform
