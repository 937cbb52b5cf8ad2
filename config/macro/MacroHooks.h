#pragma once
// What the two keyboard hooks decide while a recording runs, as pure functions: the window side
// installs the hooks and carries these decisions out.
#include <array>
#include <cstdint>

namespace macro {

inline constexpr std::uint32_t kMsgKeyDown = 0x100;
inline constexpr std::uint32_t kMsgKeyUp = 0x101;
inline constexpr std::uint32_t kMsgSysKeyDown = 0x104;
inline constexpr std::uint32_t kMsgSysKeyUp = 0x105;

struct HookDecision {
    bool consume = false;      // false: pass the keystroke on to the next hook
    bool post = false;         // post MacroKeyMessage with `wParam` and `lParam`
    std::uint32_t wParam = 0;  // the virtual-key code, or the low-level hook's message number
    std::uint32_t lParam = 0;
};

// The thread hook: Tab, Alt and Delete are reported by the low-level hook and only consumed;
// every other keystroke is posted with the word the hook received, and consumed.
HookDecision ThreadHookDecision(std::uint32_t virtualKey, std::uint32_t keystrokeWord);

// Keys the low-level hook has seen go down and not yet up, by virtual-key code.
using KeyDownFlags = std::array<bool, 256>;

struct LowLevelHookState {
    KeyDownFlags keyDown{};
    // Whether each press went out with the extended flag: its release goes out the same way, so
    // that the editor finds the press it releases (a right Alt released through a system key-up
    // would otherwise release a key never pressed, and the macro would hold Alt down).
    std::array<bool, 256> pressedExtended{};
};

// The low-level hook acts on key and system-key messages of six scan codes (Tab, Ctrl, Print
// Screen, Alt, Delete, left Windows) and passes everything else on. It drops auto-repeats and
// releases it saw no press of, and builds the keystroke word the editor decodes: a press is
// extended when the flags are exactly "extended" (so a right Alt, which comes with the Alt flag,
// records as the left one); a release as its press was.
HookDecision LowLevelHookDecision(std::uint32_t message, std::uint32_t virtualKey,
                                  std::uint32_t scanCode, std::uint32_t flags,
                                  LowLevelHookState& state);

}  // namespace macro
