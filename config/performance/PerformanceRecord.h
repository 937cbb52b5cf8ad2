#pragma once
// The DPI levels, polling rate and Windows pointer settings, shared by the main window and the
// performance dialog; the field names are the registry value names.
#include <array>
#include <cstdint>
#include <string_view>

namespace performance {

struct PerformanceRecord {
    std::int32_t LevelNumber = 3;  // 1..4
    std::int32_t DpiLevel1 = 4;    // steps of 100 DPI, 1..35
    std::int32_t DpiLevel2 = 8;
    std::int32_t DpiLevel3 = 12;
    std::int32_t DpiLevel4 = 35;
    std::int32_t PollingRate = 0;  // 0 = 1000 Hz, 1 = 500 Hz, 2 = 125 Hz
    std::int32_t DoubleClickSpeed = 500;
    std::int32_t CursorSpeed = 10;
    std::int32_t ScrollSpeed = 1;
    std::int32_t OneScreenPage = 0;  // 0, or -1 for one screen at a time
};

// The ten values in the order they are written to the registry, each with the limits it may
// take (pointer values as Windows allows them, DPI in steps of 100, the polling code).
struct PerformanceField {
    std::wstring_view name;
    std::int32_t PerformanceRecord::*member;
    std::int32_t low;
    std::int32_t high;
};
inline constexpr std::array<PerformanceField, 10> kPerformanceWriteOrder = {{
    {L"DoubleClickSpeed", &PerformanceRecord::DoubleClickSpeed, 1, 5000},  // ms
    {L"CursorSpeed", &PerformanceRecord::CursorSpeed, 1, 20},
    {L"ScrollSpeed", &PerformanceRecord::ScrollSpeed, 0, 100},  // lines
    {L"OneScreenPage", &PerformanceRecord::OneScreenPage, -1, 0},
    {L"LevelNumber", &PerformanceRecord::LevelNumber, 1, 4},
    {L"DpiLevel1", &PerformanceRecord::DpiLevel1, 1, 35},
    {L"DpiLevel2", &PerformanceRecord::DpiLevel2, 1, 35},
    {L"DpiLevel3", &PerformanceRecord::DpiLevel3, 1, 35},
    {L"DpiLevel4", &PerformanceRecord::DpiLevel4, 1, 35},
    {L"PollingRate", &PerformanceRecord::PollingRate, 0, 2},
}};
// Every field of the record is in the table once (ten fields of four bytes).
static_assert(sizeof(PerformanceRecord) == kPerformanceWriteOrder.size() * sizeof(std::int32_t));

// The factory values kept in "Performance\Default".
inline constexpr PerformanceRecord kFactoryPerformance{1, 4, 8, 12, 35, 0, 500, 10, 3, 0};

inline constexpr std::wstring_view kPerformanceKey = L"\\SOFTWARE\\Tavrine5502\\Performance";
inline constexpr std::wstring_view kPerformanceDefaultKey =
    L"\\SOFTWARE\\Tavrine5502\\Performance\\Default";

}  // namespace performance
