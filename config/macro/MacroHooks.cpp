#include "macro/MacroHooks.h"

namespace macro {

HookDecision ThreadHookDecision(std::uint32_t virtualKey, std::uint32_t keystrokeWord) {
    HookDecision decision;
    decision.consume = true;
    if (virtualKey == 0x09 || virtualKey == 0x12 || virtualKey == 0x2E) return decision;
    decision.post = true;
    decision.wParam = virtualKey;
    decision.lParam = keystrokeWord;
    return decision;
}

HookDecision LowLevelHookDecision(std::uint32_t message, std::uint32_t virtualKey,
                                  std::uint32_t scanCode, std::uint32_t flags,
                                  LowLevelHookState& state) {
    HookDecision decision;
    const bool handled = message == kMsgKeyDown || message == kMsgKeyUp ||
                         message == kMsgSysKeyDown || message == kMsgSysKeyUp;
    const bool ours = scanCode == 0x0F || scanCode == 0x1D || scanCode == 0x37 ||
                      scanCode == 0x38 || scanCode == 0x53 || scanCode == 0x5B;
    if (!handled || !ours) return decision;
    decision.consume = true;
    decision.wParam = message;
    bool& down = state.keyDown[virtualKey & 0xFF];
    bool& extended = state.pressedExtended[virtualKey & 0xFF];
    const std::uint32_t base = 1 + scanCode * 0x10000;
    if (message == kMsgKeyDown || message == kMsgSysKeyDown) {
        if (down) return decision;  // auto-repeat
        decision.post = true;
        extended = flags == 0x01;
        decision.lParam = base + (extended ? 0x01000000u : 0u);
        down = true;
        return decision;
    }
    if (!down) return decision;
    decision.post = true;
    decision.lParam = base + (extended ? 0xC1000000u : 0xC0000000u);
    down = false;
    return decision;
}

}  // namespace macro
