#include "macro/MacroRecorder.h"

#include <algorithm>

#include "macro/MacroNumbers.h"

namespace macro {

DecodedKeystroke DecodeKeystroke(std::uint32_t word) {
    DecodedKeystroke key;
    key.scanCode = static_cast<std::uint8_t>((word >> 16) & 0xFF);
    key.extended = (word & 0x01000000u) != 0;
    const auto transition = (word >> 28) & 0x0C;
    key.transition = transition == 12  ? KeyTransition::Release
                     : transition == 4 ? KeyTransition::Repeat
                                       : KeyTransition::Press;
    key.usage = UsageOfScanCode(key.scanCode, key.extended);
    key.keyCode = KeyCodeOfUsage(key.usage);
    return key;
}

void MacroRecorder::Start(MacroDocument& document) {
    *this = MacroRecorder{};
    document.ClearEvents();
    document.recordName.clear();
    started_ = true;
    generation_ = document.generation;
}

bool MacroRecorder::HandleKeyMessage(MacroDocument& document, std::uint32_t word, std::uint32_t now,
                                     std::wstring& time2, const KeyNames& names) {
    if (!RecordsInto(document)) return false;
    float fixed = 0.0f;
    if (delayMode_ == DelayMode::Default) {
        // An emptied field would otherwise stop every keystroke while the hooks hold the
        // keyboard; it reads as 0, which the rule below turns into 100 ms.
        float d = Single(ReadNumber(time2).value_or(0.0f) / 1000.0f);
        if (d >= 6.3f) d = 6.3f;
        if (d <= 0.0f) d = 0.0f;
        if (d <= 0.01f) d = 0.1f;
        d = CeilTenth(d);
        time2 = FormatWhole(d * 1000.0f);
        fixed = d;
    }
    const DecodedKeystroke key = DecodeKeystroke(word);
    // A key the mouse cannot send would take a slot without a row once the macro is reloaded.
    if (key.usage == 0 || key.keyCode == 0) return false;
    if (writePos_ >= 2 * kMacroEventLimit - 1) return false;
    if (key.transition == KeyTransition::Repeat) return false;
    if (key.transition == KeyTransition::Release) {
        bool pressed = false;
        for (int s = 0; s < kMacroSlotCount; ++s)
            pressed |= !document.commands[s] && SlotCode(document.image, s) == key.keyCode;
        --heldKeys_;
        // The press of Print Screen may never reach the program: its release stands alone.
        if (key.usage != 0x46 && !pressed) return false;
        Record(document, key, true, now, fixed, names, word);
        return true;
    }
    if (++heldKeys_ > kMaxHeldKeys) return false;
    Record(document, key, false, now, fixed, names, word);
    return true;
}

void MacroRecorder::Record(MacroDocument& document, const DecodedKeystroke& key, bool release,
                           std::uint32_t now, float fixedDelay, const KeyNames& names,
                           std::uint32_t word) {
    if (lastTick_ == 0) lastTick_ = now;
    nowTick_ = now;
    if (haveEvent_) {
        int units = static_cast<int>(std::min<std::uint32_t>(nowTick_ - lastTick_, 6300) / 100);
        std::wstring text = DelayText(units);
        if (delayMode_ != DelayMode::Actual) {
            units = DelayUnitsOf(fixedDelay);
            text = FormatWhole(fixedDelay * 1000.0f);
        }
        if (!document.rows.empty()) document.rows.back().delayText = text;
        lastTick_ = nowTick_;
        document.image[writePos_] |= static_cast<std::uint8_t>(units);
        ++writePos_;
    }
    haveEvent_ = true;
    MacroRow row;
    row.kind = MacroSlotKind::Key;
    row.caption = names.KeyNameText(word) + (release ? L"  release" : L"  press");
    row.icon = release ? kIconRelease : kIconPress;
    document.rows.push_back(std::move(row));
    document.image[writePos_] = key.keyCode;
    document.image[writePos_ + 1] = release ? kMacroRelease : 0;
    document.commands[writePos_ / 2] = false;
    ++writePos_;
}

void MacroRecorder::Stop(MacroDocument& document) {
    const bool own = RecordsInto(document);
    started_ = false;
    if (!own) return;
    if (document.RowCount() >= 2) document.rows.back().delayText = L"0";
    MarkLast(document.image, document.RowCount(), false);
}

}  // namespace macro
