#include "device/ProfileWrite.h"

#include <span>

#include "device/CommandReport.h"
#include "device/ProfileStore.h"
#include "device/WindowMessages.h"

namespace device {

ProfileWriter::ProfileWriter(MainState& state, DeviceServices& services, MainView& view)
    : state_(state), services_(services), view_(view) {}

ProfileSnapshot SnapshotOf(const MainState& state, int profile) {
    ProfileSnapshot snapshot;
    snapshot.profile = profile;
    snapshot.texts = state.recordTexts;
    snapshot.slots = state.slotTable[static_cast<std::size_t>(profile)];
    snapshot.lights = state.lightState;
    return snapshot;
}

bool ProfileWriter::Start() { return Start(SnapshotOf(state_, state_.CurrentProfile)); }

bool ProfileWriter::Start(const ProfileSnapshot& snapshot) {
    // Restarting would leave the running profile half-written in the EEPROM, and the running
    // image is still being sent from EepromImage.
    if (busy() || snapshot.profile < 0 || snapshot.profile >= kProfileCount) return false;
    if (!ProfileHasLeftButton(snapshot.texts)) {
        state_.MessageIndex = Notice::NoLeftButton;
        view_.ShowNotice(Notice::NoLeftButton);
        view_.SetMainControlsEnabled(true);
        return false;
    }
    services_.messenger.Post(kLoadingClass, kLoadingCaption, kMsgLoading, 1, 0);
    SaveProfile(services_.store, snapshot.profile, snapshot.texts, snapshot.slots, snapshot.lights);
    // Everything the write needs is taken now; the callers change the texts right after.
    Begin(snapshot);
    return true;
}

void ProfileWriter::Begin(const Job& job) {
    current_ = job;
    services_.waits.Wait(kWriteStartWait);
    for (int b = 0; b < kButtonCount; ++b)
        ParseButtonRecord(state_.eepromImage, ButtonRecordOffset(b), job.texts[b]);
    write_ = WriteState{};
    write_.profile = job.profile;
    write_.address = static_cast<int>(ROMAddress[job.profile][0]);
    write_.count = kChunkSize;
    state_.deviceReportState.value = kReportStateProfileWrite;
    phase_ = Phase::Sending;
    StartRewriteTimer();
    WriteChunk();
}

void ProfileWriter::WriteChunk() {
    // Always the 12 buffer bytes from position; for the last chunk only the first 2 count.
    const auto data = std::span<const std::uint8_t>(state_.eepromImage)
                          .subspan(static_cast<std::size_t>(write_.position), kChunkSize);
    SendCommand(services_.channel, MakeWriteCommand(static_cast<std::uint16_t>(write_.address),
                                                    static_cast<std::uint8_t>(write_.count), data));
    services_.waits.Wait(kChunkWait);
}

void ProfileWriter::StartRewriteTimer() {
    services_.timers.Start(kRewriteTimer, kRewriteInterval, [this] { OnRewriteTimer(); });
}

void ProfileWriter::OnWriteAcknowledged() {
    // Once the last chunk is acknowledged or the write given up, the write is over: a late or
    // stray acknowledgement must not run the ending (and perhaps end the program) again.
    if (phase_ != Phase::Sending) return;
    services_.timers.Stop(kRewriteTimer);
    if (write_.done) {
        write_.offset = 0;
        write_.position = 0;
        phase_ = Phase::Ending;
        services_.timers.Start(kWriteEndingTimer, kWriteEndingInterval,
                               [this] { OnWriteEnding(); });
        return;
    }
    write_.offset += kChunkSize;
    write_.position += kChunkSize;
    write_.address = static_cast<int>(ROMAddress[write_.profile][write_.offset]);
    write_.retries = 0;
    write_.count = write_.offset == kLastChunkOffset ? kLastChunkSize : kChunkSize;
    StartRewriteTimer();
    WriteChunk();
    if (write_.offset == kLastChunkOffset) write_.done = true;
}

void ProfileWriter::OnRewriteTimer() {
    if (phase_ != Phase::Sending) return;
    ++write_.retries;
    if (write_.retries <= kMaxResends) {
        StartRewriteTimer();
        WriteChunk();
        return;
    }
    // Given up.
    services_.timers.Stop(kRewriteTimer);
    write_.retries = 0;
    write_.done = true;
    write_.offset = 0;
    write_.position = 0;
    phase_ = Phase::Idle;
    // The store already holds the new assignments but the mouse does not: say so. An OK whose
    // write was given up must not end the program at some later, unrelated write.
    state_.ExitAfterWrite = false;
    state_.MessageIndex = Notice::WriteGivenUp;
    view_.ShowNotice(Notice::WriteGivenUp);
    services_.messenger.Post(kLoadingClass, kLoadingCaption, kMsgLoading, 0, 0);
    view_.SetMainControlsEnabled(true);
    if (OnIdle) OnIdle();
}

void ProfileWriter::Hold() {
    if (phase_ != Phase::Sending && phase_ != Phase::Ending) return;
    services_.timers.Stop(kRewriteTimer);
    services_.timers.Stop(kWriteEndingTimer);
    if (phase_ == Phase::Ending) {
        // Every chunk was acknowledged: the profile is in the mouse, only the ending is left.
        OnWriteEnding();
        return;
    }
    phase_ = Phase::Held;
    if (state_.deviceReportState.value == kReportStateProfileWrite)
        state_.deviceReportState.value = kReportStateIdle;
}

bool ProfileWriter::Resume() {
    if (phase_ != Phase::Held) return false;
    phase_ = Phase::Idle;
    Begin(current_);
    return true;
}

void ProfileWriter::OnWriteEnding() {
    services_.timers.Stop(kWriteEndingTimer);
    phase_ = Phase::Idle;
    services_.messenger.Post(kLoadingClass, kLoadingCaption, kMsgLoading, 0, 0);
    if (state_.ExitAfterWrite) {
        view_.TerminateApplication();
        return;
    }
    view_.HideButtonMarker();
    view_.SetMainControlsEnabled(true);
    if (OnIdle) OnIdle();
}

}  // namespace device
