#include "performance/PerformanceTables.h"

namespace performance {

std::optional<DpiEntry> RoundDpiEntry(std::wstring_view text) {
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > 1'000'000) value = 1'000'000;  // far beyond the top step; no overflow
    }
    long long step = value / kDpiPerStep;
    if (step >= kMaxDpiStep) step = kMaxDpiStep;
    if (step <= kMinDpiStep) step = kMinDpiStep;
    return DpiEntry{static_cast<int>(step), std::to_wstring(step) + L"00"};
}

}  // namespace performance
