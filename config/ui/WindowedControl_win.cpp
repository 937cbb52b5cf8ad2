#include "ui/WindowedControl.h"

#include "ui/Form.h"
#include "ui/GraphicHost.h"

namespace tavrine::ui {
namespace {
constexpr wchar_t kControlProperty[] = L"TavrineControl";
}

WindowedControl::WindowedControl(GraphicHost& parent, std::wstring name)
    : Component(parent.OwnerForm(), std::move(name)), parent_(parent) {}

WindowedControl::~WindowedControl() {
    if (hwnd_) {
        RemovePropW(hwnd_, kControlProperty);
        DestroyWindow(hwnd_);
    }
    if (brush_) DeleteObject(brush_);
}

void WindowedControl::Attach(HWND hwnd, const FontSpec& font, COLORREF text, COLORREF back) {
    hwnd_ = hwnd;
    SetPropW(hwnd_, kControlProperty, this);
    SetFont(font);
    SetColors(text, back);
}

WindowedControl* WindowedControl::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<WindowedControl*>(GetPropW(hwnd, kControlProperty)) : nullptr;
}

namespace {

Rect DeviceBoundsOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Rect ToLayout(const DisplayScale& scale, const Rect& d) {
    const Point topLeft = scale.ToLayout(Point{d.left, d.top});
    const Point bottomRight = scale.ToLayout(Point{d.Right(), d.Bottom()});
    return {topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y};
}

}  // namespace

Rect WindowedControl::Bounds() const { return ToLayout(parent_.Scale(), DeviceBoundsOf(hwnd_)); }

void WindowedControl::SetBounds(const Rect& bounds) {
    const Rect b = parent_.Scale().ToDevice(bounds);
    SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowedControl::ScaleChanged(const DisplayScale& before) {
    // The place in layout units is read back at the scale it was made for.
    SetBounds(ToLayout(before, DeviceBoundsOf(hwnd_)));
    SetFont(fontSpec_);
}

bool WindowedControl::Visible() const {
    return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void WindowedControl::SetVisible(bool visible) { ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE); }

bool WindowedControl::Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

void WindowedControl::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

void WindowedControl::SetFocus() { ::SetFocus(hwnd_); }

bool WindowedControl::Focused() const { return GetFocus() == hwnd_; }

void WindowedControl::SetHint(std::wstring hint) {
    Component::SetHint(std::move(hint));
    OwnerForm().AddWindowHint(hwnd_, Hint());
}

void WindowedControl::SetFont(const FontSpec& font) {
    fontSpec_ = font;
    font_ = GdiFont(font, parent_.Scale().Dpi());
    textColor_ = font.color;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
    ColorsChanged();
}

void WindowedControl::SetColors(COLORREF text, COLORREF back) {
    textColor_ = text;
    backColor_ = back;
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(back);
    ColorsChanged();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH WindowedControl::ControlColor(HDC dc) {
    SetTextColor(dc, textColor_);
    SetBkColor(dc, backColor_);
    return brush_;
}

}  // namespace tavrine::ui
