#include "ui/Edit.h"

#include <commctrl.h>

#include <stdexcept>

#include "ui/Application.h"
#include "ui/GraphicHost.h"

namespace tavrine::ui {

Edit::Edit(GraphicHost& parent, std::wstring name, Rect bounds, EditStyle style, std::wstring text)
    : WindowedControl(parent, std::move(name)), digitsOnly_(style.digitsOnly) {
    DWORD ws = WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT;
    if (style.visible) ws |= WS_VISIBLE;
    if (style.border) ws |= WS_BORDER;
    if (style.digitsOnly) ws |= ES_NUMBER;
    // Made at the form\'s scale; the layout gives the place at 96 DPI.
    const Rect d = parent.Scale().ToDevice(bounds);
    HWND hwnd = CreateWindowExW(0, L"EDIT", text.c_str(), ws, d.left, d.top, d.width,
                                d.height, parent.Handle(), nullptr, GetModuleHandleW(nullptr),
                                nullptr);
    if (!hwnd) throw std::runtime_error("CreateWindowExW failed for an edit");
    Attach(hwnd, style.font, style.font.color, style.color);
    SetWindowSubclass(hwnd, &Edit::SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetMaxLength(style.maxLength);
}

Edit::~Edit() { RemoveWindowSubclass(Handle(), &Edit::SubclassProc, 1); }

std::wstring Edit::Text() const {
    const int n = GetWindowTextLengthW(Handle());
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(Handle(), text.data(), n + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

void Edit::SetText(const std::wstring& text) { SetWindowTextW(Handle(), text.c_str()); }

void Edit::SetMaxLength(int maxLength) {
    maxLength_ = maxLength > 0 ? maxLength : 0;
    SendMessageW(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void Edit::Command(WORD code) {
    if (code == EN_CHANGE && OnChange) OnChange(*this);
}

bool Edit::PasteIsAcceptable() const {
    if (!digitsOnly_) return true;
    if (!OpenClipboard(Handle())) return false;
    bool ok = true;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            const SIZE_T limit = GlobalSize(data) / sizeof(wchar_t);
            for (SIZE_T i = 0; i < limit && text[i]; ++i)
                if (text[i] < L'0' || text[i] > L'9') ok = false;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return ok;
}

LRESULT CALLBACK Edit::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
    try {
        return reinterpret_cast<Edit*>(self)->HandleMessage(hwnd, msg, wParam, lParam);
    } catch (...) {
        ReportException(std::current_exception());
        return 0;
    }
}

LRESULT Edit::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE:
            // Enter and Escape belong to this field, not to a dialog manager.
            return DefSubclassProc(hwnd, msg, wParam, lParam) | DLGC_WANTALLKEYS;
        case WM_KEYDOWN: {
            const auto vk = static_cast<UINT>(wParam);
            if (OnKeyDown) OnKeyDown(*this, vk);
            if (vk == VK_RETURN) {
                if (OnEnterKey) OnEnterKey(*this);
                return 0;
            }
            if (vk == VK_ESCAPE) {
                if (OnEscapeKey) OnEscapeKey(*this);
                return 0;
            }
            break;
        }
        case WM_CHAR:
            // The keys already reported above would only make the field beep.
            if (wParam == L'\r' || wParam == 0x1B || wParam == L'\n') return 0;
            if (digitsOnly_ && wParam >= L' ' && (wParam < L'0' || wParam > L'9')) return 0;
            break;
        case WM_PASTE:
            if (!PasteIsAcceptable()) return 0;
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (OnMouseDown) OnMouseDown(*this);
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace tavrine::ui
