#include "device/DeviceSession.h"

#include "common/DeviceIds.h"

#include "device/CommandReport.h"
#include "device/ProfileStore.h"
#include "device/RecordTemplates.h"
#include "device/WindowMessages.h"

namespace device {

namespace {
constexpr std::uint8_t kEventDpi = 0x01;
constexpr std::uint8_t kEventPolling = 0x02;
constexpr std::uint8_t kEventProfile = 0x04;
constexpr std::uint8_t kEventLock = 0x08;
constexpr std::uint8_t kAcknowledgement = 0x10;
constexpr std::uint8_t kEventReportId = 2;
}  // namespace

DeviceSession::DeviceSession(MainState& state, DeviceServices& services, ProfileWriter& writer,
                             MainView& view)
    : state_(state), services_(services), writer_(writer), view_(view) {
    writer_.OnIdle = [this] { OnWriterIdle(); };
}

void DeviceSession::OnWriterIdle() {
    // A light read that came due during the write is done now that the reports are free.
    if (lightReadDeferred_) {
        lightReadDeferred_ = false;
        StartShowLightTimer();
    }
    const int change = heldProfileChange_;
    heldProfileChange_ = 0;
    if (change) SelectProfile(change - 1);
    const int held = heldSwitch_;
    heldSwitch_ = 0;
    if (held) SendProfileSwitch(held);
}

void DeviceSession::StartAttachTimer() {
    services_.timers.Start(kDeviceAttachTimer, kDeviceAttachInterval, [this] { OnAttachTimer(); });
}

void DeviceSession::OnCollectionPresent() {
    // Each present collection restarts the timer: one attach, 1300 ms after the last of them.
    services_.timers.Stop(kDeviceAttachTimer);
    StartAttachTimer();
}

void DeviceSession::OnNoCollectionLeft() {
    services_.timers.Stop(kDeviceAttachTimer);
    // Nothing is left to read the lights from, and its Resume would restart a held write at
    // an absent mouse; the next attach reads them again.
    services_.timers.Stop(kShowLightTimer);
    lightReadDeferred_ = false;
    // A write cut off by the mouse going away is written again from its start when it is back.
    writer_.Hold();
    view_.SetWindowEnabled(false);
    state_.MessageIndex = Notice::NoDevice;
    view_.ShowNotice(Notice::NoDevice);
}

void DeviceSession::OnAttachTimer() {
    services_.timers.Stop(kDeviceAttachTimer);
    // The attach queries take the report state; a running write waits and starts over after.
    writer_.Hold();
    view_.RegisterDeviceReports(kReportUsagePages, kReportUsages);
    ReadActiveProfile();
    if (OnAttach) OnAttach();
    view_.ShowAttachPictures();
    StartShowLightTimer();
    view_.HideNoticeWindow();
    view_.SetWindowEnabled(true);
    services_.timers.Stop(kDeviceAttachTimer);
}

void DeviceSession::StartShowLightTimer() {
    services_.timers.Stop(kShowLightTimer);
    services_.timers.Start(kShowLightTimer, kShowLightInterval, [this] { OnShowLightTimer(); });
}

void DeviceSession::OnShowLightTimer() {
    services_.timers.Stop(kShowLightTimer);
    if (writer_.busy() && !writer_.held()) {
        // A running write owns the report state: the query would take its acknowledgements and
        // read an answer that is none. The write enables the controls at its end; the lights
        // are read after it.
        lightReadDeferred_ = true;
        return;
    }
    const auto answer = Query(services_.channel, services_.waits, state_.deviceReportState,
                              kAddressLevelAndLights, 1);
    state_.lightState.WheelLight = (answer[4] & 0x10) != 0;
    state_.lightState.LogoLight = (answer[4] & 0xE0) != 0;
    view_.ShowLights(state_.lightState);
    // A held write keeps the controls disabled until it has ended.
    if (!writer_.Resume()) view_.SetMainControlsEnabled(true);
}

void DeviceSession::SelectProfile(int profileIndex) {
    if (profileIndex < 0 || profileIndex >= kProfileCount) return;
    state_.CurrentProfile = profileIndex;
    state_.PendingProfile = -1;
    LoadProfile(services_.store, profileIndex, state_);
    view_.ShowLights(state_.lightState);
    view_.ShowProfileSelected(profileIndex);
}

void DeviceSession::ReadActiveProfile() {
    const auto answer =
        Query(services_.channel, services_.waits, state_.deviceReportState, kAddressLiveProfile, 2);
    const int n = SignedByte(answer[4]);
    if (n >= 1 && n <= kProfileCount) SelectProfile(n - 1);
}

void DeviceSession::OnProfileChanged(std::uintptr_t profileNumber) {
    if (profileNumber < 1 || profileNumber > kProfileCount) return;
    if (writer_.busy()) {
        heldProfileChange_ = static_cast<int>(profileNumber);  // shown when the write is over
        return;
    }
    SelectProfile(static_cast<int>(profileNumber) - 1);
}

void DeviceSession::SwitchDeviceProfile(int profileNumber) {
    if (profileNumber < 1 || profileNumber > kProfileCount) return;
    if (writer_.busy()) {
        heldSwitch_ = profileNumber;
        return;
    }
    SendProfileSwitch(profileNumber);
}

void DeviceSession::SendProfileSwitch(int profileNumber) {
    state_.deviceReportState.value = kReportStateProfileSwitch;
    const std::uint8_t code[] = {static_cast<std::uint8_t>(0x20 * profileNumber)};
    SendCommand(services_.channel, MakeWriteCommand(kAddressActiveProfile, code));
}

void DeviceSession::OnDeviceReport(std::uint32_t vendorId, std::uint32_t productId,
                                   std::span<const std::uint8_t> report) {
    if (vendorId != common::DeviceVendorId || productId != common::DeviceProductId) return;
    std::array<std::uint8_t, 8> r{};
    for (std::size_t i = 0; i < r.size() && i < report.size(); ++i) r[i] = report[i];

    int& reportState = state_.deviceReportState.value;
    // During a profile write the mouse's own events leave the report state alone: taking it
    // would route the next acknowledgement elsewhere and leave the profile half-written. Their
    // effects reach the program through the display program, after the write.
    const bool writing = reportState == kReportStateProfileWrite && writer_.busy();
    if (!writing) {
        switch (r[1]) {
            case kEventDpi:
                reportState = kReportStateDpiEvent;
                break;
            case kEventPolling:
                reportState = kReportStatePollingEvent;
                break;
            case kEventProfile:
                reportState = kReportStateProfileEvent;
                break;
            case kEventLock:
                reportState = kReportStateLockEvent;
                break;
            default:
                break;
        }
    }

    switch (reportState) {
        case kReportStateDpiEvent:
        case kReportStatePollingEvent:
            if (r[0] == kEventReportId) return;
            break;
        case kReportStateProfileEvent:
            return;
        case kReportStateProfileWrite:
            if (r[1] == kAcknowledgement) writer_.OnWriteAcknowledged();
            break;
        case kReportStateLightWrite:
            if (r[1] == kAcknowledgement) SendCommand(services_.channel, MakeApplyCommand());
            break;
        case kReportStateLightDialog:
            // Only the first answer closes the dialog: a later report (the apply command's
            // acknowledgement) would close the dialog the next time it is shown.
            if (r[1] != 0) {
                reportState = kReportStateIdle;
                view_.FinishLightDialog();
            }
            break;
        case kReportStateProfileSwitch:
            SendCommand(services_.channel, MakeApplyCommand());
            services_.waits.Wait(kSwitchWait);
            services_.messenger.Post(kVistrelClass, kVistrelCaption, kMsgShowProfile, 0, 0);
            reportState = kReportStateIdle;
            break;
        default:
            break;
    }

    if (r[1] == 0 && r[3] != 0) LaunchCheck(r[3]);
}

void DeviceSession::LaunchCheck(std::uint8_t code) {
    // The code itself names the slot, whatever profile the window shows.
    for (int p = 0; p < kProfileCount; ++p) {
        for (int b = 0; b < kButtonCount; ++b) {
            if (LaunchCode(p, b) != code) continue;
            const std::wstring file = ReadLaunchFile(services_.store, p, b);
            // The shell given an empty name would open the working folder instead of failing.
            if (!file.empty()) services_.shell.Open(file);
        }
    }
}

}  // namespace device
