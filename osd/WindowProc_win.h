#pragma once
// The window procedure of a window owned by an object: the object comes through lpCreateParams
// and lives in GWLP_USERDATA; each message goes to Owner::Handle, which also learns its handle
// during creation (those messages come before CreateWindowExW returns). No exception crosses
// into the system: a message that fails is answered with 0.
#include <windows.h>

namespace vistrel {

template <class Owner>
LRESULT CALLBACK OwnedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    try {
        return self->HandleFor(hwnd, msg, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

}  // namespace vistrel
