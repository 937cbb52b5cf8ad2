#include "performance/PerformanceKeys.h"

#include "device/CommandReport.h"
#include "performance/PerformanceTables.h"

namespace performance {

using platform::DeviceChannel;
using platform::SettingsHive;
using platform::SettingsKey;
using platform::SettingsStore;
using platform::Waits;

namespace {
constexpr std::uint16_t kAddressLiveLevel = performance::kLiveLevel;
}  // namespace

namespace {

void WriteRecord(SettingsKey& key, const PerformanceRecord& record) {
    for (const PerformanceField& field : kPerformanceWriteOrder) {
        key.WriteInteger(field.name, record.*field.member);
    }
}

}  // namespace

bool EnsurePerformanceKeys(PerformanceRecord& record, const PointerSettings& pointer,
                           DeviceChannel& channel, Waits& waits,
                           device::DeviceReportState& reportState, SettingsStore& store) {
    record.DoubleClickSpeed = pointer.DoubleClickTime();
    record.CursorSpeed = pointer.MouseSpeed();
    const std::int32_t lines = pointer.WheelScrollLines();
    if (lines <= 0) {
        record.OneScreenPage = lines;  // the scroll lines themselves stay as they were
    } else {
        record.ScrollSpeed = lines;
        record.OneScreenPage = 0;
    }

    const auto answer =
        device::Query(channel, waits, reportState, kAddressLiveLevel, 2);  // 04 00 FF 02
    record.LevelNumber = device::SignedByte(answer[4]) + 1;

    if (store.KeyExists(SettingsHive::CurrentUser, kPerformanceKey)) return false;
    auto key = store.OpenKey(SettingsHive::CurrentUser, kPerformanceKey);
    if (!key) return false;
    WriteRecord(*key, record);
    if (auto defaults = store.OpenKey(SettingsHive::CurrentUser, kPerformanceDefaultKey)) {
        WriteRecord(*defaults, kFactoryPerformance);
    }
    return true;
}

}  // namespace performance
