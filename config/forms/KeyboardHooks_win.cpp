#include "forms/KeyboardHooks_win.h"

#include "macro/MacroRecorder.h"
#include "ui/Application.h"

using macro::HookDecision;
using macro::kMacroKeyMessage;
using macro::LowLevelHookDecision;
using macro::ThreadHookDecision;

namespace tavrine::forms {
namespace {

// The hook procedures have no context argument: the recording that runs is reached here. Only
// the GUI thread touches it (both hooks run on the thread that installed them).
KeyboardHooks* g_active = nullptr;

}  // namespace

bool KeyboardHooks::Install(HWND target) {
    if (g_active && g_active != this) return false;
    Remove();
    target_ = target;
    lowLevel_ = {};
    g_active = this;
    threadHook_ =
        SetWindowsHookExW(WH_KEYBOARD, &KeyboardHooks::ThreadProc, nullptr, GetCurrentThreadId());
    if (!threadHook_) {
        g_active = nullptr;
        target_ = nullptr;
        return false;
    }
    lowLevelHook_ = SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardHooks::LowLevelProc,
                                      GetModuleHandleW(nullptr), 0);
    // Without it Tab, Alt, Ctrl, Delete, Print Screen and the Windows key are not recorded.
    if (!lowLevelHook_)
        ui::DebugLine(L"low-level keyboard hook not installed: error " +
                      std::to_wstring(GetLastError()));
    return true;
}

void KeyboardHooks::Remove() {
    if (threadHook_ && !UnhookWindowsHookEx(threadHook_)) MessageBeep(0);
    if (lowLevelHook_) UnhookWindowsHookEx(lowLevelHook_);
    threadHook_ = nullptr;
    lowLevelHook_ = nullptr;
    target_ = nullptr;
    if (g_active == this) g_active = nullptr;
}

LRESULT CALLBACK KeyboardHooks::ThreadProc(int code, WPARAM wParam, LPARAM lParam) {
    KeyboardHooks* self = g_active;
    if (code < 0 || !self || !self->target_) return CallNextHookEx(nullptr, code, wParam, lParam);
    const HookDecision decision =
        ThreadHookDecision(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
    if (decision.post)
        PostMessageW(self->target_, kMacroKeyMessage, decision.wParam, decision.lParam);
    if (!decision.consume) return CallNextHookEx(nullptr, code, wParam, lParam);
    return 1;
}

LRESULT CALLBACK KeyboardHooks::LowLevelProc(int code, WPARAM wParam, LPARAM lParam) {
    KeyboardHooks* self = g_active;
    if (code != HC_ACTION || !self || !self->target_)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const HookDecision decision =
        LowLevelHookDecision(static_cast<std::uint32_t>(wParam), info->vkCode & 0xFF,
                             info->scanCode & 0xFF, info->flags & 0xFF, self->lowLevel_);
    if (decision.post)
        PostMessageW(self->target_, kMacroKeyMessage, decision.wParam, decision.lParam);
    // Every keystroke the recording does not take goes on to the other hooks and applications.
    if (!decision.consume) return CallNextHookEx(nullptr, code, wParam, lParam);
    return 1;
}

std::wstring SystemKeyNames::KeyNameText(std::uint32_t keystrokeWord) const {
    // The system's own name, in the user's language; it tells left from right where the system
    // does (the extended bit of the word marks the right-hand Ctrl, Alt and Windows keys).
    wchar_t name[256] = {};
    const int length = GetKeyNameTextW(static_cast<LONG>(keystrokeWord), name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace tavrine::forms
