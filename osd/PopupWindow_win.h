#pragma once
// The popup: a layered, top-most pop-up owned by the listener that shows one composed picture with
// per-pixel alpha near the bottom centre of the work area, without ever taking the activation.
#include <windows.h>

#include <string>

#include "osd/core/PopupPicture.h"

namespace vistrel {

inline constexpr wchar_t kPopupClass[] = L"GDIPPOPWND";

class PopupWindow {
  public:
    PopupWindow() = default;
    ~PopupWindow();
    PopupWindow(const PopupWindow&) = delete;
    PopupWindow& operator=(const PopupWindow&) = delete;

    // False when the window cannot be made; the program then runs on without popups.
    bool Create(HINSTANCE instance, HWND owner, std::wstring imageFolder);
    HWND Handle() const { return hwnd_; }

    // Shows this picture (drawn as the window is shown) without activating the window.
    void Show(Picture picture);
    void Hide();

  private:
    template <class Owner>
    friend LRESULT CALLBACK OwnedWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleFor(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (!hwnd_) hwnd_ = hwnd;  // messages of the creation come before it returns
        return Handle(msg, wParam, lParam);
    }
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    // Composes and presents the current picture; a picture that cannot be composed leaves the
    // window as it was.
    void Draw();

    HWND hwnd_ = nullptr;
    std::wstring imageFolder_;
    Picture picture_;
};

}  // namespace vistrel
