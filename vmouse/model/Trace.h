#pragma once
// A fixed-size ring of everything that crossed the mouse's boundary: reports in and out, and
// presses of its own controls. Oldest entries are overwritten; sequence numbers show the gap.
#include <stddef.h>
#include <stdint.h>

#include "vmouse/model/MouseMap.h"

namespace vmouse {

enum class TraceDirection : uint8_t {
    In = 0,     // host to mouse (feature set, feature get request)
    Out = 1,    // mouse to host (input report, feature answer)
    Local = 2,  // the mouse's own controls
};

enum class TraceKind : uint8_t {
    SetFeature = 0,
    GetFeature = 1,
    Input = 2,
    Control = 3,
};

// What became of the report. Everything from UnknownReportId to Silent is a refusal.
enum class TraceNote : uint8_t {
    Accepted = 0,
    Answered,
    Sent,
    Queued,      // input report held back by the delay fault
    AckDropped,  // the drop fault swallowed this acknowledgement
    UnknownReportId,
    WrongCollection,
    BadLength,
    BadCount,
    BadAddress,
    PastEnd,
    BadValue,
    Silent,  // the silence fault is on
    OutboxFull,
};

inline constexpr bool IsRefusal(TraceNote n) {
    return n >= TraceNote::UnknownReportId && n <= TraceNote::Silent;
}

// Control codes kept in bytes[0] of a Control entry; bytes[1] is the button number for Button.
enum class Control : uint8_t { Dpi = 1, Profile = 2, Polling = 3, Lock = 4, Button = 5, Reset = 6 };

struct TraceEntry {
    uint32_t sequence;
    uint32_t timeMs;
    TraceDirection direction;
    TraceKind kind;
    Collection collection;
    TraceNote note;
    uint8_t length;  // bytes used in bytes[]; the report's own length may have been larger
    uint8_t bytes[kFeatureReportSize];
};

class TraceRing {
  public:
    static constexpr size_t kCapacity = 1024;

    constexpr TraceRing() = default;

    // Copies at most kFeatureReportSize bytes; a null pointer with length 0 is fine.
    void Add(uint32_t timeMs, TraceDirection direction, TraceKind kind, Collection collection,
             TraceNote note, const uint8_t* bytes, size_t length);
    void Clear();

    // Sequence numbers run from 1; entries older than FirstSequence() are gone.
    uint32_t FirstSequence() const;
    uint32_t NextSequence() const { return next_; }
    bool Get(uint32_t sequence, TraceEntry& out) const;

  private:
    TraceEntry entries_[kCapacity] = {};
    uint32_t next_ = 1;
};

}  // namespace vmouse
