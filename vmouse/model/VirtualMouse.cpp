#include "vmouse/model/VirtualMouse.h"

namespace vmouse {
namespace {

constexpr uint16_t ReadAddress(const uint8_t* report) {
    return static_cast<uint16_t>(report[1] | (report[2] << 8));
}

// Wrap-safe "a is at or after b" for millisecond tick counts.
constexpr bool NotBefore(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) >= 0; }

constexpr bool IsLiveReadable(uint16_t address) {
    return address == kRegLevel || address == kRegPolling || address == kRegProfile ||
           address == kRegLock;
}

}  // namespace

void VirtualMouse::SetClock(ClockFn clock, void* context) {
    clock_ = clock;
    clockContext_ = context;
}

void VirtualMouse::SetInputSink(InputSinkFn sink, void* context) {
    sink_ = sink;
    sinkContext_ = context;
}

uint32_t VirtualMouse::Now() {
    if (clock_ != nullptr) nowMs_ = clock_(clockContext_);
    return nowMs_;
}

void VirtualMouse::FactoryReset() {
    ResetState();
    TraceControl(Control::Reset, 0);
}

bool VirtualMouse::LoadEeprom(const uint8_t* image, size_t length) {
    if (image == nullptr || length != kEepromSize) return false;
    for (size_t i = 0; i < kEepromSize; ++i) eeprom_[i] = image[i];
    ++eepromGeneration_;
    TakeLiveFromEeprom();
    return true;
}

bool VirtualMouse::Refuse(TraceKind kind, Collection c, TraceNote note, const uint8_t* bytes,
                          size_t length) {
    ++counters_.refused;
    trace_.Add(nowMs_, TraceDirection::In, kind, c, note, bytes, length);
    return false;
}

bool VirtualMouse::SetFeature(uint16_t usagePage, uint16_t usage, const uint8_t* report,
                              size_t length) {
    Poll();
    const Collection c = CollectionOf(usagePage, usage);
    if (report == nullptr) length = 0;
    if (c == Collection::None)
        return Refuse(TraceKind::SetFeature, c, TraceNote::WrongCollection, report, length);
    if (length < kCommandHeaderSize || length > kFeatureReportSize)
        return Refuse(TraceKind::SetFeature, c, TraceNote::BadLength, report, length);
    if (faults_.silent) return Refuse(TraceKind::SetFeature, c, TraceNote::Silent, report, length);

    const uint8_t id = report[0];
    if (id != kWriteReportId && id != kReadReportId)
        return Refuse(TraceKind::SetFeature, c, TraceNote::UnknownReportId, report, length);
    if ((id == kWriteReportId) != (c == Collection::Write))
        return Refuse(TraceKind::SetFeature, c, TraceNote::WrongCollection, report, length);

    if (id == kReadReportId) {
        const TraceNote note = CheckReadRequest(report);
        if (note != TraceNote::Accepted) {
            readCount_ = 0;  // the next answer carries no data rather than stale data
            readAddress_ = ReadAddress(report);
            return Refuse(TraceKind::SetFeature, c, note, report, length);
        }
        readAddress_ = ReadAddress(report);
        readCount_ = report[3];
        ++counters_.readsAccepted;
        trace_.Add(nowMs_, TraceDirection::In, TraceKind::SetFeature, c, note, report, length);
        return true;
    }

    if (length < kCommandHeaderSize + report[3] || report[3] == 0 || report[3] > kMaxDataCount) {
        const TraceNote note = (report[3] == 0 || report[3] > kMaxDataCount) ? TraceNote::BadCount
                                                                             : TraceNote::BadLength;
        return Refuse(TraceKind::SetFeature, c, note, report, length);
    }
    const TraceNote note = CarryOutWrite(report);
    if (note != TraceNote::Accepted) return Refuse(TraceKind::SetFeature, c, note, report, length);
    ++counters_.writesAccepted;
    trace_.Add(nowMs_, TraceDirection::In, TraceKind::SetFeature, c, note, report, length);
    Acknowledge();
    return true;
}

// The caller has checked that count is 1..12 and that the report holds the data bytes.
TraceNote VirtualMouse::CarryOutWrite(const uint8_t* report) {
    const uint16_t address = ReadAddress(report);
    const uint8_t count = report[3];
    const uint8_t* data = report + kCommandHeaderSize;

    if (address < kEepromSize) {
        if (address + count > kEepromSize) return TraceNote::PastEnd;
        bool changed = false;
        for (size_t i = 0; i < count; ++i) {
            changed = changed || eeprom_[address + i] != data[i];
            eeprom_[address + i] = data[i];
        }
        if (changed) ++eepromGeneration_;
        return TraceNote::Accepted;
    }

    switch (address) {
        case kRegLevel:
            if (count != 2) return TraceNote::BadCount;
            if (data[0] >= kLevelCount || data[1] < 1 || data[1] > kMaxDpiStep)
                return TraceNote::BadValue;
            live_.levelIndex = data[0];
            live_.dpiSteps[data[0]] = data[1];
            return TraceNote::Accepted;
        case kRegPolling:
            if (count != 1) return TraceNote::BadCount;
            if (data[0] >= kPollingCodeCount) return TraceNote::BadValue;
            live_.pollingCode = data[0];
            return TraceNote::Accepted;
        case kRegWheel:
        case kRegLogo:
            if (count != 1) return TraceNote::BadCount;
            if (data[0] > 1) return TraceNote::BadValue;
            (address == kRegWheel ? live_.wheelLight : live_.logoLight) = data[0];
            return TraceNote::Accepted;
        case kRegApply:
            if (count != 1) return TraceNote::BadCount;
            TakeLiveFromEeprom();
            return TraceNote::Accepted;
        default:
            return TraceNote::BadAddress;  // outside the map, or a read-only register
    }
}

TraceNote VirtualMouse::CheckReadRequest(const uint8_t* report) const {
    const uint16_t address = ReadAddress(report);
    const uint8_t count = report[3];
    if (count == 0 || count > kMaxDataCount) return TraceNote::BadCount;
    if (address < kEepromSize)
        return address + count > kEepromSize ? TraceNote::PastEnd : TraceNote::Accepted;
    return IsLiveReadable(address) ? TraceNote::Accepted : TraceNote::BadAddress;
}

bool VirtualMouse::GetFeature(uint16_t usagePage, uint16_t usage, uint8_t* report, size_t length) {
    Poll();
    const Collection c = CollectionOf(usagePage, usage);
    if (report == nullptr) length = 0;
    // Never write past the caller's buffer: it must hold the whole report.
    if (length < kFeatureReportSize)
        return Refuse(TraceKind::GetFeature, c, TraceNote::BadLength, report, length);
    if (c != Collection::Read)
        return Refuse(TraceKind::GetFeature, c, TraceNote::WrongCollection, report, 1);
    if (report[0] != kReadReportId)
        return Refuse(TraceKind::GetFeature, c, TraceNote::UnknownReportId, report, 1);
    if (faults_.silent) return Refuse(TraceKind::GetFeature, c, TraceNote::Silent, report, 1);
    FillAnswer(report);
    trace_.Add(nowMs_, TraceDirection::Out, TraceKind::GetFeature, c, TraceNote::Answered, report,
               kFeatureReportSize);
    return true;
}

void VirtualMouse::FillAnswer(uint8_t* answer) {
    answer[0] = kReadReportId;
    answer[1] = static_cast<uint8_t>(readAddress_ & 0xFF);
    answer[2] = static_cast<uint8_t>(readAddress_ >> 8);
    answer[3] = readCount_;
    uint8_t* data = answer + kCommandHeaderSize;
    for (size_t i = 0; i < kMaxDataCount; ++i) data[i] = 0;
    if (readCount_ > 0) {
        if (readAddress_ < kEepromSize) {
            for (size_t i = 0; i < readCount_; ++i) data[i] = eeprom_[readAddress_ + i];
        } else if (readAddress_ == kRegLevel) {
            data[0] = live_.levelIndex;
            if (readCount_ > 1) data[1] = live_.dpiSteps[live_.levelIndex];
        } else if (readAddress_ == kRegPolling) {
            data[0] = live_.pollingCode;
        } else if (readAddress_ == kRegProfile) {
            data[0] = live_.activeProfile;
        } else if (readAddress_ == kRegLock) {
            data[0] = live_.locked;
        }
    }
    if (faults_.garbageAnswers) {
        for (size_t i = 1; i < kFeatureReportSize; ++i) {
            noise_ ^= noise_ << 13;  // xorshift32: cheap, deterministic noise
            noise_ ^= noise_ >> 17;
            noise_ ^= noise_ << 5;
            answer[i] = static_cast<uint8_t>(noise_ >> 24);
        }
    }
}

void VirtualMouse::Acknowledge() {
    const bool twice = faults_.duplicateAckIn > 0 && --faults_.duplicateAckIn == 0;
    SendAcknowledgement();
    if (twice) SendAcknowledgement();
}

void VirtualMouse::SendAcknowledgement() {
    InputReport ack = {Collection::Write, {kEventReportId, kEventAck, 0, 0, 0, 0, 0, 0}};
    if (faults_.dropAckIn > 0 && --faults_.dropAckIn == 0) {
        ++counters_.acksDropped;
        trace_.Add(nowMs_, TraceDirection::Out, TraceKind::Input, ack.collection,
                   TraceNote::AckDropped, ack.bytes, kInputReportSize);
        return;
    }
    if (faults_.ackDelayMs > 0) {
        if (delayedCount_ == kDelayedCapacity) {
            trace_.Add(nowMs_, TraceDirection::Out, TraceKind::Input, ack.collection,
                       TraceNote::OutboxFull, ack.bytes, kInputReportSize);
            return;
        }
        delayed_[delayedCount_++] = Delayed{nowMs_ + faults_.ackDelayMs, ack};
        trace_.Add(nowMs_, TraceDirection::Out, TraceKind::Input, ack.collection, TraceNote::Queued,
                   ack.bytes, kInputReportSize);
        return;
    }
    Emit(ack, TraceNote::Sent);
}

void VirtualMouse::SendEvent(uint8_t event) {
    const InputReport report = {Collection::Write, {kEventReportId, event, 0, 0, 0, 0, 0, 0}};
    Emit(report, TraceNote::Sent);
}

void VirtualMouse::Emit(const InputReport& report, TraceNote note) {
    if (faults_.silent) note = TraceNote::Silent;
    if (note == TraceNote::Sent && sink_ == nullptr && outboxCount_ == kOutboxCapacity)
        note = TraceNote::OutboxFull;
    trace_.Add(nowMs_, TraceDirection::Out, TraceKind::Input, report.collection, note, report.bytes,
               kInputReportSize);
    if (note != TraceNote::Sent) return;
    ++counters_.inputsSent;
    if (sink_ != nullptr) {
        sink_(sinkContext_, report);
        return;
    }
    outbox_[(outboxHead_ + outboxCount_) % kOutboxCapacity] = report;
    ++outboxCount_;
}

uint32_t VirtualMouse::Poll() {
    const uint32_t now = Now();
    size_t kept = 0;
    // Due reports leave in the order they were queued; the rest keep their order.
    for (size_t i = 0; i < delayedCount_; ++i) {
        if (NotBefore(now, delayed_[i].dueMs)) {
            Emit(delayed_[i].report, TraceNote::Sent);
        } else {
            delayed_[kept++] = delayed_[i];
        }
    }
    delayedCount_ = kept;
    uint32_t next = 0;
    for (size_t i = 0; i < delayedCount_; ++i) {
        if (next == 0 || NotBefore(next, delayed_[i].dueMs)) next = delayed_[i].dueMs;
    }
    return next;
}

bool VirtualMouse::TakeInput(InputReport& out) {
    Poll();
    if (outboxCount_ == 0) return false;
    out = outbox_[outboxHead_];
    outboxHead_ = (outboxHead_ + 1) % kOutboxCapacity;
    --outboxCount_;
    return true;
}

void VirtualMouse::TraceControl(Control control, uint8_t argument) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(control), argument};
    trace_.Add(nowMs_, TraceDirection::Local, TraceKind::Control, Collection::None,
               TraceNote::Accepted, bytes, 2);
}

void VirtualMouse::PressDpi() {
    Poll();
    TraceControl(Control::Dpi, 0);
    live_.levelIndex = static_cast<uint8_t>((live_.levelIndex + 1) % kLevelCount);
    SendEvent(kEventDpi);
}

void VirtualMouse::PressProfile() {
    Poll();
    TraceControl(Control::Profile, 0);
    live_.activeProfile = static_cast<uint8_t>(live_.activeProfile % kProfileCount + 1);
    // Kept in the EEPROM as well, so the choice survives a replug.
    eeprom_[kAddrActiveProfile] = static_cast<uint8_t>(0x20 * live_.activeProfile);
    ++eepromGeneration_;
    SendEvent(kEventProfile);
}

void VirtualMouse::PressPolling() {
    Poll();
    TraceControl(Control::Polling, 0);
    live_.pollingCode = static_cast<uint8_t>((live_.pollingCode + 1) % kPollingCodeCount);
    SendEvent(kEventPolling);
}

void VirtualMouse::PressLock() {
    Poll();
    TraceControl(Control::Lock, 0);
    live_.locked = live_.locked ? 0 : 1;
    SendEvent(kEventLock);
}

bool VirtualMouse::PressButton(uint8_t button) {
    Poll();
    if (button < 1 || button > kButtonsPerProfile) {
        const uint8_t bytes[2] = {static_cast<uint8_t>(Control::Button), button};
        ++counters_.refused;
        trace_.Add(nowMs_, TraceDirection::Local, TraceKind::Control, Collection::None,
                   TraceNote::BadValue, bytes, 2);
        return false;
    }
    TraceControl(Control::Button, button);
    const uint8_t code = eeprom_[ProfileButtonAddress(live_.activeProfile - 1u, button - 1u)];
    if (code >= kLaunchCodeFirst && code <= kLaunchCodeLast) {
        const InputReport key = {Collection::Write, {kKeyReportId, 0, 0, code, 0, 0, 0, 0}};
        Emit(key, TraceNote::Sent);
    }
    return true;
}

}  // namespace vmouse
