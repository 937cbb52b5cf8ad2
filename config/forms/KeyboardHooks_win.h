#pragma once
// The two keyboard hooks of a recording: one on the program's GUI thread, one low-level hook for
// the keys that never reach the thread (Tab, Alt, Ctrl, Delete, Print Screen, Windows). Both post
// each keystroke to the editor as MacroKeyMessage; the decisions are MacroHooks'.
#include <windows.h>

#include <cstdint>
#include <string>

#include "macro/KeyTables.h"
#include "macro/MacroHooks.h"

namespace tavrine::forms {

class KeyboardHooks {
  public:
    KeyboardHooks() = default;
    ~KeyboardHooks() { Remove(); }
    KeyboardHooks(const KeyboardHooks&) = delete;
    KeyboardHooks& operator=(const KeyboardHooks&) = delete;

    // True only when the thread hook is in place (the low-level hook is a help, not a must).
    // One recording at a time in the process: a second Install while one runs fails.
    bool Install(HWND target);
    // Safe to call at any time; beeps when the thread hook cannot be taken out.
    void Remove();
    bool Installed() const { return threadHook_ != nullptr; }

  private:
    static LRESULT CALLBACK ThreadProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK LowLevelProc(int code, WPARAM wParam, LPARAM lParam);

    HHOOK threadHook_ = nullptr;
    HHOOK lowLevelHook_ = nullptr;
    HWND target_ = nullptr;
    macro::LowLevelHookState lowLevel_{};
};

// Key names as the system gives them (GetKeyNameTextW).
class SystemKeyNames final : public macro::KeyNames {
  public:
    std::wstring KeyNameText(std::uint32_t keystrokeWord) const override;
};

}  // namespace tavrine::forms
