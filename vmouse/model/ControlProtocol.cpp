#include "vmouse/model/ControlProtocol.h"

namespace vmouse {
namespace {

void Put32(uint8_t* at, uint32_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
    at[2] = static_cast<uint8_t>(v >> 16);
    at[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t Get32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

constexpr size_t kPayload = 4;
constexpr size_t kRequestSize = 14;  // bytes a request uses
constexpr size_t kFaultsRequestAt = 2;

// Status payload, from answer byte 4. The faults come last so that a new fault only lengthens
// the answer.
constexpr size_t kStatusCountersAt = 10;
constexpr size_t kStatusGenerationAt = 30;
constexpr size_t kStatusTraceFirstAt = 34;
constexpr size_t kStatusTraceNextAt = 38;
constexpr size_t kStatusHostFlagsAt = 42;
constexpr size_t kStatusFaultsAt = 46;

static_assert(kFaultsRequestAt + kFaultsWireSize <= kControlReportSize,
              "the faults no longer fit in the SetFaults request");
static_assert(kPayload + kStatusFaultsAt + kFaultsWireSize <= kControlReportSize,
              "the faults no longer fit in the status answer");

// The largest value a field of type T holds: 1 for a flag.
template <typename T>
constexpr uint32_t FieldMax() {
    static_assert(static_cast<T>(-1) > static_cast<T>(0) && sizeof(T) <= 4,
                  "fault fields are flags or unsigned numbers of up to 32 bits");
    return static_cast<uint32_t>(static_cast<T>(-1));
}

void EncodeStatus(const VirtualMouse& mouse, uint32_t hostFlags, uint8_t* p) {
    const LiveState& l = mouse.Live();
    p[0] = l.activeProfile;
    p[1] = l.levelIndex;
    for (size_t i = 0; i < kLevelCount; ++i) p[2 + i] = l.dpiSteps[i];
    p[6] = l.pollingCode;
    p[7] = l.wheelLight;
    p[8] = l.logoLight;
    p[9] = l.locked;
    const Counters& c = mouse.Stats();
    uint8_t* counters = p + kStatusCountersAt;
    Put32(counters, c.writesAccepted);
    Put32(counters + 4, c.readsAccepted);
    Put32(counters + 8, c.refused);
    Put32(counters + 12, c.inputsSent);
    Put32(counters + 16, c.acksDropped);
    Put32(p + kStatusGenerationAt, mouse.EepromGeneration());
    Put32(p + kStatusTraceFirstAt, mouse.Trace().FirstSequence());
    Put32(p + kStatusTraceNextAt, mouse.Trace().NextSequence());
    Put32(p + kStatusHostFlagsAt, hostFlags);
    uint8_t faults[kFaultsWireSize];
    EncodeFaults(mouse.CurrentFaults(), faults);
    for (size_t i = 0; i < kFaultsWireSize; ++i) p[kStatusFaultsAt + i] = faults[i];
}

void EncodeTraceEntry(const TraceEntry& e, uint8_t* p) {
    Put32(p, e.sequence);
    Put32(p + 4, e.timeMs);
    p[8] = static_cast<uint8_t>(e.direction);
    p[9] = static_cast<uint8_t>(e.kind);
    p[10] = static_cast<uint8_t>(e.collection);
    p[11] = static_cast<uint8_t>(e.note);
    p[12] = e.length;
    for (size_t i = 0; i < kFeatureReportSize; ++i) p[13 + i] = e.bytes[i];
}

bool Press(VirtualMouse& mouse, uint8_t control, uint8_t button) {
    switch (static_cast<Control>(control)) {
        case Control::Dpi:
            mouse.PressDpi();
            return true;
        case Control::Profile:
            mouse.PressProfile();
            return true;
        case Control::Polling:
            mouse.PressPolling();
            return true;
        case Control::Lock:
            mouse.PressLock();
            return true;
        case Control::Button:
            return mouse.PressButton(button);
        case Control::Reset:
            break;
    }
    return false;
}

}  // namespace

void EncodeFaults(const Faults& faults, uint8_t (&out)[kFaultsWireSize]) {
    out[0] = kFaultsFormat;
    out[1] = static_cast<uint8_t>(kFaultFieldCount);
    uint8_t* at = out + kFaultsHeaderSize;
    ForEachFaultField(faults, [&at](const auto& field) {
        Put32(at, static_cast<uint32_t>(field));
        at += 4;
    });
}

bool DecodeFaults(const uint8_t* bytes, size_t length, Faults& out) {
    if (bytes == nullptr || length < kFaultsWireSize || bytes[0] != kFaultsFormat ||
        bytes[1] != kFaultFieldCount)
        return false;
    Faults faults{};
    const uint8_t* at = bytes + kFaultsHeaderSize;
    bool fits = true;
    ForEachFaultField(faults, [&at, &fits]<typename T>(T& field) {
        const uint32_t value = Get32(at);
        at += 4;
        if (value > FieldMax<T>()) fits = false;
        field = static_cast<T>(value);
    });
    if (!fits) return false;
    out = faults;
    return true;
}

void EncodeFaultsRequest(const Faults& faults, uint8_t (&out)[kControlReportSize]) {
    for (uint8_t& b : out) b = 0;
    out[0] = kControlReportId;
    out[1] = static_cast<uint8_t>(ControlCommand::SetFaults);
    uint8_t wire[kFaultsWireSize];
    EncodeFaults(faults, wire);
    for (size_t i = 0; i < kFaultsWireSize; ++i) out[kFaultsRequestAt + i] = wire[i];
}

void EncodeControlRequest(const ControlRequest& r, uint8_t (&out)[kControlReportSize]) {
    for (uint8_t& b : out) b = 0;
    out[0] = kControlReportId;
    out[1] = static_cast<uint8_t>(r.command);
    out[2] = r.a8;
    out[3] = r.b8;
    Put32(out + 4, r.a32);
    Put32(out + 8, r.b32);
    out[12] = r.flag1;
    out[13] = r.flag2;
}

void HandleControlRequest(VirtualMouse& mouse, const uint8_t* request, size_t length,
                          uint32_t hostFlags, uint8_t (&answer)[kControlReportSize]) {
    for (uint8_t& b : answer) b = 0;
    answer[0] = kControlReportId;
    if (request == nullptr || length < kRequestSize || request[0] != kControlReportId) {
        answer[2] = static_cast<uint8_t>(ControlStatus::BadRequest);
        return;
    }
    const uint8_t command = request[1];
    const uint32_t a32 = Get32(request + 4);
    answer[1] = command;
    ControlStatus status = ControlStatus::Ok;
    uint8_t* payload = answer + kPayload;

    switch (static_cast<ControlCommand>(command)) {
        case ControlCommand::Status:
            EncodeStatus(mouse, hostFlags, payload);
            break;
        case ControlCommand::Press:
            if (!Press(mouse, request[2], request[3])) status = ControlStatus::BadRequest;
            break;
        case ControlCommand::SetFaults: {
            Faults faults{};
            if (DecodeFaults(request + kFaultsRequestAt, length - kFaultsRequestAt, faults))
                mouse.SetFaults(faults);
            else
                status = ControlStatus::BadRequest;
            break;
        }
        case ControlCommand::Reset:
            mouse.FactoryReset();
            break;
        case ControlCommand::ReadEeprom: {
            if (a32 >= kEepromSize) {
                status = ControlStatus::BadRequest;
                break;
            }
            const size_t left = kEepromSize - a32;
            const size_t n = left < kEepromChunk ? left : kEepromChunk;
            Put32(payload, a32);
            for (size_t i = 0; i < n; ++i) payload[4 + i] = mouse.Eeprom()[a32 + i];
            answer[3] = static_cast<uint8_t>(n);
            break;
        }
        case ControlCommand::ReadTrace: {
            const TraceRing& trace = mouse.Trace();
            uint32_t sequence = a32 < trace.FirstSequence() ? trace.FirstSequence() : a32;
            size_t n = 0;
            TraceEntry e{};
            while (n < kTraceEntriesPerAnswer && trace.Get(sequence, e)) {
                EncodeTraceEntry(e, payload + n * kTraceEntryWireSize);
                ++n;
                ++sequence;
            }
            answer[3] = static_cast<uint8_t>(n);
            break;
        }
        case ControlCommand::ClearTrace:
            mouse.ClearTrace();
            break;
        default:
            status = ControlStatus::UnknownCommand;
            break;
    }
    answer[2] = static_cast<uint8_t>(status);
}

ControlStatus AnswerStatus(const uint8_t (&answer)[kControlReportSize], ControlCommand command) {
    if (answer[0] != kControlReportId || answer[1] != static_cast<uint8_t>(command))
        return ControlStatus::BadRequest;
    return static_cast<ControlStatus>(answer[2]);
}

bool DecodeStatus(const uint8_t (&answer)[kControlReportSize], StatusInfo& out) {
    if (AnswerStatus(answer, ControlCommand::Status) != ControlStatus::Ok) return false;
    const uint8_t* p = answer + kPayload;
    out.live.activeProfile = p[0];
    out.live.levelIndex = p[1];
    for (size_t i = 0; i < kLevelCount; ++i) out.live.dpiSteps[i] = p[2 + i];
    out.live.pollingCode = p[6];
    out.live.wheelLight = p[7];
    out.live.logoLight = p[8];
    out.live.locked = p[9];
    const uint8_t* counters = p + kStatusCountersAt;
    out.counters = Counters{.writesAccepted = Get32(counters),
                            .readsAccepted = Get32(counters + 4),
                            .refused = Get32(counters + 8),
                            .inputsSent = Get32(counters + 12),
                            .acksDropped = Get32(counters + 16)};
    out.eepromGeneration = Get32(p + kStatusGenerationAt);
    out.traceFirst = Get32(p + kStatusTraceFirstAt);
    out.traceNext = Get32(p + kStatusTraceNextAt);
    out.hostFlags = Get32(p + kStatusHostFlagsAt);
    return DecodeFaults(p + kStatusFaultsAt, kControlReportSize - kPayload - kStatusFaultsAt,
                        out.faults);
}

bool DecodeEepromChunk(const uint8_t (&answer)[kControlReportSize], uint32_t offset, uint8_t* out,
                       size_t size, size_t& count) {
    count = 0;
    if (AnswerStatus(answer, ControlCommand::ReadEeprom) != ControlStatus::Ok) return false;
    const size_t n = answer[3];
    if (Get32(answer + kPayload) != offset || n > kEepromChunk || n > size ||
        offset + n > kEepromSize)
        return false;
    for (size_t i = 0; i < n; ++i) out[i] = answer[kPayload + 4 + i];
    count = n;
    return true;
}

bool DecodeTraceEntries(const uint8_t (&answer)[kControlReportSize], TraceEntry* out, size_t size,
                        size_t& count) {
    count = 0;
    if (AnswerStatus(answer, ControlCommand::ReadTrace) != ControlStatus::Ok) return false;
    const size_t n = answer[3];
    if (n > kTraceEntriesPerAnswer || n > size) return false;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* p = answer + kPayload + i * kTraceEntryWireSize;
        TraceEntry& e = out[i];
        e.sequence = Get32(p);
        e.timeMs = Get32(p + 4);
        e.direction = static_cast<TraceDirection>(p[8]);
        e.kind = static_cast<TraceKind>(p[9]);
        e.collection = static_cast<Collection>(p[10]);
        e.note = static_cast<TraceNote>(p[11]);
        e.length = p[12] <= kFeatureReportSize ? p[12] : static_cast<uint8_t>(kFeatureReportSize);
        for (size_t j = 0; j < kFeatureReportSize; ++j) e.bytes[j] = p[13 + j];
    }
    count = n;
    return true;
}

}  // namespace vmouse
