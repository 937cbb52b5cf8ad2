#include "ui/DialogFilter.h"

#include <vector>

namespace tavrine::ui {

std::wstring DialogFilter(std::wstring_view filter) {
    std::vector<std::wstring_view> parts;
    while (!filter.empty()) {
        const auto bar = filter.find(L'|');
        parts.push_back(filter.substr(0, bar));
        if (bar == std::wstring_view::npos) break;
        filter.remove_prefix(bar + 1);
    }
    std::wstring out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        out += parts[i];
        out += L'\0';
        out += parts[i + 1];
        out += L'\0';
    }
    out += L'\0';
    if (out.size() == 1) out += L'\0';
    return out;
}

}  // namespace tavrine::ui
