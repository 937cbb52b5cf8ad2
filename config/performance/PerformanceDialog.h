#pragma once
// What the performance dialog does, apart from its window: reading, showing, changing, storing
// and sending the DPI levels, the polling rate and the pointer settings. The window turns clicks
// into these calls and draws View() after each of them.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DeviceChannel.h"
#include "device/DeviceReportState.h"
#include "device/LightState.h"
#include "performance/PerformanceRecord.h"
#include "performance/PerformanceTables.h"
#include "performance/PointerSettings.h"
#include "platform/SettingsStore.h"
#include "platform/Waits.h"
#include "platform/WindowMessenger.h"

namespace performance {

struct PerformanceServices {
    platform::DeviceChannel& channel;
    platform::SettingsStore& store;
    platform::Waits& waits;
    PointerSettings& pointer;
    platform::WindowMessenger& messenger;
};

enum class LoadMode {
    ReadBack,  // at show: the level and the rate come from the mouse
    Reset,     // Reset to Default
};
enum class DisplayKind { DpiLevel, PollingRate };
enum class PointerSlider { DoubleClick = 0, Cursor = 1, Scroll = 2 };

// What a load left out: values missing from the key (or of the wrong kind), which keep the
// value they fall back to.
struct LoadResult {
    bool keyOpened = false;
    std::vector<std::wstring> missing;
};

// A write to the mouse that was refused part-way; empty when all of it went out.
struct DeviceWriteResult {
    bool ok = true;
    std::wstring failure;
};

// Storing the performance key: on failure the key holds what it held before and the text says
// what failed.
struct SaveResult {
    bool ok = true;
    std::wstring failure;
};

// What the window shows. Each operation changes only what it is meant to change.
struct PerformanceView {
    int markerLeft = performance::kLevelMarkerLefts[0];  // Img_dpi; Img_node stands 25 right
    int barsShown = 4;
    std::wstring dpiText = L"400";
    unsigned dpiTextSerial = 0;  // counts every setting of the text, even to the same text
    std::array<bool, 3> pollingSelected{};  // by polling code: 1000, 500, 125 Hz
    std::array<performance::SliderStop, 3> sliders = {
        performance::kSliderStops[0], performance::kSliderStops[0], performance::kSliderStops[0]};
    bool oneScreen = false;
};

class PerformanceDialog {
  public:
    PerformanceDialog(PerformanceRecord& record, const device::LightState& lights,
                      device::DeviceReportState& reportState, PerformanceServices services);

    // FormShow: four bars and "400", then the stored values, the mouse's level and rate.
    LoadResult Show();
    LoadResult LoadPerformance(std::wstring_view path, LoadMode mode);
    // Stores the dialog's values, and takes them into the record only when every value was
    // written; a refused value leaves the key as it was.
    SaveResult SavePerformance();
    DeviceWriteResult WritePerformanceEeprom();
    void ApplyPerformance();
    void NotifyDisplay(DisplayKind kind);

    // OK and Apply: store, write and apply. saved is false when the key could not be stored
    // (then nothing reaches the mouse either, and save says why).
    struct CommitResult {
        bool saved = false;
        SaveResult save;
        DeviceWriteResult write;
    };
    CommitResult Commit();
    // Puts the record, the mouse's live values and Windows' pointer settings back as they were
    // at show or at the last OK or Apply that went through; nothing is stored.
    void Cancel();
    LoadResult ResetToDefault();

    // Level knob: dx is the pointer's travel since the press, in the knob's own space.
    void MoveLevelKnob(int dx);
    void ReleaseLevelKnob();
    void MovePointerKnob(PointerSlider slider, int dx);
    void PressBarColumn(int y);
    void MoveBarColumn(int y);
    void ReleaseBarColumn() { barDrag_ = false; }
    // Enter in the DPI entry; false when the text is no number (then nothing changes).
    bool EnterDpi(std::wstring_view text);
    // Press and release on a polling image, by polling code.
    void PressPolling(int code);
    void ReleasePolling(int code);
    void ToggleOneScreen();

    // From the display program: the mouse changed its level (index, DPI) or its rate (Hz).
    void OnDisplayLevel(std::uintptr_t levelIndex, std::intptr_t dpi);
    void OnDisplayPolling(std::uintptr_t hertz);

    const PerformanceView& View() const { return view_; }
    int CurrentLevel() const { return currentLevel_; }
    int CurrentPollingCode() const { return pollingCode_; }
    std::int32_t Step(PointerSlider slider) const;
    std::int32_t OneScreenValue() const { return oneScreenValue_; }
    int LastLevelSent() const { return lastLevelSent_; }
    int LastPollingSent() const { return lastPollingSent_; }

  private:
    std::int32_t* DpiField(std::int64_t level);
    void ShowLevel(int level);
    void ShowStep(std::int64_t step);
    void ShowPollingCode(std::int64_t code);
    void PlaceSlider(PointerSlider slider, std::int64_t step);
    void SendLevel(int level);
    void SendPolling(std::int32_t code);
    void SendLive(std::uint16_t address, std::uint8_t value);
    void ApplyRecord(std::optional<std::uint8_t> pollingByte);
    void TakeSnapshot();

    PerformanceRecord& record_;
    const device::LightState& lights_;
    device::DeviceReportState& reportState_;
    PerformanceServices services_;
    PerformanceView view_;

    int currentLevel_ = 3;
    std::int32_t doubleClickStep_ = 5;
    std::int32_t cursorStep_ = 5;
    std::int32_t scrollStep_ = 1;
    std::int32_t oneScreenValue_ = 0;
    // The record as shown or last committed, and the polling byte the mouse ran then: Cancel
    // returns to both. An unknown code is kept as the mouse's own byte, never rewritten.
    PerformanceRecord shown_;
    std::optional<std::uint8_t> pollingByteShown_;
    int pollingCode_ = 0;
    // The DPI byte each level was last given live since the snapshot: the mouse keeps a DPI per
    // level, so Cancel gives back every one that differs, not only the active one.
    std::array<std::optional<std::uint8_t>, performance::kLevelCount> dpiSentLive_{};
    bool barDrag_ = false;
    // Kept across shows: a second click on the same rate sends nothing.
    int lastLevelSent_ = -1;
    int lastPollingSent_ = -1;
};

}  // namespace performance
