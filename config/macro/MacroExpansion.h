#pragma once
// A stored macro turned into a button record for the mouse: its events copied, its inserted
// commands expanded into the keys and clicks they stand for, the repeat mode and count put into
// the last two bytes.
#include <string>
#include <string_view>

#include "device/ButtonRecord.h"
#include "platform/SettingsStore.h"

namespace macro {

// The values of a macro's key that the assignment reads (missing values are empty).
struct StoredMacro {
    std::wstring keys;
    std::wstring commandMark;
    std::wstring repeatState;  // "a0", "a1", "a2"
    std::wstring repeatTimes;  // decimal
};
StoredMacro ReadStoredMacro(platform::SettingsStore& store, std::wstring_view name);

struct MacroAssignment {
    bool ok = false;
    device::ButtonRecord record{};
    std::wstring recordText;  // 82 hex numbers, as the write routine parses them
    std::wstring error;       // why the macro cannot be assigned
};

// Expands slot by slot: a command slot becomes its 4 or 8 bytes (its second byte dropped), any
// other slot is copied. Events that would run past byte 79 refuse the whole macro: a press cut
// from its release would leave a key held down on the mouse. Byte 80 is the repeat mode (A0 for
// a missing or unknown state), byte 81 the count (0 without a state, at most 254).
MacroAssignment ExpandMacro(const StoredMacro& macro, std::wstring_view name);

}  // namespace macro
