#pragma once
// Every raw <-> value mapping of the performance and light settings in one place: the mouse's
// addresses, polling codes, DPI steps, the level-and-lights byte, the bar column, the bands and
// stops of the sliders, the DPI entry's rounding and the pointer sliders' step conversions.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "device/LightState.h"

namespace performance {

// EEPROM bytes (one each) and live registers.
inline constexpr std::uint16_t kEepromPolling = 0x0006;
inline constexpr std::uint16_t kEepromLevelAndLights = 0x0007;
inline constexpr std::uint16_t kEepromDpiSteps = 0x0008;  // 8..11: levels 1..4
inline constexpr std::uint16_t kLiveLevel = 0xFF00;       // level index, its DPI step
inline constexpr std::uint16_t kLivePolling = 0xFF01;     // polling code
inline constexpr std::uint16_t kLiveWheel = 0xFF03;       // 0 off, 1 on
inline constexpr std::uint16_t kLiveLogo = 0xFF04;        // 0 off, 1 on

inline constexpr int kLevelCount = 4;
inline constexpr int kMinDpiStep = 1;
inline constexpr int kMaxDpiStep = 35;
inline constexpr int kDpiPerStep = 100;

constexpr bool IsLevel(std::int64_t level) { return level >= 1 && level <= kLevelCount; }
constexpr int DpiOfStep(int step) { return step * kDpiPerStep; }

// Polling codes: the fastest rate has the smallest code.
struct PollingRate {
    int code;
    int hertz;
};
inline constexpr std::array<PollingRate, 3> kPollingRates = {{{0, 1000}, {1, 500}, {2, 125}}};
inline constexpr int kPollingCodeCount = static_cast<int>(kPollingRates.size());

constexpr bool IsPollingCode(std::int64_t code) { return code >= 0 && code < kPollingCodeCount; }
constexpr std::optional<int> PollingCodeOfHertz(std::uintmax_t hertz) {
    for (const PollingRate& rate : kPollingRates)
        if (static_cast<std::uintmax_t>(rate.hertz) == hertz) return rate.code;
    return std::nullopt;
}

// Address 7: bits 0-3 the active level index, bit 4 the wheel light, bit 5 the logo light.
inline constexpr std::uint8_t kLevelBits = 0x0F;
inline constexpr std::uint8_t kWheelBit = 0x10;
inline constexpr std::uint8_t kLogoBit = 0x20;

// A level outside 1..4 (only a mouse answering nonsense gives one) is taken as the nearest
// level, so that it can never spill into the light bits.
constexpr std::uint8_t LevelAndLightsByte(std::int32_t levelNumber,
                                          const device::LightState& lights) {
    const std::int32_t level =
        levelNumber < 1 ? 1 : (levelNumber > kLevelCount ? kLevelCount : levelNumber);
    std::uint8_t value = static_cast<std::uint8_t>(level - 1);
    if (lights.WheelLight) value |= kWheelBit;
    if (lights.LogoLight) value |= kLogoBit;
    return value;
}

// A value falls in a band when above < value <= upTo.
struct Band {
    int above;
    int upTo;
    int value;
};
constexpr std::optional<int> BandOf(std::span<const Band> bands, int at) {
    for (const Band& band : bands)
        if (at > band.above && at <= band.upTo) return band.value;
    return std::nullopt;
}

// The bar column: bar n (1..35) at left 76 and this top; bar 1 is the lowest.
inline constexpr int kBarLeft = 76;
inline constexpr int kBarWidth = 89;
inline constexpr int kBarHeight = 6;
inline constexpr std::array<int, kMaxDpiStep> kBarTops = {
    357, 350, 342, 335, 327, 320, 312, 304, 297, 289, 282, 274, 266, 258, 251, 243, 236, 228,
    220, 213, 205, 197, 189, 182, 175, 167, 160, 152, 145, 137, 130, 122, 114, 106, 99};

// Rows of the surface over the bar column (y within it, inclusive) that pick a DPI step; the
// gaps between them pick nothing.
struct Rows {
    int first;
    int last;
};
inline constexpr std::array<Rows, kMaxDpiStep> kBarColumnRows = {{
    {259, 263}, {252, 256}, {244, 249}, {237, 241}, {229, 234}, {222, 226}, {214, 219},
    {206, 211}, {199, 203}, {191, 196}, {184, 188}, {174, 181}, {167, 171}, {160, 164},
    {152, 157}, {147, 149}, {137, 144}, {128, 134}, {122, 125}, {115, 119}, {106, 112},
    {97, 103},  {92, 94},   {84, 89},   {75, 81},   {69, 72},   {61, 66},   {54, 58},
    {47, 51},   {38, 44},   {30, 35},   {22, 27},   {15, 19},   {8, 12},    {1, 5},
}};
constexpr std::optional<int> BarColumnStep(int y) {
    for (std::size_t i = 0; i < kBarColumnRows.size(); ++i)
        if (y >= kBarColumnRows[i].first && y <= kBarColumnRows[i].last)
            return static_cast<int>(i) + 1;
    return std::nullopt;
}
// How many bars show for a DPI step: never more bars than there are.
constexpr int BarsForStep(std::int64_t step) {
    return step < 0 ? 0 : (step > kMaxDpiStep ? kMaxDpiStep : static_cast<int>(step));
}

// The level slider: the marker's left per level, the knob 25 to its right.
inline constexpr std::array<int, kLevelCount> kLevelMarkerLefts = {232, 304, 376, 448};
inline constexpr int kLevelKnobOffset = 25;
inline constexpr int kLevelKnobFirst = 256;  // the knob moves within [first, end)
inline constexpr int kLevelKnobEnd = 473;
inline constexpr std::array<Band, kLevelCount> kLevelBands = {
    {{230, 250, 1}, {250, 320, 2}, {320, 390, 3}, {390, 450, 4}}};
constexpr int LevelMarkerLeft(std::int64_t level) {
    return IsLevel(level) ? kLevelMarkerLefts[static_cast<std::size_t>(level - 1)]
                          : kLevelMarkerLefts[0];
}

// The three pointer sliders: ten stops, the marker's left and the knob's left.
struct SliderStop {
    int marker;
    int knob;
    bool operator==(const SliderStop&) const = default;
};
inline constexpr int kSliderStopCount = 10;
inline constexpr std::array<SliderStop, kSliderStopCount> kSliderStops = {{{232, 235},
                                                                           {261, 264},
                                                                           {290, 293},
                                                                           {319, 322},
                                                                           {348, 351},
                                                                           {375, 378},
                                                                           {402, 405},
                                                                           {431, 433},
                                                                           {459, 462},
                                                                           {488, 491}}};
inline constexpr int kSliderKnobFirst = 235;  // the knob moves within [first, end)
inline constexpr int kSliderKnobEnd = 490;
inline constexpr std::array<Band, kSliderStopCount> kSliderBands = {{{230, 250, 1},
                                                                     {250, 280, 2},
                                                                     {280, 310, 3},
                                                                     {310, 340, 4},
                                                                     {340, 365, 5},
                                                                     {365, 393, 6},
                                                                     {393, 423, 7},
                                                                     {423, 450, 8},
                                                                     {450, 475, 9},
                                                                     {475, 490, 10}}};
// The stop a step stands at; steps beyond either end stand at that end.
constexpr SliderStop SliderStopOf(std::int64_t step) {
    if (step < 1) return kSliderStops.front();
    if (step > kSliderStopCount) return kSliderStops.back();
    return kSliderStops[static_cast<std::size_t>(step - 1)];
}

// Pointer sliders' steps <-> the stored values.
constexpr std::int32_t DoubleClickStep(std::int32_t milliseconds) {
    // Rounded up, as ceil(ms / 100) truncated.
    const std::int32_t q = milliseconds / 100;
    return (milliseconds % 100 > 0) ? q + 1 : q;
}
constexpr std::int32_t DoubleClickOfStep(std::int32_t step) { return step * 100; }
constexpr std::int32_t CursorStep(std::int32_t speed) { return speed == 1 ? 1 : speed / 2; }
constexpr std::int32_t CursorSpeedOfStep(std::int32_t step) { return step <= 1 ? step : step * 2; }

// The DPI entry on Enter: hundreds, 100..3500, shown again as the step times 100.
struct DpiEntry {
    int step;
    std::wstring text;
};
// Nothing for a text that is no number (an empty field).
std::optional<DpiEntry> RoundDpiEntry(std::wstring_view text);

}  // namespace performance
