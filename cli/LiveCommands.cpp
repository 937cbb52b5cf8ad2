#include "cli/LiveCommands.h"

#include "cli/MouseReads.h"
#include "performance/PerformanceDialog.h"
#include "performance/PerformanceTables.h"
#include "device/WindowMessages.h"

namespace cli {

using performance::DeviceWriteResult;
using performance::DpiOfStep;
using performance::IsLevel;
using performance::kDpiPerStep;
using performance::kEepromLevelAndLights;
using performance::kLevelBits;
using performance::kLevelCount;
using performance::kLiveLevel;
using performance::kLiveLogo;
using performance::kLivePolling;
using performance::kLiveWheel;
using performance::kMaxDpiStep;
using performance::kMinDpiStep;
using performance::kPollingRates;
using performance::LevelAndLightsByte;
using performance::PerformanceDialog;
using performance::PerformanceRecord;
using performance::PointerSettings;
using performance::PollingCodeOfHertz;
using performance::PollingRate;

using device::DeviceReportState;
using device::kAddressActiveProfile;
using device::kMsgShowDpiLevel;
using device::kMsgShowPolling;
using device::kMsgShowProfile;
using device::kProfileCount;
using device::kVistrelCaption;
using device::kVistrelClass;
using device::LightState;
using device::MakeApplyCommand;
using device::MakeWriteCommand;
using device::SendCommand;

namespace {

constexpr auto kCommandWait = std::chrono::milliseconds{50};
constexpr auto kSwitchAnswerTimeout = std::chrono::milliseconds{1000};
constexpr auto kSwitchWait = std::chrono::milliseconds{16};
constexpr auto kLightWriteWait = std::chrono::milliseconds{60};
constexpr std::uint16_t kLiveProfile = 0xFF02;
constexpr std::uint16_t kLiveLock = 0xFF05;

// The performance dialog's EEPROM write needs its pointer settings only to exist.
class NoPointer final : public PointerSettings {
  public:
    std::int32_t WheelScrollLines() const override { return 3; }
    std::int32_t MouseSpeed() const override { return 10; }
    std::int32_t DoubleClickTime() const override { return 500; }
    void SetDoubleClickTime(std::int32_t) override {}
    void SetMouseSpeed(std::int32_t) override {}
    void SetWheelScrollLines(std::uint32_t) override {}
};

CommandResult Failed(std::wstring why) { return CommandResult{std::move(why), {}}; }

bool SendChecked(platform::DeviceChannel& channel, std::uint16_t address,
                 std::initializer_list<std::uint8_t> data) {
    const std::vector<std::uint8_t> bytes(data);
    return SendCommand(channel, MakeWriteCommand(address, bytes)) == 1;
}

std::wstring NotTaken(std::uint16_t address) {
    return L"the mouse did not take the write to " + HexWord(address) + L" (is it plugged in?)";
}

std::optional<MouseGlobals> ReadGlobals(LiveServices& services, std::wstring& error) {
    DeviceReportState state;
    const MouseRead read =
        ReadMouseRange(services.channel, services.waits, state, kGlobalsAddress, kGlobalsSize);
    if (!read.ok()) {
        error = read.error;
        return std::nullopt;
    }
    MouseGlobals globals;
    std::copy(read.bytes.begin(), read.bytes.end(), globals.bytes.begin());
    return globals;
}

// The active level as the mouse has it now: a stored change keeps it, as the dialogs do, whose
// level was read from the mouse when they were shown.
std::wstring TakeLiveLevel(LiveServices& services, MouseGlobals& globals) {
    DeviceReportState state;
    const MouseRead level = ReadMouse(services.channel, services.waits, state, kLiveLevel, 2);
    if (!level.ok()) return level.error;
    if (level.bytes[0] < kLevelCount)
        globals.bytes[2] =
            static_cast<std::uint8_t>((globals.bytes[2] & ~kLevelBits) | level.bytes[0]);
    return {};
}

// The performance dialog's OK: level and lights, the four DPI steps, the polling code, apply;
// then the same bytes go into the store.
std::wstring SavePerformance(LiveServices& services, const MouseGlobals& globals) {
    PerformanceRecord record;
    record.LevelNumber = globals.LevelNumber();
    record.DpiLevel1 = globals.DpiStep(1);
    record.DpiLevel2 = globals.DpiStep(2);
    record.DpiLevel3 = globals.DpiStep(3);
    record.DpiLevel4 = globals.DpiStep(4);
    record.PollingRate = globals.PollingCode();
    const LightState lights{static_cast<std::uint8_t>(globals.WheelLight()),
                            static_cast<std::uint8_t>(globals.LogoLight())};
    DeviceReportState state;
    NoPointer pointer;
    PerformanceDialog dialog(
        record, lights, state,
        {services.channel, services.store, services.waits, pointer, services.messenger});
    const DeviceWriteResult write = dialog.WritePerformanceEeprom();
    if (!write.ok) return write.failure;
    const StoreChange stored = RecordGlobals(services.store, globals);
    return stored.ok ? std::wstring{} : stored.error;
}

std::wstring DpiText(int step) { return std::to_wstring(DpiOfStep(step)) + L" DPI"; }

}  // namespace

int PollingHertz(int code) {
    for (const PollingRate& rate : kPollingRates)
        if (rate.code == code) return rate.hertz;
    return 0;
}

StatusRead ReadStatus(platform::DeviceChannel& channel, platform::Waits& waits) {
    StatusRead result;
    DeviceReportState state;
    const MouseRead profile = ReadMouse(channel, waits, state, kLiveProfile, 2);
    const MouseRead level =
        profile.ok() ? ReadMouse(channel, waits, state, kLiveLevel, 2) : profile;
    const MouseRead polling =
        level.ok() ? ReadMouse(channel, waits, state, kLivePolling, 1) : level;
    const MouseRead lock = polling.ok() ? ReadMouse(channel, waits, state, kLiveLock, 1) : polling;
    const MouseRead stored =
        lock.ok() ? ReadMouseRange(channel, waits, state, kGlobalsAddress, kGlobalsSize) : lock;
    if (!stored.ok()) {
        result.error = stored.error;
        return result;
    }
    result.status.profile = profile.bytes[0];
    result.status.levelIndex = level.bytes[0];
    result.status.dpiStep = level.bytes[1];
    result.status.pollingCode = polling.bytes[0];
    result.status.locked = lock.bytes[0] != 0;
    std::copy(stored.bytes.begin(), stored.bytes.end(), result.status.stored.bytes.begin());
    result.ok = true;
    return result;
}

std::optional<int> ReadActiveProfile(platform::DeviceChannel& channel, platform::Waits& waits) {
    DeviceReportState state;
    const MouseRead now = ReadMouse(channel, waits, state, kLiveProfile, 2);
    if (!now.ok() || now.bytes[0] < 1 || now.bytes[0] > kProfileCount) return std::nullopt;
    return now.bytes[0];
}

CommandResult SwitchProfile(LiveServices& services, int profile) {
    if (profile < 1 || profile > kProfileCount) return Failed(L"the profile is 1 to 5");
    if (!SendChecked(services.channel, kAddressActiveProfile,
                     {static_cast<std::uint8_t>(0x20 * profile)}))
        return Failed(NotTaken(kAddressActiveProfile));
    // The main window applies on the mouse's answer to the write; without one the apply still
    // goes out, and the read-back below tells whether the mouse took the profile.
    services.reports.WaitForReport(kSwitchAnswerTimeout);
    SendCommand(services.channel, MakeApplyCommand());
    services.waits.Wait(kSwitchWait);
    DeviceReportState state;
    const MouseRead now = ReadMouse(services.channel, services.waits, state, kLiveProfile, 2);
    if (!now.ok()) return Failed(now.error);
    if (now.bytes[0] != profile)
        return Failed(L"the mouse stayed on profile " + std::to_wstring(now.bytes[0]));
    services.messenger.Post(kVistrelClass, kVistrelCaption, kMsgShowProfile, 0, 0);
    return {{}, L"profile " + std::to_wstring(profile)};
}

CommandResult SetDpi(LiveServices& services, int level, std::optional<int> dpi, bool save) {
    if (!IsLevel(level)) return Failed(L"the level is 1 to 4");
    if (dpi && (*dpi < DpiOfStep(kMinDpiStep) || *dpi > DpiOfStep(kMaxDpiStep)))
        return Failed(L"the DPI is 100 to 3500");
    std::wstring error;
    auto globals = ReadGlobals(services, error);
    if (!globals) return Failed(error);
    const int step = dpi ? *dpi / kDpiPerStep : globals->DpiStep(level);
    if (step < kMinDpiStep || step > kMaxDpiStep)
        return Failed(L"the mouse holds no DPI for level " + std::to_wstring(level));
    if (!SendChecked(services.channel, kLiveLevel,
                     {static_cast<std::uint8_t>(level - 1), static_cast<std::uint8_t>(step)}))
        return Failed(NotTaken(kLiveLevel));
    services.waits.Wait(kCommandWait);
    if (save) {
        globals->bytes[2] =
            static_cast<std::uint8_t>((globals->bytes[2] & ~kLevelBits) | (level - 1));
        globals->bytes[static_cast<std::size_t>(2 + level)] = static_cast<std::uint8_t>(step);
        if (auto failure = SavePerformance(services, *globals); !failure.empty())
            return Failed(failure);
    }
    DeviceReportState state;
    const MouseRead now = ReadMouse(services.channel, services.waits, state, kLiveLevel, 2);
    if (!now.ok()) return Failed(now.error);
    if (now.bytes[0] != level - 1 || now.bytes[1] != step)
        return Failed(L"the mouse is at level " + std::to_wstring(now.bytes[0] + 1) + L", " +
                      DpiText(now.bytes[1]));
    services.messenger.Post(kVistrelClass, kVistrelCaption, kMsgShowDpiLevel, 0, 0);
    return {
        {},
        L"level " + std::to_wstring(level) + L", " + DpiText(step) + (save ? L" (stored)" : L"")};
}

CommandResult SetPolling(LiveServices& services, int hertz, bool save) {
    const auto code = PollingCodeOfHertz(static_cast<std::uintmax_t>(hertz < 0 ? 0 : hertz));
    if (!code) return Failed(L"the polling rate is 125, 500 or 1000");
    if (!SendChecked(services.channel, kLivePolling, {static_cast<std::uint8_t>(*code)}))
        return Failed(NotTaken(kLivePolling));
    services.waits.Wait(kCommandWait);
    if (save) {
        std::wstring error;
        auto globals = ReadGlobals(services, error);
        if (!globals) return Failed(error);
        globals->bytes[1] = static_cast<std::uint8_t>(*code);
        if (auto failure = TakeLiveLevel(services, *globals); !failure.empty())
            return Failed(failure);
        if (auto failure = SavePerformance(services, *globals); !failure.empty())
            return Failed(failure);
    }
    DeviceReportState state;
    const MouseRead now = ReadMouse(services.channel, services.waits, state, kLivePolling, 1);
    if (!now.ok()) return Failed(now.error);
    if (now.bytes[0] != *code)
        return Failed(L"the mouse polls at " + std::to_wstring(PollingHertz(now.bytes[0])) +
                      L" Hz");
    services.messenger.Post(kVistrelClass, kVistrelCaption, kMsgShowPolling, 0, 0);
    return {{}, std::to_wstring(hertz) + L" Hz" + (save ? L" (stored)" : L"")};
}

CommandResult SetLight(LiveServices& services, LightName light, bool on, bool save) {
    const std::uint16_t address = light == LightName::Wheel ? kLiveWheel : kLiveLogo;
    const std::wstring name = light == LightName::Wheel ? L"wheel light" : L"logo light";
    if (!SendChecked(services.channel, address, {static_cast<std::uint8_t>(on ? 1 : 0)}))
        return Failed(NotTaken(address));
    services.waits.Wait(kCommandWait);
    if (!save) return {{}, name + (on ? L" on" : L" off")};
    // The light dialog's OK: address 7 with the active level kept, then apply.
    std::wstring error;
    auto globals = ReadGlobals(services, error);
    if (!globals) return Failed(error);
    if (auto failure = TakeLiveLevel(services, *globals); !failure.empty()) return Failed(failure);
    LightState lights{static_cast<std::uint8_t>(globals->WheelLight()),
                      static_cast<std::uint8_t>(globals->LogoLight())};
    (light == LightName::Wheel ? lights.WheelLight : lights.LogoLight) = on ? 1 : 0;
    const std::uint8_t byte = LevelAndLightsByte(globals->LevelNumber(), lights);
    if (!SendChecked(services.channel, kEepromLevelAndLights, {byte}))
        return Failed(NotTaken(kEepromLevelAndLights));
    services.waits.Wait(kLightWriteWait);
    SendCommand(services.channel, MakeApplyCommand());
    services.waits.Wait(kLightWriteWait);
    auto after = ReadGlobals(services, error);
    if (!after) return Failed(error);
    if (after->bytes[2] != byte) return Failed(L"the mouse did not store the " + name);
    const StoreChange stored = RecordGlobals(services.store, *after);
    if (!stored.ok) return Failed(stored.error);
    return {{}, name + (on ? L" on" : L" off") + L" (stored)"};
}

}  // namespace cli
