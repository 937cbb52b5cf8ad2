#include "ui/Panel.h"

#include <stdexcept>

#include "ui/Application.h"
#include "ui/Form.h"

namespace tavrine::ui {
namespace {

constexpr wchar_t kPanelClass[] = L"TPanel";

void RegisterPanelClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kPanelClass;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered) throw std::runtime_error("RegisterClassExW failed for panels");
}

}  // namespace

Panel::Panel(GraphicHost& parent, std::wstring name, Rect bounds, PanelStyle style)
    : WindowedControl(parent, std::move(name)),
      GraphicHost(&parent.OwnerForm(), style.color),
      loweredBevel_(style.loweredBevel) {
    RegisterPanelClass(&Panel::WindowProc);
    // Made at the form\'s scale; the layout gives the place at 96 DPI.
    const Rect d = parent.Scale().ToDevice(bounds);
    HWND hwnd = CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                d.left, d.top, d.width, d.height,
                                parent.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) throw std::runtime_error("CreateWindowExW failed for a panel");
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Attach(hwnd, style.font, style.font.color, style.color);
}

Point Panel::ClientOriginOnScreen() const {
    POINT p{0, 0};
    ::ClientToScreen(Handle(), &p);
    return {p.x, p.y};
}

void Panel::ColorsChanged() { GraphicHost::SetColor(BackColor()); }

void Panel::PaintBackground(HDC dc, const RECT& client) const {
    GraphicHost::PaintBackground(dc, client);
    if (loweredBevel_) {
        RECT r = client;
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    }
}

LRESULT CALLBACK Panel::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Panel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    try {
        LRESULT result = 0;
        if (self->HandleHostMessage(msg, wParam, lParam, result)) return result;
    } catch (...) {
        ReportException(std::current_exception());
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace tavrine::ui
