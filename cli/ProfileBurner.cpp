#include "cli/ProfileBurner.h"

#include "device/DeviceReportState.h"

namespace cli {

namespace {
constexpr std::uint8_t kAcknowledgement = 0x10;
constexpr int kAttemptsPerProfile = 2;
}  // namespace

void ProfileBurner::View::ShowNotice(device::Notice notice) {
    if (notice == device::Notice::WriteGivenUp) givenUp = true;
    if (notice == device::Notice::NoLeftButton) refused = true;
}

ProfileBurner::ProfileBurner(platform::DeviceChannel& channel, platform::SettingsStore& store,
                             platform::Timers& timers, platform::Waits& waits)
    : services_{channel, store, timers, waits, messages_, shell_},
      writer_(state_, services_, view_) {
    writer_.OnIdle = [this] { OnWriterIdle(); };
}

void ProfileBurner::Start(std::vector<device::ProfileSnapshot> profiles) {
    pending_.assign(profiles.begin(), profiles.end());
    error_.clear();
    written_ = 0;
    done_ = false;
    StartNext();
}

void ProfileBurner::StartNext() {
    if (pending_.empty()) {
        done_ = true;
        return;
    }
    current_ = pending_.front();
    pending_.pop_front();
    attempts_ = 1;
    view_ = View{};
    writer_.Start(current_);
    if (view_.refused) {
        error_ = L"profile " + std::to_wstring(current_.profile + 1) +
                 L" has no button with the left-button function";
        done_ = true;
    }
}

void ProfileBurner::OnWriterIdle() {
    if (view_.givenUp) {
        if (attempts_ < kAttemptsPerProfile) {
            ++attempts_;
            view_.givenUp = false;
            writer_.Start(current_);
            return;
        }
        error_ = L"the mouse did not acknowledge the write of profile " +
                 std::to_wstring(current_.profile + 1) +
                 L"; that profile may be incomplete in the mouse, so write it again";
        pending_.clear();
        done_ = true;
        return;
    }
    ++written_;
    StartNext();
}

void ProfileBurner::OnDeviceReport(std::span<const std::uint8_t> report) {
    if (report.size() < 2) return;
    if (state_.deviceReportState.value == device::kReportStateProfileWrite &&
        report[1] == kAcknowledgement)
        writer_.OnWriteAcknowledged();
}

}  // namespace cli
