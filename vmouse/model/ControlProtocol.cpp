#include "ControlProtocol.h"

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

void EncodeStatus(const VirtualMouse& mouse, uint32_t hostFlags, uint8_t* p) {
    const LiveState& l = mouse.Live();
    p[0] = l.activeProfile;
    p[1] = l.levelIndex;
    for (size_t i = 0; i < kLevelCount; ++i) p[2 + i] = l.dpiSteps[i];
    p[6] = l.pollingCode;
    p[7] = l.wheelLight;
    p[8] = l.logoLight;
    p[9] = l.locked;
    const Faults& f = mouse.CurrentFaults();
    Put32(p + 10, f.dropAckIn);
    Put32(p + 14, f.ackDelayMs);
    p[18] = f.garbageAnswers ? 1 : 0;
    p[19] = f.silent ? 1 : 0;
    Put32(p + 56, f.duplicateAckIn);
    const Counters& c = mouse.Stats();
    Put32(p + 20, c.writesAccepted);
    Put32(p + 24, c.readsAccepted);
    Put32(p + 28, c.refused);
    Put32(p + 32, c.inputsSent);
    Put32(p + 36, c.acksDropped);
    Put32(p + 40, mouse.EepromGeneration());
    Put32(p + 44, mouse.Trace().FirstSequence());
    Put32(p + 48, mouse.Trace().NextSequence());
    Put32(p + 52, hostFlags);
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
    const uint32_t b32 = Get32(request + 8);
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
        case ControlCommand::SetFaults:
            mouse.SetFaults(Faults{a32, b32, request[12] != 0, request[13] != 0, request[2]});
            break;
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
    out.faults = Faults{Get32(p + 10), Get32(p + 14), p[18] != 0, p[19] != 0, Get32(p + 56)};
    out.counters =
        Counters{Get32(p + 20), Get32(p + 24), Get32(p + 28), Get32(p + 32), Get32(p + 36)};
    out.eepromGeneration = Get32(p + 40);
    out.traceFirst = Get32(p + 44);
    out.traceNext = Get32(p + 48);
    out.hostFlags = Get32(p + 52);
    return true;
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
