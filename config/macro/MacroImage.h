#pragma once
// The macro editor's event image: 41 two-byte slots of key or command code and attribute, the
// typed view of one slot, which slots hold inserted commands, and the rules every image obeys.
// The bytes are what the store and the macro files keep; the typed view only reads them.
#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "device/ButtonRecord.h"

namespace macro {

inline constexpr int kMacroImageSize = 82;
inline constexpr int kMacroSlotCount = 41;
inline constexpr int kMacroEventLimit = 40;  // recording and insertion never write past byte 79
inline constexpr int kMaxPressRun = 20;
inline constexpr std::uint8_t kMacroRelease = 0x80;
inline constexpr std::uint8_t kMacroLast = 0x40;
inline constexpr std::uint8_t kMacroDelayMask = 0x3F;
inline constexpr int kMaxDelayUnits = 63;

// The same 82 bytes as a button record: the store's text of a macro is a record's text.
using MacroImage = device::ButtonRecord;
static_assert(sizeof(MacroImage) == kMacroImageSize);

// Which slots hold a command the editor inserted. Kept beside the bytes because the codes of
// the L/R/M Button commands are also the key codes of left Ctrl, Shift and Alt.
using CommandSlots = std::bitset<kMacroSlotCount>;

enum class MacroSlotKind { Empty, Key, Command };

// The typed view of one slot.
struct MacroEvent {
    MacroSlotKind kind = MacroSlotKind::Empty;
    std::uint8_t code = 0;
    bool release = false;
    bool last = false;
    int delayUnits = 0;  // 100 ms each; meaningless for a command
};

constexpr std::uint8_t kFirstCommandCode = 0xD0;
constexpr std::uint8_t kLastCommandCode = 0xE2;
constexpr bool IsCommandCode(std::uint8_t code) {
    return code >= kFirstCommandCode && code <= kLastCommandCode;
}

inline std::uint8_t SlotCode(const MacroImage& image, int slot) { return image.at(2 * slot); }
inline std::uint8_t SlotAttribute(const MacroImage& image, int slot) {
    return image.at(2 * slot + 1);
}

// The commands as read from the codes alone, for images stored without a mark: every command
// code is a command, a recorded modifier included.
CommandSlots CommandSlotsByCode(const MacroImage& image);
// A mark made sound against its image: a slot is a command when its code is a command code and
// either the mark says so or the code can only be a command (0xD0-0xDF).
CommandSlots NormaliseCommandSlots(const MacroImage& image, const CommandSlots& mark);

bool IsCommandSlot(const MacroImage& image, const CommandSlots& commands, int slot);
MacroEvent EventAt(const MacroImage& image, const CommandSlots& commands, int slot);

// Commits the end marker for `rows` events: clears bit 6 of every attribute, sets it on the last
// event, and with `forApply` also on the slot after it when the last attribute then equals a
// command code (a command whose second byte still holds its code: the expansion drops that byte,
// so the marker must follow it).
void MarkLast(MacroImage& image, int rows, bool forApply);
void ClearLastMarks(MacroImage& image);

// At most 20 presses follow one another without a release (a slot whose attribute has bit 7
// resets the run, a slot with a code and no bit 7 adds one, an empty code neither).
bool PressRuleHolds(const MacroImage& image);

// Removes slot k: the following slots move down and the last slot becomes zero.
void RemoveSlot(MacroImage& image, CommandSlots& commands, int k);
void SwapSlots(MacroImage& image, CommandSlots& commands, int a, int b);

}  // namespace macro
