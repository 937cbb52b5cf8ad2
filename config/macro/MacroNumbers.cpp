#include "macro/MacroNumbers.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace macro {

float CeilTenth(float seconds) {
    if (seconds <= 0.0f) return seconds;
    return Single(std::ceil(Single(Single(seconds - 0.01f) * 10.0f)) * 0.1f);
}

std::wstring FormatWhole(float value) {
    wchar_t buffer[64];
    std::swprintf(buffer, std::size(buffer), L"%.0f", static_cast<double>(Single(value)));
    return buffer;
}

std::wstring DelayText(int units) { return FormatWhole(static_cast<float>(units * 100)); }

std::optional<float> ReadNumber(std::wstring_view text) {
    std::size_t i = 0;
    auto skipSpaces = [&] {
        while (i < text.size() && text[i] == L' ') ++i;
    };
    skipSpaces();
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    double value = 0.0;
    int digits = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, ++digits)
        value = std::min(value * 10.0 + (text[i] - L'0'), 1e30);
    if (i < text.size() && text[i] == L'.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, ++digits) {
            value += (text[i] - L'0') * scale;
            scale /= 10.0;
        }
    }
    skipSpaces();
    if (digits == 0 || i != text.size()) return std::nullopt;
    return static_cast<float>(negative ? -value : value);
}

std::wstring NotANumberMessage(std::wstring_view text) {
    return L"'" + std::wstring(text) + L"' is not a valid number.";
}

int DelayUnitsOf(float seconds) {
    // The values are multiples of 0.1 s in single precision; rounding takes 0.7 * 10 = 6.9999
    // to 7 units, as the shown 700 says.
    const long units = std::lround(static_cast<double>(seconds) * 10.0);
    return static_cast<int>(std::clamp(units, 0L, 63L));
}

}  // namespace macro
