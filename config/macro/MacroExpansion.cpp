#include "macro/MacroExpansion.h"

#include <algorithm>

#include "macro/MacroCommands.h"
#include "macro/MacroImage.h"
#include "macro/MacroStore.h"
#include "macro/MacroText.h"
#include "device/SettingsLayout.h"

namespace macro {

using device::ButtonRecord;
using device::FormatButtonRecord;
using device::kKeysValue;
using device::kRepeatCountByte;
using device::kRepeatModeByte;
using device::kRepeatTimes;
using device::kRepeatUntilPressed;
using device::kRepeatWhileHeld;
using device::ParseHexToken;

StoredMacro ReadStoredMacro(platform::SettingsStore& store, std::wstring_view name) {
    StoredMacro macro;
    if (!IsStorableMacroName(name)) return macro;
    auto key = store.OpenKey(platform::SettingsHive::CurrentUser, MacroKeyPath(name));
    if (!key) return macro;
    macro.keys = key->ReadString(kKeysValue).value_or(L"");
    macro.commandMark = key->ReadString(kCommandSlotsValue).value_or(L"");
    macro.repeatState = key->ReadString(kRepeatStateValue).value_or(L"");
    macro.repeatTimes = key->ReadString(kRepeatTimesValue).value_or(L"");
    return macro;
}

namespace {

// Leading decimal digits; an empty or other text gives 0. Counts beyond what the repeat-count
// dialog allows are held at 254 rather than wrapped.
int RepeatCount(std::wstring_view text) {
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        value = std::min(value * 10 + (c - L'0'), 254);
    }
    return value;
}

}  // namespace

MacroAssignment ExpandMacro(const StoredMacro& macro, std::wstring_view name) {
    MacroAssignment result;
    const KeysParse parsed = ParseMacroKeys(macro.keys);
    if (!parsed.ok) {
        result.error = L"The macro \"" + std::wstring(name) +
                       L"\" cannot be read from the settings: " + parsed.error;
        return result;
    }
    const MacroImage& image = parsed.image;
    const CommandSlots commands = CommandSlotsFromMark(image, macro.commandMark);

    // The events end with the last slot that holds a code; what follows (zeros, an end marker
    // on an empty slot) is copied only as far as it fits.
    int lastEvent = -1;
    for (int s = 0; s < kMacroSlotCount; ++s)
        if (SlotCode(image, s) != 0) lastEvent = s;

    ButtonRecord& record = result.record;
    std::size_t at = 0;
    for (int s = 0; s < kMacroSlotCount; ++s) {
        std::array<std::uint8_t, 8> bytes{};
        std::size_t size = 2;
        if (IsCommandSlot(image, commands, s)) {
            const auto expansion = CommandOfCode(SlotCode(image, s))->Expansion();
            std::copy(expansion.begin(), expansion.end(), bytes.begin());
            size = expansion.size();
        } else {
            bytes[0] = SlotCode(image, s);
            bytes[1] = SlotAttribute(image, s);
        }
        if (at + size > static_cast<std::size_t>(kRepeatModeByte)) {
            if (s <= lastEvent) {
                result.error = L"The macro \"" + std::wstring(name) +
                               L"\" is too long for a mouse button once its commands are "
                               L"expanded. Remove some events or commands in the macro editor "
                               L"and assign it again.";
                return result;
            }
            break;
        }
        std::copy_n(bytes.begin(), size, record.begin() + static_cast<std::ptrdiff_t>(at));
        at += size;
    }

    // The repeat state is read as the write routine reads its number; without one the count
    // has nothing to count.
    const auto state = ParseHexToken(macro.repeatState);
    record[kRepeatModeByte] = state ? *state : kRepeatTimes;
    if (record[kRepeatModeByte] != kRepeatTimes && record[kRepeatModeByte] != kRepeatWhileHeld &&
        record[kRepeatModeByte] != kRepeatUntilPressed)
        record[kRepeatModeByte] = kRepeatTimes;
    record[kRepeatCountByte] =
        state ? static_cast<std::uint8_t>(RepeatCount(macro.repeatTimes)) : 0;
    result.recordText = FormatButtonRecord(record);
    result.ok = true;
    return result;
}

}  // namespace macro
