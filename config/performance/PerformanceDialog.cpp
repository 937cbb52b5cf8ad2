#include "performance/PerformanceDialog.h"

#include <array>
#include <chrono>

#include "device/CommandReport.h"
#include "device/WindowMessages.h"

namespace performance {

using device::DeviceReportState;
using device::kAddressApply;
using device::kMsgShowDpiLevel;
using device::kMsgShowPolling;
using device::kReportStateDpiEvent;
using device::kReportStateIdle;
using device::kReportStatePollingEvent;
using device::kVistrelCaption;
using device::kVistrelClass;
using device::LightState;
using device::MakeApplyCommand;
using device::MakeWriteCommand;
using device::Query;
using device::SendCommand;
using device::SignedByte;

using std::chrono::milliseconds;

namespace {

constexpr milliseconds kLevelAnswerWait{70};
constexpr milliseconds kLiveCommandWait{50};
constexpr milliseconds kEepromByteWait{40};
constexpr milliseconds kPollingClickWait{40};
constexpr milliseconds kApplyWait{50};
constexpr milliseconds kCommitWait{20};

// Stored values outside the mouse's ranges never reach it as they are: a DPI step is held to
// 1..35. An unknown polling code is not sent at all: the mouse keeps the rate it runs until the
// user chooses one.
std::uint8_t DpiStepByte(std::int32_t step) {
    return static_cast<std::uint8_t>(step < kMinDpiStep   ? kMinDpiStep
                                     : step > kMaxDpiStep ? kMaxDpiStep
                                                          : step);
}
std::optional<std::uint8_t> PollingByte(std::int32_t code) {
    if (!IsPollingCode(code)) return std::nullopt;
    return static_cast<std::uint8_t>(code);
}

std::wstring HexAddress(std::uint16_t address) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text = L"0x";
    for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(address >> shift) & 0xF];
    return text;
}

}  // namespace

PerformanceDialog::PerformanceDialog(PerformanceRecord& record, const LightState& lights,
                                     DeviceReportState& reportState, PerformanceServices services)
    : record_(record), lights_(lights), reportState_(reportState), services_(services) {}

std::int32_t* PerformanceDialog::DpiField(std::int64_t level) {
    switch (level) {
        case 1:
            return &record_.DpiLevel1;
        case 2:
            return &record_.DpiLevel2;
        case 3:
            return &record_.DpiLevel3;
        case 4:
            return &record_.DpiLevel4;
        default:
            return nullptr;  // no level: nothing of the four fields is read or changed
    }
}

std::int32_t PerformanceDialog::Step(PointerSlider slider) const {
    switch (slider) {
        case PointerSlider::DoubleClick:
            return doubleClickStep_;
        case PointerSlider::Cursor:
            return cursorStep_;
        case PointerSlider::Scroll:
            return scrollStep_;
    }
    return 0;
}

LoadResult PerformanceDialog::Show() {
    view_.barsShown = 4;
    view_.dpiText = L"400";
    ++view_.dpiTextSerial;
    LoadResult result = LoadPerformance(kPerformanceKey, LoadMode::ReadBack);
    TakeSnapshot();
    return result;
}

void PerformanceDialog::TakeSnapshot() {
    shown_ = record_;
    dpiSentLive_ = {};
    // A code the dialog does not know stays the mouse's own byte, which Cancel may give back.
    if (IsPollingCode(record_.PollingRate) || !pollingByteShown_)
        pollingByteShown_ = static_cast<std::uint8_t>(record_.PollingRate);
}

LoadResult PerformanceDialog::LoadPerformance(std::wstring_view path, LoadMode mode) {
    LoadResult result;
    // A missing value keeps the value it would have had had it never been stored.
    const PerformanceRecord fallback =
        path == kPerformanceDefaultKey ? kFactoryPerformance : PerformanceRecord{};
    if (auto key = services_.store.OpenKey(platform::SettingsHive::CurrentUser, path)) {
        result.keyOpened = true;
        for (const PerformanceField& field : kPerformanceWriteOrder) {
            const auto value = key->ReadInteger(field.name);
            record_.*field.member = value ? *value : fallback.*field.member;
            if (!value) result.missing.emplace_back(field.name);
        }
    }

    if (mode == LoadMode::ReadBack) {
        const auto level = Query(services_.channel, services_.waits, reportState_, kLiveLevel, 2);
        record_.LevelNumber = SignedByte(level[4]) + 1;
        currentLevel_ = record_.LevelNumber;
        services_.waits.Wait(kLevelAnswerWait);
        const auto rate = Query(services_.channel, services_.waits, reportState_, kLivePolling, 1);
        record_.PollingRate = SignedByte(rate[4]);
        pollingByteShown_ = rate[4];
    } else {
        currentLevel_ = record_.LevelNumber;
    }

    doubleClickStep_ = DoubleClickStep(record_.DoubleClickSpeed);
    cursorStep_ = CursorStep(record_.CursorSpeed);
    scrollStep_ = record_.ScrollSpeed;
    oneScreenValue_ = record_.OneScreenPage;
    pollingCode_ = record_.PollingRate;

    if (IsLevel(record_.LevelNumber)) ShowLevel(record_.LevelNumber);
    ShowPollingCode(pollingCode_);

    PlaceSlider(PointerSlider::DoubleClick, doubleClickStep_);
    PlaceSlider(PointerSlider::Cursor, cursorStep_);
    PlaceSlider(PointerSlider::Scroll, record_.ScrollSpeed < 10 ? record_.ScrollSpeed : 10);
    if (record_.OneScreenPage == 0) view_.oneScreen = false;
    if (record_.OneScreenPage == -1) view_.oneScreen = true;

    ApplyPerformance();
    return result;
}

void PerformanceDialog::ShowLevel(int level) {
    view_.markerLeft = LevelMarkerLeft(level);
    if (const std::int32_t* step = DpiField(level)) ShowStep(*step);
}

void PerformanceDialog::ShowStep(std::int64_t step) {
    view_.barsShown = BarsForStep(step);
    view_.dpiText = std::to_wstring(step * kDpiPerStep);
    ++view_.dpiTextSerial;
}

void PerformanceDialog::ShowPollingCode(std::int64_t code) {
    if (!IsPollingCode(code)) return;
    for (int c = 0; c < kPollingCodeCount; ++c)
        view_.pollingSelected[static_cast<std::size_t>(c)] = c == code;
}

void PerformanceDialog::PlaceSlider(PointerSlider slider, std::int64_t step) {
    // Cursor and scroll steps outside the stops show at the first stop; the double-click step,
    // which a stored 1100 ms makes 11, shows at the nearer end.
    SliderStop stop = SliderStopOf(step);
    if (slider != PointerSlider::DoubleClick && (step < 1 || step > kSliderStopCount))
        stop = kSliderStops.front();
    view_.sliders[static_cast<std::size_t>(slider)] = stop;
}

void PerformanceDialog::SendLive(std::uint16_t address, std::uint8_t value) {
    const std::uint8_t data[] = {value};
    SendCommand(services_.channel, MakeWriteCommand(address, data));
}

void PerformanceDialog::SendLevel(int level) {
    const std::int32_t* step = DpiField(level);
    if (!step) return;
    const std::uint8_t data[] = {static_cast<std::uint8_t>(level - 1), DpiStepByte(*step)};
    SendCommand(services_.channel, MakeWriteCommand(kLiveLevel, data));
    dpiSentLive_[static_cast<std::size_t>(level - 1)] = data[1];
}

void PerformanceDialog::SendPolling(std::int32_t code) {
    if (const auto byte = PollingByte(code)) SendLive(kLivePolling, *byte);
}

void PerformanceDialog::ApplyPerformance() { ApplyRecord(PollingByte(record_.PollingRate)); }

void PerformanceDialog::ApplyRecord(std::optional<std::uint8_t> pollingByte) {
    reportState_.value = kReportStateIdle;
    // Without a level (the mouse answered nonsense) the mouse keeps its own: nothing is sent
    // for it, and no DPI field is read. The same holds for the rate.
    SendLevel(record_.LevelNumber);
    services_.waits.Wait(kLiveCommandWait);
    if (pollingByte) SendLive(kLivePolling, *pollingByte);
    services_.waits.Wait(kLiveCommandWait);
    // The mouse now runs this level and rate: a later click on another one must reach it, even
    // one that a click sent before (Cancel may just have put the mouse back).
    if (IsLevel(record_.LevelNumber)) lastLevelSent_ = record_.LevelNumber - 1;
    if (pollingByte) lastPollingSent_ = IsPollingCode(*pollingByte) ? *pollingByte : -1;
    services_.pointer.SetDoubleClickTime(record_.DoubleClickSpeed);
    services_.pointer.SetMouseSpeed(record_.CursorSpeed);
    services_.pointer.SetWheelScrollLines(record_.OneScreenPage < 0
                                              ? kWheelPageScroll
                                              : static_cast<std::uint32_t>(record_.ScrollSpeed));
}

SaveResult PerformanceDialog::SavePerformance() {
    PerformanceRecord next = record_;  // the DPI fields are already the dialog's
    next.LevelNumber = currentLevel_;
    next.DoubleClickSpeed = DoubleClickOfStep(doubleClickStep_);
    next.CursorSpeed = CursorSpeedOfStep(cursorStep_);
    next.ScrollSpeed = scrollStep_;
    next.OneScreenPage = oneScreenValue_;
    next.PollingRate = pollingCode_;
    auto key = services_.store.OpenKey(platform::SettingsHive::CurrentUser, kPerformanceKey);
    if (!key) {
        return {false,
                L"The performance settings could not be stored: the registry key "
                L"Performance cannot be opened. Nothing was changed."};
    }
    // The key must never hold half of a change: what it held before is kept, and written back
    // when a value is refused (a value of another kind goes back as it was, one that was
    // missing is removed again).
    struct Before {
        std::optional<std::int32_t> integer;
        std::optional<std::wstring> text;
    };
    std::array<Before, kPerformanceWriteOrder.size()> before;
    for (std::size_t i = 0; i < kPerformanceWriteOrder.size(); ++i) {
        const std::wstring_view name = kPerformanceWriteOrder[i].name;
        before[i].integer = key->ReadInteger(name);
        if (!before[i].integer) before[i].text = key->ReadString(name);
    }
    for (std::size_t i = 0; i < kPerformanceWriteOrder.size(); ++i) {
        const PerformanceField& field = kPerformanceWriteOrder[i];
        if (key->WriteInteger(field.name, next.*field.member)) continue;
        bool restored = true;
        for (std::size_t j = 0; j < i; ++j) {
            const std::wstring_view name = kPerformanceWriteOrder[j].name;
            const bool back = before[j].integer ? key->WriteInteger(name, *before[j].integer)
                              : before[j].text  ? key->WriteString(name, *before[j].text)
                                                : key->DeleteValue(name);
            restored = back && restored;
        }
        return {false,
                L"The performance settings could not be stored: the registry refused "
                L"the value " +
                    std::wstring(field.name) +
                    (restored ? L". Nothing was changed."
                              : L", and the values before it could not all be put "
                                L"back.")};
    }
    record_ = next;
    return {};
}

DeviceWriteResult PerformanceDialog::WritePerformanceEeprom() {
    auto write = [this](std::uint16_t address, std::uint8_t value) {
        const std::uint8_t data[] = {value};
        const bool sent = SendCommand(services_.channel, MakeWriteCommand(address, data)) == 1;
        services_.waits.Wait(kEepromByteWait);
        return sent;
    };
    auto refused = [this](std::uint16_t address) {
        // Stop at the first refusal: the apply command would make the mouse take over a
        // half-written set.
        reportState_.value = kReportStateIdle;
        return DeviceWriteResult{false,
                                 L"The mouse did not take the performance settings (EEPROM " +
                                     HexAddress(address) +
                                     L"). Please check that it is plugged in and apply "
                                     L"them again."};
    };

    reportState_.value = kReportStateIdle;
    if (!write(kEepromLevelAndLights, LevelAndLightsByte(record_.LevelNumber, lights_)))
        return refused(kEepromLevelAndLights);
    reportState_.value = kReportStateDpiEvent;
    const std::int32_t steps[] = {record_.DpiLevel1, record_.DpiLevel2, record_.DpiLevel3,
                                  record_.DpiLevel4};
    for (std::uint16_t i = 0; i < kLevelCount; ++i) {
        const auto address = static_cast<std::uint16_t>(kEepromDpiSteps + i);
        if (!write(address, DpiStepByte(steps[i]))) return refused(address);
    }
    reportState_.value = kReportStatePollingEvent;
    // An unknown code stays in the EEPROM as it is, as it stays in the mouse.
    if (const auto polling = PollingByte(record_.PollingRate))
        if (!write(kEepromPolling, *polling)) return refused(kEepromPolling);
    reportState_.value = kReportStateIdle;
    if (SendCommand(services_.channel, MakeApplyCommand()) != 1) return refused(kAddressApply);
    services_.waits.Wait(kApplyWait);
    return {};
}

PerformanceDialog::CommitResult PerformanceDialog::Commit() {
    CommitResult result;
    result.save = SavePerformance();
    result.saved = result.save.ok;
    if (result.saved) {
        result.write = WritePerformanceEeprom();
        ApplyPerformance();  // Windows takes its settings even when the mouse did not
        // The store and Windows hold these now, so Cancel returns to them, not to older values
        // the store no longer has; a refused mouse write is reported to the user.
        TakeSnapshot();
    }
    services_.waits.Wait(kCommitWait);
    return result;
}

void PerformanceDialog::Cancel() {
    // Everything goes back, DPI values and pointer settings included: Reset and the DPI edits
    // changed the record, and Reset and the live clicks changed the mouse and Windows.
    record_ = shown_;
    for (int level = 1; level <= kLevelCount; ++level) {
        const auto sent = dpiSentLive_[static_cast<std::size_t>(level - 1)];
        if (level == record_.LevelNumber || !sent || *sent == DpiStepByte(*DpiField(level)))
            continue;
        reportState_.value = kReportStateIdle;
        SendLevel(level);
        services_.waits.Wait(kLiveCommandWait);
    }
    // The level shown goes last, so that it is the active one again.
    ApplyRecord(pollingByteShown_);
    dpiSentLive_ = {};
}

LoadResult PerformanceDialog::ResetToDefault() {
    return LoadPerformance(kPerformanceDefaultKey, LoadMode::Reset);
}

void PerformanceDialog::NotifyDisplay(DisplayKind kind) {
    services_.messenger.Post(kVistrelClass, kVistrelCaption,
                             kind == DisplayKind::DpiLevel ? kMsgShowDpiLevel : kMsgShowPolling, 0,
                             0);
}

void PerformanceDialog::MoveLevelKnob(int dx) {
    const int knob = view_.markerLeft + kLevelKnobOffset;
    if (knob + dx < kLevelKnobFirst || knob + dx >= kLevelKnobEnd) return;
    const auto level = BandOf(kLevelBands, view_.markerLeft + dx);
    if (!level) return;
    currentLevel_ = *level;
    ShowLevel(*level);
}

void PerformanceDialog::ReleaseLevelKnob() {
    if (!IsLevel(currentLevel_)) return;
    const int index = currentLevel_ - 1;
    if (index != lastLevelSent_) {
        reportState_.value = kReportStateIdle;
        SendLevel(currentLevel_);
        services_.waits.Wait(kLevelAnswerWait);
        NotifyDisplay(DisplayKind::DpiLevel);
    }
    lastLevelSent_ = index;
}

void PerformanceDialog::MovePointerKnob(PointerSlider slider, int dx) {
    const SliderStop at = view_.sliders[static_cast<std::size_t>(slider)];
    if (at.knob + dx < kSliderKnobFirst || at.knob + dx >= kSliderKnobEnd) return;
    const auto step = BandOf(kSliderBands, at.marker + dx);
    if (!step) return;
    PlaceSlider(slider, *step);
    switch (slider) {
        case PointerSlider::DoubleClick:
            doubleClickStep_ = *step;
            break;
        case PointerSlider::Cursor:
            cursorStep_ = *step;
            break;
        case PointerSlider::Scroll:
            scrollStep_ = *step;
            break;
    }
}

void PerformanceDialog::PressBarColumn(int y) {
    barDrag_ = true;
    MoveBarColumn(y);
}

void PerformanceDialog::MoveBarColumn(int y) {
    if (!barDrag_) return;
    const auto step = BarColumnStep(y);
    if (!step) return;
    ShowStep(*step);
    if (std::int32_t* field = DpiField(currentLevel_)) *field = *step;
}

bool PerformanceDialog::EnterDpi(std::wstring_view text) {
    const auto entry = RoundDpiEntry(text);
    if (!entry) return false;
    view_.dpiText = entry->text;
    ++view_.dpiTextSerial;
    if (std::int32_t* field = DpiField(currentLevel_)) *field = entry->step;
    view_.barsShown = BarsForStep(entry->step);
    return true;
}

void PerformanceDialog::PressPolling(int code) { ShowPollingCode(code); }

void PerformanceDialog::ReleasePolling(int code) {
    if (!IsPollingCode(code)) return;
    pollingCode_ = code;
    if (code != lastPollingSent_) {
        lastPollingSent_ = code;
        reportState_.value = kReportStateIdle;
        SendPolling(code);
        NotifyDisplay(DisplayKind::PollingRate);
    }
    services_.waits.Wait(kPollingClickWait);
}

void PerformanceDialog::ToggleOneScreen() {
    view_.oneScreen = !view_.oneScreen;
    oneScreenValue_ = view_.oneScreen ? -1 : 0;
}

void PerformanceDialog::OnDisplayLevel(std::uintptr_t levelIndex, std::intptr_t dpi) {
    // Only the four levels are taken; anything else from another process is ignored.
    if (levelIndex >= static_cast<std::uintptr_t>(kLevelCount)) return;
    const int level = static_cast<int>(levelIndex) + 1;
    currentLevel_ = level;
    record_.LevelNumber = level;
    lastLevelSent_ = level - 1;  // the mouse is there: a drag to it needs no command
    view_.markerLeft = LevelMarkerLeft(level);
    const std::uint64_t step = static_cast<std::uintptr_t>(dpi) / kDpiPerStep;
    view_.barsShown = BarsForStep(step > kMaxDpiStep ? kMaxDpiStep : static_cast<int>(step));
    view_.dpiText = std::to_wstring(step * kDpiPerStep);
    ++view_.dpiTextSerial;
}

void PerformanceDialog::OnDisplayPolling(std::uintptr_t hertz) {
    const auto code = PollingCodeOfHertz(hertz);
    if (!code) return;
    record_.PollingRate = *code;
    pollingCode_ = *code;
    lastPollingSent_ = *code;  // the mouse runs it: a click on it needs no command
    ShowPollingCode(*code);
}

}  // namespace performance
