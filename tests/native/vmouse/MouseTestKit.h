#pragma once
// Small helpers shared by the model tests: build reports, read answers, drain the outbox.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "vmouse/model/VirtualMouse.h"

namespace vmouse::testing {

using Report = std::vector<uint8_t>;

inline Report Command(uint8_t id, uint16_t address, uint8_t count,
                      std::initializer_list<uint8_t> data = {}) {
    Report r(kFeatureReportSize, 0);
    r[0] = id;
    r[1] = static_cast<uint8_t>(address & 0xFF);
    r[2] = static_cast<uint8_t>(address >> 8);
    r[3] = count;
    size_t i = kCommandHeaderSize;
    for (uint8_t b : data) r.at(i++) = b;
    return r;
}

inline bool Write(VirtualMouse& m, uint16_t address, std::initializer_list<uint8_t> data) {
    const Report r = Command(kWriteReportId, address, static_cast<uint8_t>(data.size()), data);
    return m.SetFeature(kVendorUsagePage, kWriteUsage, r.data(), r.size());
}

// Read request then answer; returns the whole 16-byte answer (empty when refused).
inline Report Read(VirtualMouse& m, uint16_t address, uint8_t count) {
    const Report req = Command(kReadReportId, address, count);
    if (!m.SetFeature(kVendorUsagePage, kReadUsage, req.data(), req.size())) return {};
    Report answer(kFeatureReportSize, 0);
    answer[0] = kReadReportId;
    if (!m.GetFeature(kVendorUsagePage, kReadUsage, answer.data(), answer.size())) return {};
    return answer;
}

inline std::vector<Report> Drain(VirtualMouse& m) {
    std::vector<Report> out;
    InputReport r{};
    while (m.TakeInput(r)) out.emplace_back(r.bytes, r.bytes + kInputReportSize);
    return out;
}

inline const Report kAck = {2, 0x10, 0, 0, 0, 0, 0, 0};

inline std::vector<TraceEntry> TraceEntries(const VirtualMouse& m) {
    std::vector<TraceEntry> out;
    const TraceRing& t = m.Trace();
    for (uint32_t s = t.FirstSequence(); s < t.NextSequence(); ++s) {
        TraceEntry e{};
        if (t.Get(s, e)) out.push_back(e);
    }
    return out;
}

}  // namespace vmouse::testing
