#pragma once
// The virtual mouse's faults, one row each: the name the control tool's command line spells
// ("vmouse fault drop-ack 3"), the argument it takes, what it reaches, what it does, and how it
// sets and reads its field of Faults. The tool's parser, help and status line and the
// end-to-end fault matrix all walk this table instead of naming the faults themselves.
//
// Portable and freestanding like the rest of the model, but host-side only: the driver does not
// build it.
#include <stddef.h>
#include <stdint.h>

#include "vmouse/model/VirtualMouse.h"

namespace vmouse {

enum class FaultArgument : uint8_t {
    Count,         // N: the nth accepted write from now (1 = the next one); 0 = off
    Milliseconds,  // MS; 0 = off
    OnOff,         // on | off
};

// What a fault disturbs, so that a test knows which operations it reaches and what the user
// should see (a mouse that takes nothing has to be reported, a garbled answer need not).
enum class FaultScope : uint8_t {
    Acknowledgements,  // the input reports that acknowledge writes; reads are untouched
    Answers,           // the feature answers to reads; writes are carried out and acknowledged
    Everything,        // nothing is carried out, answered or sent
};

struct FaultKind {
    const char* name;
    FaultArgument argument;
    FaultScope scope;
    const char* description;
    void (*set)(Faults& faults, uint32_t value);
    uint32_t (*get)(const Faults& faults);
};

// Numbers stay below 2^31 so that a due time (now + delay) still compares right across the
// tick counter's wrap.
inline constexpr uint32_t kFaultArgumentMax = 0x7FFFFFFF;

inline constexpr FaultKind kFaultKinds[] = {
    {"drop-ack", FaultArgument::Count, FaultScope::Acknowledgements,
     "the acknowledgement of the Nth write from now is lost (the write is carried out)",
     [](Faults& f, uint32_t v) { f.dropAckIn = v; }, [](const Faults& f) { return f.dropAckIn; }},
    {"delay-ack", FaultArgument::Milliseconds, FaultScope::Acknowledgements,
     "every acknowledgement comes MS milliseconds late",
     [](Faults& f, uint32_t v) { f.ackDelayMs = v; }, [](const Faults& f) { return f.ackDelayMs; }},
    {"dup-ack", FaultArgument::Count, FaultScope::Acknowledgements,
     "the acknowledgement of the Nth write from now is sent twice",
     [](Faults& f, uint32_t v) { f.duplicateAckIn = v; },
     [](const Faults& f) { return f.duplicateAckIn; }},
    {"garbage", FaultArgument::OnOff, FaultScope::Answers,
     "feature answers carry noise after the report id",
     [](Faults& f, uint32_t v) { f.garbageAnswers = v != 0; },
     [](const Faults& f) { return f.garbageAnswers ? 1u : 0u; }},
    {"silent", FaultArgument::OnOff, FaultScope::Everything,
     "nothing is carried out, answered or sent (the mouse's own controls still act)",
     [](Faults& f, uint32_t v) { f.silent = v != 0; },
     [](const Faults& f) { return f.silent ? 1u : 0u; }},
};
inline constexpr size_t kFaultKindCount = sizeof kFaultKinds / sizeof kFaultKinds[0];
static_assert(kFaultKindCount == kFaultFieldCount,
              "every field of Faults needs its row in kFaultKinds (and a row, its field)");

// The row named so on the command line, or nullptr.
const FaultKind* FindFault(const wchar_t* name);
// The argument as the command line gives it: a decimal number up to kFaultArgumentMax, or
// on/off. false for anything else.
bool ParseFaultArgument(FaultArgument argument, const wchar_t* text, uint32_t& value);
// How help text shows the argument: "N", "MS", "on|off".
const char* FaultArgumentText(FaultArgument argument);

}  // namespace vmouse
