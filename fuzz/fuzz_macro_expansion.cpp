// The expansion of a stored macro into a button record, from arbitrary stored values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/ButtonRecord.h"
#include "macro/MacroExpansion.h"
#include "fuzz/MacroInvariants.h"
#include "macro/MacroText.h"

using macro::CommandMarkText;
using macro::CommandSlots;
using macro::ExpandMacro;
using macro::MacroAssignment;
using macro::MacroImage;
using macro::MacroImageText;
using macro::StoredMacro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first 82 bytes are an image written as the store writes it (so the parse succeeds and
    // the expansion itself is what is fuzzed); the rest is split at 0x01 into the mark, the
    // repeat state and the repeat count; a first byte 0xFF uses the raw bytes as "keys" instead.
    StoredMacro macro;
    std::size_t i = 0;
    if (size > 0 && data[0] == 0xFF) {
        for (i = 1; i < size && data[i] != 0x01; ++i)
            macro.keys.push_back(static_cast<wchar_t>(data[i]));
    } else {
        MacroImage image{};
        for (; i < size && i < image.size(); ++i) image[i] = data[i];
        macro.keys = MacroImageText(image);
        if (size > 0 && (data[0] & 1))
            macro.commandMark = CommandMarkText(image, CommandSlots(data[size - 1] * 0x1234567ull));
    }
    std::wstring* fields[] = {&macro.commandMark, &macro.repeatState, &macro.repeatTimes};
    std::size_t field = 0;
    for (; i < size; ++i) {
        if (data[i] == 0x01) {
            if (++field == 3) break;
            continue;
        }
        if (field > 0 || macro.commandMark.empty())
            fields[field]->push_back(static_cast<wchar_t>(data[i]));
    }
    const MacroAssignment result = ExpandMacro(macro, L"fuzz");
    if (!result.ok) {
        Require(!result.error.empty() && result.recordText.empty());
        return 0;
    }
    Require(device::ParseButtonRecordText(result.recordText) == result.record);
    const auto mode = result.record[device::kRepeatModeByte];
    Require(mode == 0xA0 || mode == 0xA1 || mode == 0xA2);
    Require(result.record[device::kRepeatCountByte] <= 254);
    return 0;
}
