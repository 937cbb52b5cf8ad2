#pragma once
// Recording: the keystroke words the keyboard hooks post (MacroKeyMessage) decoded into key
// events of the current macro, with their delays. The hooks' own decisions are in MacroHooks.h.
#include <cstdint>
#include <string>

#include "macro/KeyTables.h"
#include "macro/MacroDocument.h"

namespace macro {

inline constexpr std::uint32_t kMacroKeyMessage = 0x6A66;
inline constexpr int kMaxHeldKeys = 10;

enum class KeyTransition { Press = 0, Repeat = 4, Release = 12 };

struct DecodedKeystroke {
    std::uint8_t scanCode = 0;
    bool extended = false;
    KeyTransition transition = KeyTransition::Press;
    std::uint8_t usage = 0;    // 0: the recording table does not know the scan code
    std::uint8_t keyCode = 0;  // 0: the mouse cannot send the key
};
DecodedKeystroke DecodeKeystroke(std::uint32_t keystrokeWord);

enum class DelayMode { Actual = 0, Ignore = 1, Default = 2 };

class MacroRecorder {
  public:
    // Record: a fresh recording state; the image, rows and record name are emptied, the name
    // field keeps its text.
    void Start(MacroDocument& document);

    // Handles one MacroKeyMessage at tick `now` (milliseconds). In the default-delay mode
    // `time2` is the default delay field: it is read (an empty or unreadable text counts as 0)
    // and given back as the delay actually used. Returns whether an event was recorded.
    bool HandleKeyMessage(MacroDocument& document, std::uint32_t keystrokeWord, std::uint32_t now,
                          std::wstring& time2, const KeyNames& names);

    // Keystrokes and Stop leave alone a document that was replaced since Start: its slots are
    // not where the write position points.
    // Stop: the last row shows "0" when two or more events were recorded; the end marker is
    // committed.
    void Stop(MacroDocument& document);

    // Whether keystrokes still go into `document` (it was not replaced since Start).
    bool RecordsInto(const MacroDocument& document) const {
        return started_ && document.generation == generation_;
    }

    void SetDelayMode(DelayMode mode) { delayMode_ = mode; }
    DelayMode Mode() const { return delayMode_; }
    int WritePos() const { return writePos_; }
    int HeldKeys() const { return heldKeys_; }
    bool HaveEvent() const { return haveEvent_; }

  private:
    void Record(MacroDocument& document, const DecodedKeystroke& key, bool release,
                std::uint32_t now, float fixedDelay, const KeyNames& names,
                std::uint32_t keystrokeWord);

    int writePos_ = 0;
    bool haveEvent_ = false;
    int heldKeys_ = 0;
    std::uint32_t lastTick_ = 0;
    std::uint32_t nowTick_ = 0;
    DelayMode delayMode_ = DelayMode::Actual;
    bool started_ = false;
    std::uint32_t generation_ = 0;  // of the document Start emptied
};

}  // namespace macro
