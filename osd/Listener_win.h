#pragma once
// The hidden listener window: raw input from the mouse and from any mouse's side buttons, the
// queries that follow the mouse's event reports, the configuration program's requests, and the
// two-second life of each popup.
#include <windows.h>

#include <string>

#include "osd/core/OsdEvent.h"
#include "osd/PopupWindow_win.h"

namespace vistrel {

inline constexpr UINT_PTR kHideTimer = 0x1001;
inline constexpr UINT kPopupMilliseconds = 2000;
inline constexpr DWORD kQueryWaitMilliseconds = 13;

class Listener {
  public:
    struct Identity {
        std::wstring className;
        std::wstring caption;
    };

    Listener() = default;
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Registers the class and makes the hidden window; false when it cannot be made.
    bool Create(HINSTANCE instance, const Identity& identity);
    HWND Handle() const { return hwnd_; }
    PopupWindow& Popup() { return popup_; }

    // The four raw-input registrations (with input while in the background).
    bool RegisterRawInput() const;

  private:
    template <class Owner>
    friend LRESULT CALLBACK OwnedWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleFor(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (!hwnd_) hwnd_ = hwnd;  // messages of the creation come before it returns
        return Handle(msg, wParam, lParam);
    }
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

    void OnRawInput(HRAWINPUT handle);
    // Asks the mouse and shows the answer; notify: tell the configuration program as well.
    void AnswerQuery(Query query, bool notify);
    FeatureBuffer RunQuery(Query query);
    void ShowPopup(PopupKind kind);

    HWND hwnd_ = nullptr;
    PopupWindow popup_;
    // The values of the last answers; each picture is made from them when it is shown.
    DisplayState state_;
};

}  // namespace vistrel
