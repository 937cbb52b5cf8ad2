#pragma once
// The virtual Tavrine mouse: its EEPROM, live state, reports, own controls, faults and trace.
//
// How to use it (native tests, adapters, the kernel driver):
//
//   vmouse::VirtualMouse mouse;          // factory EEPROM, live state taken from it, time 0
//   mouse.SetTime(now);                  // or SetClock(fn, ctx) once; times are milliseconds
//
//   uint8_t write[16] = {3, 0x05, 0x00, 1, 0x40};                // EEPROM address 5 := 0x40
//   mouse.SetFeature(0xFF00, 0xFF00, write, sizeof write);       // true: accepted
//   vmouse::InputReport r;
//   while (mouse.TakeInput(r)) { ... }   // r.bytes = 02 10 00 .. : the acknowledgement
//
//   uint8_t req[16] = {4, 0x02, 0xFF, 2};                        // read request: profile
//   mouse.SetFeature(0xFF00, 0x0002, req, sizeof req);
//   uint8_t answer[16] = {4};
//   mouse.GetFeature(0xFF00, 0x0002, answer, sizeof answer);     // answer[4] = 2
//
// Input reports go to the sink given with SetInputSink when there is one, else into an outbox
// of kOutboxCapacity reports read with TakeInput. Acknowledgements held back by the delay fault
// come out from Poll() (or any later call) once their time has come.
//
// Freestanding on purpose (no exceptions, no heap, no standard library, constexpr constructor so
// a global instance needs no start-up code): the kernel driver builds the same sources. Not
// thread-safe: callers serialise access.
#include <stddef.h>
#include <stdint.h>

#include "vmouse/model/MouseMap.h"
#include "vmouse/model/Trace.h"

namespace vmouse {

struct InputReport {
    Collection collection;
    uint8_t bytes[kInputReportSize];
};

struct LiveState {
    uint8_t activeProfile;  // 1..5
    uint8_t levelIndex;     // 0..3
    uint8_t dpiSteps[kLevelCount];
    uint8_t pollingCode;  // 0 = 1000 Hz, 1 = 500 Hz, 2 = 125 Hz
    uint8_t wheelLight;   // 0 / 1
    uint8_t logoLight;    // 0 / 1
    uint8_t locked;       // 0 / 1
};

// Built with designated initialisers (Faults{.ackDelayMs = 400}); a new fault also needs its
// place in ForEachFaultField below, its behaviour in VirtualMouse.cpp and a row of the table in
// FaultTable.h.
struct Faults {
    // Drop the acknowledgement of the nth accepted write from now; 0 = off.
    uint32_t dropAckIn = 0;
    // Hold every acknowledgement back this long; 0 = off.
    uint32_t ackDelayMs = 0;
    // Feature answers carry noise after the report id.
    bool garbageAnswers = false;
    // Nothing is carried out, answered or sent.
    bool silent = false;
    // Send the acknowledgement of the nth accepted write twice; 0 = off.
    uint32_t duplicateAckIn = 0;

    friend constexpr bool operator==(const Faults&, const Faults&) = default;
};

// Calls fn(field) for every field of faults (a Faults or const Faults), in the order the
// control protocol carries them. The structured binding stops the build when Faults gains a
// field this list does not name, so the wire format and the tests that walk it cannot miss it.
template <typename FaultsT, typename Fn>
constexpr void ForEachFaultField(FaultsT& faults, Fn&& fn) {
    auto& [dropAckIn, ackDelayMs, garbageAnswers, silent, duplicateAckIn] = faults;
    fn(dropAckIn);
    fn(ackDelayMs);
    fn(garbageAnswers);
    fn(silent);
    fn(duplicateAckIn);
}

constexpr size_t CountFaultFields() {
    Faults f{};
    size_t n = 0;
    ForEachFaultField(f, [&n](auto&) { ++n; });
    return n;
}
inline constexpr size_t kFaultFieldCount = CountFaultFields();

struct Counters {
    uint32_t writesAccepted;
    uint32_t readsAccepted;
    uint32_t refused;
    uint32_t inputsSent;
    uint32_t acksDropped;
};

class VirtualMouse {
  public:
    using ClockFn = uint32_t (*)(void* context);
    using InputSinkFn = void (*)(void* context, const InputReport& report);

    static constexpr size_t kOutboxCapacity = 64;
    static constexpr size_t kDelayedCapacity = 64;

    constexpr VirtualMouse() { ResetState(); }

    // Time source; without one, the time is whatever SetTime last gave.
    void SetClock(ClockFn clock, void* context);
    void SetTime(uint32_t nowMs) { nowMs_ = nowMs; }
    // With a sink, input reports are handed over at once instead of queued in the outbox.
    void SetInputSink(InputSinkFn sink, void* context);

    // Feature reports as the HID class hands them over: report id in byte 0. false = refused
    // (or, for GetFeature, nothing to answer on that collection); the reason is in the trace.
    bool SetFeature(uint16_t usagePage, uint16_t usage, const uint8_t* report, size_t length);
    bool GetFeature(uint16_t usagePage, uint16_t usage, uint8_t* report, size_t length);

    // The mouse's own controls. PressButton takes 1..5 (left, right, middle, side 1, side 2).
    void PressDpi();
    void PressProfile();
    void PressPolling();
    void PressLock();
    bool PressButton(uint8_t button);

    // Releases held-back acknowledgements that are due. Returns the time of the next one, or 0.
    uint32_t Poll();
    bool TakeInput(InputReport& out);
    size_t PendingInputs() const { return outboxCount_; }

    void SetFaults(const Faults& faults) { faults_ = faults; }
    const Faults& CurrentFaults() const { return faults_; }
    void ClearFaults() { faults_ = Faults{}; }

    // EEPROM image for dump and persistence. LoadEeprom needs exactly kEepromSize bytes and
    // takes the live state from it, as at power-up.
    const uint8_t* Eeprom() const { return eeprom_; }
    bool LoadEeprom(const uint8_t* image, size_t length);
    // Counts EEPROM changes, so a host knows when to persist the image.
    uint32_t EepromGeneration() const { return eepromGeneration_; }
    // Factory EEPROM and power-up state; faults, outbox and pending acknowledgements cleared.
    // The trace is kept and notes the reset.
    void FactoryReset();

    const LiveState& Live() const { return live_; }
    const Counters& Stats() const { return counters_; }
    const TraceRing& Trace() const { return trace_; }
    void ClearTrace() { trace_.Clear(); }

  private:
    struct Delayed {
        uint32_t dueMs;
        InputReport report;
    };

    constexpr void ResetState();
    constexpr void TakeLiveFromEeprom();
    uint32_t Now();
    TraceNote CarryOutWrite(const uint8_t* report);
    TraceNote CheckReadRequest(const uint8_t* report) const;
    void FillAnswer(uint8_t* answer);
    void Acknowledge();
    void SendAcknowledgement();
    void SendEvent(uint8_t event);
    void Emit(const InputReport& report, TraceNote note);
    void TraceControl(Control control, uint8_t argument);
    bool Refuse(TraceKind kind, Collection c, TraceNote note, const uint8_t* bytes, size_t length);

    uint8_t eeprom_[kEepromSize] = {};
    LiveState live_ = {};
    Faults faults_ = {};
    Counters counters_ = {};
    uint32_t eepromGeneration_ = 0;

    // The pending read request: what the next GetFeature answers.
    uint16_t readAddress_ = 0;
    uint8_t readCount_ = 0;
    uint32_t noise_ = 0x2545F491u;

    InputReport outbox_[kOutboxCapacity] = {};
    size_t outboxHead_ = 0;
    size_t outboxCount_ = 0;
    Delayed delayed_[kDelayedCapacity] = {};
    size_t delayedCount_ = 0;

    ClockFn clock_ = nullptr;
    void* clockContext_ = nullptr;
    InputSinkFn sink_ = nullptr;
    void* sinkContext_ = nullptr;
    uint32_t nowMs_ = 0;

    TraceRing trace_;
};

// The factory EEPROM: global settings and five profiles of default button records.
constexpr void FillFactoryEeprom(uint8_t (&eeprom)[kEepromSize]) {
    for (uint8_t& b : eeprom) b = 0;
    eeprom[kAddrActiveProfile] = 0x20;   // profile 1
    eeprom[kAddrPolling] = 0;            // 1000 Hz
    eeprom[kAddrLevelAndLights] = 0x32;  // level 3, wheel and logo lights on
    eeprom[kAddrDpiSteps + 0] = 4;
    eeprom[kAddrDpiSteps + 1] = 8;
    eeprom[kAddrDpiSteps + 2] = 12;
    eeprom[kAddrDpiSteps + 3] = 35;
    constexpr uint8_t kDefaultCodes[kButtonsPerProfile] = {0xC0, 0xC1, 0xC2, 0x00, 0x00};
    for (size_t p = 0; p < kProfileCount; ++p) {
        for (size_t b = 0; b < kButtonsPerProfile; ++b) {
            const size_t at = ProfileButtonAddress(p, b);
            eeprom[at] = kDefaultCodes[b];
            eeprom[at + 1] = 0x40;  // last entry
            eeprom[at + 80] = 0xA0;
        }
    }
}

constexpr void VirtualMouse::TakeLiveFromEeprom() {
    // Out-of-range bytes fall back to the factory meaning rather than leaving the mouse in a
    // state no command can describe.
    const uint8_t profileByte = eeprom_[kAddrActiveProfile];
    const uint8_t profile = static_cast<uint8_t>(profileByte / 0x20);
    live_.activeProfile = (profile >= 1 && profile <= kProfileCount) ? profile : 1;
    const uint8_t polling = eeprom_[kAddrPolling];
    live_.pollingCode = polling < kPollingCodeCount ? polling : 0;
    const uint8_t levelAndLights = eeprom_[kAddrLevelAndLights];
    const uint8_t level = static_cast<uint8_t>(levelAndLights & 0x0F);
    live_.levelIndex = level < kLevelCount ? level : 0;
    live_.wheelLight = (levelAndLights & 0x10) ? 1 : 0;
    live_.logoLight = (levelAndLights & 0x20) ? 1 : 0;
    for (size_t i = 0; i < kLevelCount; ++i) {
        const uint8_t step = eeprom_[kAddrDpiSteps + i];
        live_.dpiSteps[i] = (step >= 1 && step <= kMaxDpiStep) ? step : 1;
    }
}

constexpr void VirtualMouse::ResetState() {
    FillFactoryEeprom(eeprom_);
    ++eepromGeneration_;
    faults_ = Faults{};
    outboxHead_ = 0;
    outboxCount_ = 0;
    delayedCount_ = 0;
    readAddress_ = 0;
    readCount_ = 0;
    live_.locked = 0;
    TakeLiveFromEeprom();
}

}  // namespace vmouse
