#pragma once
// The editor's numbers: delays in single precision, whole-millisecond texts and the reading of
// the time fields.
#include <optional>
#include <string>
#include <string_view>

namespace macro {

// A value rounded to single precision. The delays are single-precision numbers; the i686 build
// computes on the x87 unit, whose wider intermediates would decide the limits differently
// (6300 ms + 100 ms would stay below 6.4 s there).
inline float Single(float value) {
    volatile float rounded = value;
    return rounded;
}

// The next multiple of 0.1 s, where a value at most 0.01 s above a multiple stays there; values
// of 0 or less are returned unchanged. Single precision throughout, as the delays are kept.
float CeilTenth(float seconds);

// A value printed as a whole number ("%.0f").
std::wstring FormatWhole(float value);
std::wstring DelayText(int units);  // units x 100 ms

// A time field's text as a number: optional sign, digits, optional fraction, surrounding spaces
// allowed; nothing for any other text (an emptied field included).
std::optional<float> ReadNumber(std::wstring_view text);
// The error a text that is not a number gives.
std::wstring NotANumberMessage(std::wstring_view text);

// Seconds as whole 100-ms units, 0..63.
int DelayUnitsOf(float seconds);

}  // namespace macro
