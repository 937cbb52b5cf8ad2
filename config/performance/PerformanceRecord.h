#pragma once
// The DPI levels, polling rate and Windows pointer settings, shared by the main window and the
// performance dialog; the field names are the registry value names.
#include <array>
#include <cstdint>
#include <string_view>

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

// The order in which the ten values are written to the registry.
struct PerformanceField {
    std::wstring_view name;
    std::int32_t PerformanceRecord::*member;
};
inline constexpr std::array<PerformanceField, 10> kPerformanceWriteOrder = {{
    {L"DoubleClickSpeed", &PerformanceRecord::DoubleClickSpeed},
    {L"CursorSpeed", &PerformanceRecord::CursorSpeed},
    {L"ScrollSpeed", &PerformanceRecord::ScrollSpeed},
    {L"OneScreenPage", &PerformanceRecord::OneScreenPage},
    {L"LevelNumber", &PerformanceRecord::LevelNumber},
    {L"DpiLevel1", &PerformanceRecord::DpiLevel1},
    {L"DpiLevel2", &PerformanceRecord::DpiLevel2},
    {L"DpiLevel3", &PerformanceRecord::DpiLevel3},
    {L"DpiLevel4", &PerformanceRecord::DpiLevel4},
    {L"PollingRate", &PerformanceRecord::PollingRate},
}};

// The factory values kept in "Performance\Default".
inline constexpr PerformanceRecord kFactoryPerformance{1, 4, 8, 12, 35, 0, 500, 10, 3, 0};

inline constexpr std::wstring_view kPerformanceKey = L"\\SOFTWARE\\Tavrine5502\\Performance";
inline constexpr std::wstring_view kPerformanceDefaultKey =
    L"\\SOFTWARE\\Tavrine5502\\Performance\\Default";
