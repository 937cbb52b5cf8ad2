// The control channel between the tool and the model, and the descriptors the driver serves.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <map>
#include <string>
#include <type_traits>
#include <utility>

#include "vmouse/model/ControlProtocol.h"
#include "tests/native/vmouse/MouseTestKit.h"

namespace vmouse {
namespace {
using namespace vmouse::testing;

using Answer = uint8_t[kControlReportSize];

void Exchange(VirtualMouse& m, const ControlRequest& r, Answer& answer, uint32_t hostFlags = 0) {
    uint8_t request[kControlReportSize];
    EncodeControlRequest(r, request);
    HandleControlRequest(m, request, sizeof request, hostFlags, answer);
}

void SetFaults(VirtualMouse& m, const Faults& f, Answer& answer) {
    uint8_t request[kControlReportSize];
    EncodeFaultsRequest(f, request);
    HandleControlRequest(m, request, sizeof request, 0, answer);
}

TEST(ControlProtocol, StatusCarriesLiveStateFaultsCountersAndHostFlags) {
    VirtualMouse m;
    ASSERT_TRUE(Write(m, 0x20, {1}));
    m.PressDpi();
    Answer a;
    SetFaults(
        m, Faults{.dropAckIn = 7, .ackDelayMs = 300, .garbageAnswers = true, .duplicateAckIn = 4},
        a);
    ASSERT_EQ(AnswerStatus(a, ControlCommand::SetFaults), ControlStatus::Ok);
    Exchange(m, {ControlCommand::Status, 0, 0, 0, 0, 0, 0}, a,
             kHostWriteStarted | kHostEepromLoaded);
    StatusInfo s{};
    ASSERT_TRUE(DecodeStatus(a, s));
    EXPECT_EQ(s.live.levelIndex, 3);
    EXPECT_EQ(s.live.dpiSteps[3], 35);
    EXPECT_EQ(s.live.activeProfile, 1);
    EXPECT_EQ(s.faults.dropAckIn, 7u);
    EXPECT_EQ(s.faults.ackDelayMs, 300u);
    EXPECT_TRUE(s.faults.garbageAnswers);
    EXPECT_FALSE(s.faults.silent);
    EXPECT_EQ(s.faults.duplicateAckIn, 4u);
    EXPECT_EQ(s.counters.writesAccepted, 1u);
    EXPECT_EQ(s.counters.inputsSent, 2u);
    EXPECT_EQ(s.traceNext, m.Trace().NextSequence());
    EXPECT_EQ(s.hostFlags, kHostWriteStarted | kHostEepromLoaded);
    size_t none = 0;
    EXPECT_FALSE(DecodeTraceEntries(a, nullptr, 0, none));  // an answer to another command
}

template <typename T>
uint32_t MaxOf(const T&) {
    return static_cast<uint32_t>(std::numeric_limits<T>::max());  // 1 for a flag
}

// Sets the index-th field (in wire order) to value, cut to what the field holds.
void SetField(Faults& f, size_t index, uint32_t value) {
    size_t i = 0;
    ForEachFaultField(f, [&](auto& field) {
        if (i++ == index)
            field = static_cast<std::remove_reference_t<decltype(field)>>(
                value < MaxOf(field) ? value : MaxOf(field));
    });
}

// Every field, walked through the same list the encoding uses, at 0, 1 and its largest value
// while the others hold values of their own: the faults come back whole from the encoding, from
// the request the mouse carries out, and from the status answer.
TEST(ControlProtocol, FaultsRoundTripEveryFieldAtItsBounds) {
    for (size_t i = 0; i < kFaultFieldCount; ++i) {
        for (uint32_t bound : {0u, 1u, 0xFFFFFFFFu}) {
            Faults f{};
            for (size_t j = 0; j < kFaultFieldCount; ++j)
                SetField(f, j, 0x01020304u * static_cast<uint32_t>(j + 1));
            SetField(f, i, bound);
            SCOPED_TRACE("field " + std::to_string(i) + " = " + std::to_string(bound));

            uint8_t wire[kFaultsWireSize];
            EncodeFaults(f, wire);
            Faults back{};
            ASSERT_TRUE(DecodeFaults(wire, sizeof wire, back));
            EXPECT_EQ(back, f);

            VirtualMouse m;
            Answer a;
            SetFaults(m, f, a);
            ASSERT_EQ(AnswerStatus(a, ControlCommand::SetFaults), ControlStatus::Ok);
            EXPECT_EQ(m.CurrentFaults(), f);
            Exchange(m, {ControlCommand::Status, 0, 0, 0, 0, 0, 0}, a);
            StatusInfo s{};
            ASSERT_TRUE(DecodeStatus(a, s));
            EXPECT_EQ(s.faults, f);
        }
    }
}

TEST(ControlProtocol, ShortOrGarbledFaultsAreRefusedAndChangeNothing) {
    const Faults f{.dropAckIn = 2, .silent = true};
    uint8_t wire[kFaultsWireSize];
    EncodeFaults(f, wire);
    Faults out{.ackDelayMs = 9};
    for (size_t n = 0; n < sizeof wire; ++n) EXPECT_FALSE(DecodeFaults(wire, n, out)) << n;
    EXPECT_FALSE(DecodeFaults(nullptr, sizeof wire, out));
    const auto refused = [&](size_t at, uint8_t value) {
        uint8_t bad[kFaultsWireSize];
        std::copy(std::begin(wire), std::end(wire), bad);
        bad[at] = value;
        return !DecodeFaults(bad, sizeof bad, out);
    };
    EXPECT_TRUE(refused(0, kFaultsFormat + 1));
    EXPECT_TRUE(refused(1, kFaultFieldCount - 1));  // a peer built with other fields
    EXPECT_TRUE(refused(1, kFaultFieldCount + 1));
    // A flag is 0 or 1; anything else is noise, not "on".
    size_t flag = 0, at = kFaultsHeaderSize;
    ForEachFaultField(f, [&](const auto& field) {
        if (MaxOf(field) == 1) flag = at;
        at += 4;
    });
    ASSERT_NE(flag, 0u);
    EXPECT_TRUE(refused(flag, 2));
    EXPECT_EQ(out.ackDelayMs, 9u);  // untouched by every refusal
    EXPECT_FALSE(refused(flag, 0));

    // Through the mouse: a short request, a garbled one and one in the old positional layout
    // (byte 2 was the duplicate count) are answered BadRequest and leave the faults alone.
    VirtualMouse m;
    m.SetFaults(f);
    uint8_t request[kControlReportSize];
    EncodeFaultsRequest(Faults{.ackDelayMs = 5}, request);
    Answer a;
    HandleControlRequest(m, request, 14, 0, a);
    EXPECT_EQ(AnswerStatus(a, ControlCommand::SetFaults), ControlStatus::BadRequest);
    request[3] = 0x7F;
    HandleControlRequest(m, request, sizeof request, 0, a);
    EXPECT_EQ(AnswerStatus(a, ControlCommand::SetFaults), ControlStatus::BadRequest);
    Exchange(m, {ControlCommand::SetFaults, 4, 0, 7, 300, 1, 0}, a);
    EXPECT_EQ(AnswerStatus(a, ControlCommand::SetFaults), ControlStatus::BadRequest);
    EXPECT_EQ(m.CurrentFaults(), f);
}

TEST(ControlProtocol, PressAndResetDriveTheMouse) {
    VirtualMouse m;
    Answer a;
    Exchange(m, {ControlCommand::Press, static_cast<uint8_t>(Control::Profile), 0, 0, 0, 0, 0}, a);
    EXPECT_EQ(AnswerStatus(a, ControlCommand::Press), ControlStatus::Ok);
    EXPECT_EQ(m.Live().activeProfile, 2);
    Exchange(m, {ControlCommand::Press, static_cast<uint8_t>(Control::Button), 9, 0, 0, 0, 0}, a);
    EXPECT_EQ(AnswerStatus(a, ControlCommand::Press), ControlStatus::BadRequest);
    Exchange(m, {ControlCommand::Press, 0x77, 0, 0, 0, 0, 0}, a);
    EXPECT_EQ(AnswerStatus(a, ControlCommand::Press), ControlStatus::BadRequest);
    Exchange(m, {ControlCommand::Reset, 0, 0, 0, 0, 0, 0}, a);
    EXPECT_EQ(m.Live().activeProfile, 1);
    EXPECT_EQ(m.Eeprom()[5], 0x20);
}

TEST(ControlProtocol, EepromReadInChunksGivesTheWholeImage) {
    VirtualMouse m;
    ASSERT_TRUE(Write(m, 0x0806, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    Report image(kEepromSize, 0xEE);
    uint32_t offset = 0;
    Answer a;
    while (offset < kEepromSize) {
        Exchange(m, {ControlCommand::ReadEeprom, 0, 0, offset, 0, 0, 0}, a);
        size_t n = 0;
        ASSERT_TRUE(DecodeEepromChunk(a, offset, image.data() + offset, kEepromSize - offset, n));
        ASSERT_GT(n, 0u);
        offset += static_cast<uint32_t>(n);
    }
    EXPECT_EQ(offset, kEepromSize);
    EXPECT_EQ(image, Report(m.Eeprom(), m.Eeprom() + kEepromSize));
    Exchange(m, {ControlCommand::ReadEeprom, 0, 0, static_cast<uint32_t>(kEepromSize), 0, 0, 0}, a);
    EXPECT_EQ(AnswerStatus(a, ControlCommand::ReadEeprom), ControlStatus::BadRequest);
    // An answer for another offset is not taken for this one.
    Exchange(m, {ControlCommand::ReadEeprom, 0, 0, 240, 0, 0, 0}, a);
    size_t n = 0;
    EXPECT_FALSE(DecodeEepromChunk(a, 0, image.data(), image.size(), n));
}

TEST(ControlProtocol, TracePagesThroughEveryEntryInOrder) {
    VirtualMouse m;
    for (uint8_t i = 0; i < 10; ++i) ASSERT_TRUE(Write(m, static_cast<uint16_t>(0x20 + i), {i}));
    const std::vector<TraceEntry> expected = TraceEntries(m);
    ASSERT_EQ(expected.size(), 20u);
    std::vector<TraceEntry> got;
    uint32_t next = 0;  // before the first: the answer starts at the oldest
    Answer a;
    for (;;) {
        Exchange(m, {ControlCommand::ReadTrace, 0, 0, next, 0, 0, 0}, a);
        TraceEntry page[kTraceEntriesPerAnswer];
        size_t n = 0;
        ASSERT_TRUE(DecodeTraceEntries(a, page, kTraceEntriesPerAnswer, n));
        if (n == 0) break;
        got.insert(got.end(), page, page + n);
        next = page[n - 1].sequence + 1;
    }
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].sequence, expected[i].sequence);
        EXPECT_EQ(got[i].note, expected[i].note);
        EXPECT_EQ(Report(got[i].bytes, got[i].bytes + 16),
                  Report(expected[i].bytes, expected[i].bytes + 16));
    }
    Exchange(m, {ControlCommand::ClearTrace, 0, 0, 0, 0, 0, 0}, a);
    EXPECT_EQ(m.Trace().NextSequence(), 1u);
}

TEST(ControlProtocol, MalformedRequestsAreAnsweredAsSuch) {
    VirtualMouse m;
    Answer a;
    uint8_t shortRequest[5] = {kControlReportId, 1, 0, 0, 0};
    HandleControlRequest(m, shortRequest, sizeof shortRequest, 0, a);
    EXPECT_EQ(a[2], static_cast<uint8_t>(ControlStatus::BadRequest));
    uint8_t request[kControlReportSize];
    EncodeControlRequest({ControlCommand::Status, 0, 0, 0, 0, 0, 0}, request);
    request[0] = 4;
    HandleControlRequest(m, request, sizeof request, 0, a);
    EXPECT_EQ(a[2], static_cast<uint8_t>(ControlStatus::BadRequest));
    request[0] = kControlReportId;
    request[1] = 0x42;
    HandleControlRequest(m, request, sizeof request, 0, a);
    EXPECT_EQ(AnswerStatus(a, static_cast<ControlCommand>(0x42)), ControlStatus::UnknownCommand);
    HandleControlRequest(m, nullptr, 256, 0, a);
    EXPECT_EQ(a[2], static_cast<uint8_t>(ControlStatus::BadRequest));
}

// Report lengths (id included) per (main item, report id), computed from a descriptor by
// walking its short items: what hidclass will compute from it.
std::map<std::pair<uint8_t, uint8_t>, size_t> ReportLengths(
    const uint8_t* d, size_t n, std::vector<std::pair<uint32_t, uint32_t>>& collections) {
    std::map<std::pair<uint8_t, uint8_t>, size_t> bits;
    uint32_t size = 0, count = 0, page = 0, usage = 0;
    uint8_t id = 0;
    for (size_t i = 0; i < n;) {
        const uint8_t prefix = d[i];
        const size_t len = (prefix & 3) == 3 ? 4 : (prefix & 3);
        uint32_t v = 0;
        for (size_t k = 0; k < len && i + 1 + k < n; ++k)
            v |= static_cast<uint32_t>(d[i + 1 + k]) << (8 * k);
        switch (prefix & 0xFC) {
            case 0x04:
                page = v;
                break;
            case 0x08:
                usage = v;
                break;
            case 0x74:
                size = v;
                break;
            case 0x94:
                count = v;
                break;
            case 0x84:
                id = static_cast<uint8_t>(v);
                break;
            case 0xA0:
                collections.emplace_back(page, usage);
                break;
            case 0x80:
            case 0xB0:
            case 0x90:
                bits[{static_cast<uint8_t>(prefix & 0xFC), id}] += size * count;
                break;
            default:
                break;
        }
        i += 1 + len;
    }
    std::map<std::pair<uint8_t, uint8_t>, size_t> bytes;
    for (const auto& [key, b] : bits) bytes[key] = b / 8 + 1;
    return bytes;
}

TEST(Descriptors, CollectionsAndReportLengthsAreTheMouseOwn) {
    uint8_t buffer[kCombinedDescriptorSize];
    const size_t n = CopyReportDescriptor(DeviceRole::Combined, buffer, sizeof buffer);
    ASSERT_EQ(n, kCombinedDescriptorSize);
    std::vector<std::pair<uint32_t, uint32_t>> collections;
    const auto lengths = ReportLengths(buffer, n, collections);
    EXPECT_EQ(collections, (std::vector<std::pair<uint32_t, uint32_t>>{
                               {0xFF00, 0xFF00}, {0xFF00, 0x0002}, {0xFFA0, 0x0001}}));
    const std::map<std::pair<uint8_t, uint8_t>, size_t> expected = {
        {{0x80, 1}, 8}, {{0x80, 2}, 8}, {{0xB0, 3}, 16}, {{0xB0, 4}, 16}, {{0xB0, 5}, 256}};
    EXPECT_EQ(lengths, expected);
    uint8_t small[10];
    EXPECT_EQ(CopyReportDescriptor(DeviceRole::WriteCollection, small, sizeof small), 0u);
    EXPECT_EQ(ReportDescriptorSize(DeviceRole::ReadCollection) +
                  ReportDescriptorSize(DeviceRole::WriteCollection) +
                  ReportDescriptorSize(DeviceRole::Control),
              kCombinedDescriptorSize);
}

TEST(Descriptors, RoleFollowsTheCollectionSuffixOfTheDeviceId) {
    EXPECT_EQ(RoleFromDeviceId(L"ROOT\\VID_1D57&PID_5502&COL01", 64), DeviceRole::WriteCollection);
    EXPECT_EQ(RoleFromDeviceId(L"ROOT\\VID_1D57&PID_5502&col02", 64), DeviceRole::ReadCollection);
    EXPECT_EQ(RoleFromDeviceId(L"ROOT\\VID_1D57&PID_5502&COL03", 64), DeviceRole::Control);
    EXPECT_EQ(RoleFromDeviceId(L"ROOT\\VID_1D57&PID_5502", 64), DeviceRole::Combined);
    EXPECT_EQ(RoleFromDeviceId(L"ROOT\\VID_1D57&PID_5502&COL09", 64), DeviceRole::Combined);
    EXPECT_EQ(RoleFromDeviceId(L"COL01", 64), DeviceRole::Combined);
    EXPECT_EQ(RoleFromDeviceId(nullptr, 64), DeviceRole::Combined);
    // An id without a terminator within the limit is only read up to the limit.
    const wchar_t unterminated[6] = {L'&', L'C', L'O', L'L', L'0', L'2'};
    EXPECT_EQ(RoleFromDeviceId(unterminated, 6), DeviceRole::ReadCollection);
}

}  // namespace
}  // namespace vmouse
