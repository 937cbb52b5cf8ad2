#include "vmouse/model/Trace.h"

namespace vmouse {

void TraceRing::Add(uint32_t timeMs, TraceDirection direction, TraceKind kind,
                    Collection collection, TraceNote note, const uint8_t* bytes, size_t length) {
    TraceEntry& e = entries_[next_ % kCapacity];
    e.sequence = next_;
    e.timeMs = timeMs;
    e.direction = direction;
    e.kind = kind;
    e.collection = collection;
    e.note = note;
    if (bytes == nullptr) length = 0;
    if (length > kFeatureReportSize) length = kFeatureReportSize;
    e.length = static_cast<uint8_t>(length);
    for (size_t i = 0; i < kFeatureReportSize; ++i) e.bytes[i] = i < length ? bytes[i] : 0;
    ++next_;
}

void TraceRing::Clear() {
    for (TraceEntry& e : entries_) e = TraceEntry{};
    next_ = 1;
}

uint32_t TraceRing::FirstSequence() const {
    return next_ > kCapacity ? next_ - static_cast<uint32_t>(kCapacity) : 1;
}

bool TraceRing::Get(uint32_t sequence, TraceEntry& out) const {
    if (sequence < FirstSequence() || sequence >= next_) return false;
    out = entries_[sequence % kCapacity];
    return true;
}

}  // namespace vmouse
