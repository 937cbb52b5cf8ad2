#include "vmouse/model/TraceFormat.h"

namespace vmouse {
namespace {

class LineWriter {
  public:
    LineWriter(char* out, size_t size) : out_(out), size_(size) {}
    void Text(const char* s) {
        while (*s != '\0') Char(*s++);
    }
    void Char(char c) {
        if (used_ + 1 < size_) out_[used_++] = c;
    }
    void Hex(uint8_t value) {
        constexpr char kDigits[] = "0123456789abcdef";
        Char(kDigits[value >> 4]);
        Char(kDigits[value & 0x0F]);
    }
    void Hex16(uint16_t value) {
        constexpr char kDigits[] = "0123456789ABCDEF";
        for (int shift = 12; shift >= 0; shift -= 4) Char(kDigits[(value >> shift) & 0x0F]);
    }
    void Decimal(uint32_t value) {
        char digits[10];
        size_t n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (n > 0) Char(digits[--n]);
    }
    size_t Finish() {
        out_[used_] = '\0';
        return used_;
    }

  private:
    char* out_;
    size_t size_;
    size_t used_ = 0;
};

const char* ControlName(uint8_t code) {
    switch (static_cast<Control>(code)) {
        case Control::Dpi:
            return "press dpi";
        case Control::Profile:
            return "press profile";
        case Control::Polling:
            return "press polling";
        case Control::Lock:
            return "press lock";
        case Control::Button:
            return "press button";
        case Control::Reset:
            return "factory reset";
    }
    return "control?";
}

const char* KindName(TraceKind kind) {
    switch (kind) {
        case TraceKind::SetFeature:
            return "set-feature";
        case TraceKind::GetFeature:
            return "get-feature";
        case TraceKind::Input:
            return "input";
        case TraceKind::Control:
            return "control";
    }
    return "?";
}

}  // namespace

const char* NoteName(TraceNote note) {
    switch (note) {
        case TraceNote::Accepted:
            return "accepted";
        case TraceNote::Answered:
            return "answered";
        case TraceNote::Sent:
            return "sent";
        case TraceNote::Queued:
            return "held back";
        case TraceNote::AckDropped:
            return "dropped by fault";
        case TraceNote::UnknownReportId:
            return "refused: unknown report id";
        case TraceNote::WrongCollection:
            return "refused: wrong collection";
        case TraceNote::BadLength:
            return "refused: bad length";
        case TraceNote::BadCount:
            return "refused: bad count";
        case TraceNote::BadAddress:
            return "refused: address outside the map";
        case TraceNote::PastEnd:
            return "refused: runs past the EEPROM";
        case TraceNote::BadValue:
            return "refused: bad value";
        case TraceNote::Silent:
            return "ignored: mouse silent";
        case TraceNote::OutboxFull:
            return "lost: queue full";
    }
    return "?";
}

size_t FormatTraceLine(const TraceEntry& entry, char* out, size_t size) {
    if (out == nullptr || size < kTraceLineMax) return 0;
    LineWriter w(out, size);
    w.Decimal(entry.sequence);
    w.Char(' ');
    w.Decimal(entry.timeMs);
    w.Text("ms ");
    if (entry.kind == TraceKind::Control) {
        w.Text("local ");
        w.Text(entry.length > 0 ? ControlName(entry.bytes[0]) : "control?");
        if (entry.length > 1 && entry.bytes[0] == static_cast<uint8_t>(Control::Button)) {
            w.Char(' ');
            w.Decimal(entry.bytes[1]);
        }
        if (entry.note != TraceNote::Accepted) {
            w.Char(' ');
            w.Text(NoteName(entry.note));
        }
        return w.Finish();
    }
    w.Text(entry.direction == TraceDirection::In ? "in " : "out ");
    if (entry.collection == Collection::None) {
        w.Text("?/? ");
    } else {
        w.Hex16(kVendorUsagePage);
        w.Char('/');
        w.Hex16(UsageOf(entry.collection));
        w.Char(' ');
    }
    w.Text(KindName(entry.kind));
    for (size_t i = 0; i < entry.length && i < kFeatureReportSize; ++i) {
        w.Char(' ');
        w.Hex(entry.bytes[i]);
    }
    w.Char(' ');
    w.Text(NoteName(entry.note));
    return w.Finish();
}

}  // namespace vmouse
