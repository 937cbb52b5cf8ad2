#pragma once
// The control tool's requests to the model and the model's answers, carried as feature report 5
// (256 bytes) of the control collection: SetFeature with a request, then GetFeature for the
// answer. Both sides use these functions, so the layout lives in one place.
//
// Request: 05, command, a8, b8, a32 (LE), b32 (LE), flag1, flag2; SetFaults carries the faults
//          from byte 2 instead (EncodeFaults).
// Answer:  05, command, status, n, payload from byte 4.
#include <stddef.h>
#include <stdint.h>

#include "vmouse/model/ReportDescriptors.h"
#include "vmouse/model/VirtualMouse.h"

namespace vmouse {

enum class ControlCommand : uint8_t {
    Status = 1,      // live state, faults, counters, trace range, host flags
    Press = 2,       // a8 = Control code, b8 = button 1..5
    SetFaults = 3,   // the faults from byte 2, as EncodeFaults lays them out
    Reset = 4,       // factory EEPROM
    ReadEeprom = 5,  // a32 = offset; n bytes from answer byte 8, offset echoed at 4
    ReadTrace = 6,   // a32 = first sequence; n entries from byte 4
    ClearTrace = 7,
};

enum class ControlStatus : uint8_t { Ok = 0, BadRequest = 1, UnknownCommand = 2 };

struct ControlRequest {
    ControlCommand command;
    uint8_t a8;
    uint8_t b8;
    uint32_t a32;
    uint32_t b32;
    uint8_t flag1;
    uint8_t flag2;
};

struct StatusInfo {
    LiveState live;
    Faults faults;
    Counters counters;
    uint32_t eepromGeneration;
    uint32_t traceFirst;
    uint32_t traceNext;
    uint32_t hostFlags;  // the driver's: which collections are started, persistence state
};

inline constexpr size_t kEepromChunk = 240;
inline constexpr size_t kTraceEntryWireSize = 29;
inline constexpr size_t kTraceEntriesPerAnswer = 8;

// Host flag bits reported by the driver.
inline constexpr uint32_t kHostWriteStarted = 1u << 0;
inline constexpr uint32_t kHostReadStarted = 1u << 1;
inline constexpr uint32_t kHostCombinedStarted = 1u << 2;
inline constexpr uint32_t kHostEepromLoaded = 1u << 8;   // image came from the registry
inline constexpr uint32_t kHostPersistFailed = 1u << 9;  // last registry write failed
inline constexpr uint32_t kHostWorkerAlive = 1u << 10;   // the driver's timer thread is ticking

// The faults on the wire (in the SetFaults request and the status answer): format, field
// count, then every field of ForEachFaultField as 32 bits LE. A new field adds four bytes (the
// request and the status answer have room for dozens, checked where they are laid out); the
// count lets either side refuse a peer built with other fields instead of misreading it.
inline constexpr uint8_t kFaultsFormat = 1;
inline constexpr size_t kFaultsHeaderSize = 2;
inline constexpr size_t kFaultsWireSize = kFaultsHeaderSize + 4 * kFaultFieldCount;

void EncodeFaults(const Faults& faults, uint8_t (&out)[kFaultsWireSize]);
// false (out untouched) for a short buffer, another format or field count, or a value the
// field cannot hold (a flag other than 0 or 1).
bool DecodeFaults(const uint8_t* bytes, size_t length, Faults& out);

void EncodeControlRequest(const ControlRequest& request, uint8_t (&out)[kControlReportSize]);
void EncodeFaultsRequest(const Faults& faults, uint8_t (&out)[kControlReportSize]);

// Carries out a request on the mouse and fills the answer. Never reads past length.
void HandleControlRequest(VirtualMouse& mouse, const uint8_t* request, size_t length,
                          uint32_t hostFlags, uint8_t (&answer)[kControlReportSize]);

// Answer decoding for the tool. Each returns false for an answer that is not an Ok answer to
// that command.
bool DecodeStatus(const uint8_t (&answer)[kControlReportSize], StatusInfo& out);
// n bytes of the EEPROM from offset; count receives n (at most kEepromChunk).
bool DecodeEepromChunk(const uint8_t (&answer)[kControlReportSize], uint32_t offset, uint8_t* out,
                       size_t size, size_t& count);
bool DecodeTraceEntries(const uint8_t (&answer)[kControlReportSize], TraceEntry* out, size_t size,
                        size_t& count);
ControlStatus AnswerStatus(const uint8_t (&answer)[kControlReportSize], ControlCommand command);

}  // namespace vmouse
