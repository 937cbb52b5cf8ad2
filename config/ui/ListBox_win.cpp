#include "ui/ListBox.h"

#include <stdexcept>

#include <commctrl.h>

#include "ui/Application.h"
#include "ui/GraphicHost.h"

namespace tavrine::ui {

ListBox::ListBox(GraphicHost& parent, std::wstring name, Rect bounds, ListBoxStyle style)
    : WindowedControl(parent, std::move(name)) {
    DWORD ws = WS_CHILD | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    if (style.visible) ws |= WS_VISIBLE;
    if (style.border) ws |= WS_BORDER;
    // Made at the form\'s scale; the layout gives the place at 96 DPI.
    const Rect d = parent.Scale().ToDevice(bounds);
    HWND hwnd = CreateWindowExW(0, L"LISTBOX", L"", ws, d.left, d.top, d.width,
                                d.height, parent.Handle(), nullptr, GetModuleHandleW(nullptr),
                                nullptr);
    if (!hwnd) throw std::runtime_error("CreateWindowExW failed for a list box");
    Attach(hwnd, style.font, style.font.color, style.color);
    SetWindowSubclass(hwnd, &ListBox::SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

ListBox::~ListBox() { RemoveWindowSubclass(Handle(), &ListBox::SubclassProc, 1); }

LRESULT CALLBACK ListBox::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
    try {
        return reinterpret_cast<ListBox*>(self)->HandleMessage(hwnd, msg, wParam, lParam);
    } catch (...) {
        ReportException(std::current_exception());
        return 0;
    }
}

LRESULT ListBox::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The list's own handling (selection, notification, scroll tracking) comes first; the
    // release is reported after it.
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    bool released = false;
    switch (msg) {
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_NCLBUTTONUP:
        case WM_NCRBUTTONUP:
            released = true;
            break;
        case WM_NCLBUTTONDOWN:
            // The scroll bar tracks the button itself and returns once it is released; the
            // release never arrives as a message of its own.
            released = wParam == HTVSCROLL || wParam == HTHSCROLL;
            break;
        default:
            break;
    }
    if (released && OnMouseUp) OnMouseUp(*this);
    return result;
}

int ListBox::Count() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

void ListBox::Clear() { SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

int ListBox::Add(const std::wstring& text) {
    return static_cast<int>(
        SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void ListBox::SetItems(const std::vector<std::wstring>& items) {
    Clear();
    for (const auto& item : items) Add(item);
}

std::wstring ListBox::Item(int index) const {
    const LRESULT n = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const LRESULT got = SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
    return text;
}

std::vector<std::wstring> ListBox::Items() const {
    std::vector<std::wstring> items;
    for (int i = 0, n = Count(); i < n; ++i) items.push_back(Item(i));
    return items;
}

int ListBox::ItemIndex() const {
    const LRESULT i = SendMessageW(Handle(), LB_GETCURSEL, 0, 0);
    return i == LB_ERR ? -1 : static_cast<int>(i);
}

void ListBox::SetItemIndex(int index) {
    SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ListBox::SetItemHeight(int height) {
    itemHeight_ = height;
    SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(Parent().Scale().ToDevice(height), 0));
}

void ListBox::ScaleChanged(const DisplayScale& before) {
    WindowedControl::ScaleChanged(before);  // a new font resets the height
    if (itemHeight_ > 0) SetItemHeight(itemHeight_);
}

bool ApplyLanguageEntries(ListBox& list, const TextList& texts, const LanguageLookup& lookup) {
    auto entries = RebuiltEntries(texts, lookup);
    if (!entries) return false;
    list.SetItems(*entries);
    return true;
}

void ListBox::Command(WORD code) {
    if (code == LBN_SELCHANGE && OnClick) OnClick(*this);
}

}  // namespace tavrine::ui
