#pragma once
// The profile write: 35 reports into the EEPROM, each sent after the mouse acknowledged the one
// before, resent twice at 3 s intervals when it does not, driven by two one-shot timers.
#include <chrono>
#include <functional>
#include <string_view>

#include "device/DeviceServices.h"
#include "device/MainState.h"
#include "device/MainView.h"

namespace device {

inline constexpr std::string_view kRewriteTimer = "rewritetimer1";
inline constexpr std::string_view kWriteEndingTimer = "WriteEnding";
inline constexpr auto kRewriteInterval = std::chrono::milliseconds{3000};
inline constexpr auto kWriteEndingInterval = std::chrono::milliseconds{100};
inline constexpr auto kWriteStartWait = std::chrono::milliseconds{100};
inline constexpr auto kChunkWait = std::chrono::milliseconds{3};
inline constexpr int kChunkSize = 12;
inline constexpr int kLastChunkOffset = 408;
inline constexpr int kLastChunkSize = 2;
inline constexpr int kMaxResends = 2;

struct WriteState {
    int offset = 0;
    int position = 0;
    int profile = 0;
    int address = 0;
    int count = 0;
    bool done = false;
    int retries = 0;
};

// Everything a profile write takes: the profile, its record texts, its slots and the lights,
// copied when the write is asked for, so that what the window shows later cannot change it.
struct ProfileSnapshot {
    int profile = 0;
    ProfileRecordTexts texts{};
    std::array<ButtonSlot, kButtonCount> slots{};
    LightState lights{};
};
// The snapshot of profile p as the state holds it now (the record texts are the window's).
ProfileSnapshot SnapshotOf(const MainState& state, int profile);

class ProfileWriter {
  public:
    enum class Phase {
        Idle,     // no write, or the last one is over
        Sending,  // a chunk waits for its acknowledgement
        Ending,   // the last chunk was acknowledged; WriteEnding runs
        Held,     // the mouse went away or is being attached again: the write waits to restart
    };

    ProfileWriter(MainState& state, DeviceServices& services, MainView& view);

    // A click on the hidden write button: writes the record texts of CurrentProfile. Returns
    // whether the write started. One runs at a time: a start while a write runs or waits
    // (held) is refused and changes nothing, neither store nor mouse; the window's controls
    // are disabled meanwhile, so only a fault of the caller gets here.
    bool Start();
    // The same for an explicit snapshot (the pending-changes write).
    bool Start(const ProfileSnapshot& snapshot);
    // The mouse went away, or its attach queries are about to take the report state: the running
    // write stops where it is and waits. Nothing else is sent for it.
    void Hold();
    // The mouse is ready again: a held write is written again from its start, so no profile is
    // left half-written. Returns whether one was held.
    bool Resume();
    // An acknowledgement routed here by the device-report handler (report state 5). Ignored
    // unless a chunk is waiting for one.
    void OnWriteAcknowledged();

    Phase phase() const { return phase_; }
    bool busy() const { return phase_ != Phase::Idle; }
    bool held() const { return phase_ == Phase::Held; }
    // Called each time the writer has nothing left to do (the last write ended or was given up).
    std::function<void()> OnIdle;
    const WriteState& writeState() const { return write_; }

  private:
    using Job = ProfileSnapshot;
    void Begin(const Job& job);
    void WriteChunk();
    void OnRewriteTimer();
    void OnWriteEnding();
    void StartRewriteTimer();

    MainState& state_;
    DeviceServices& services_;
    MainView& view_;
    WriteState write_;
    Phase phase_ = Phase::Idle;
    Job current_{};
};

}  // namespace device
