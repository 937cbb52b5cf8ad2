#include "ui/GraphicHost.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/WindowedControl.h"

namespace tavrine::ui {
namespace {

MouseButton ButtonOf(UINT msg) {
    switch (msg) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            return MouseButton::Right;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            return MouseButton::Middle;
        default:
            return MouseButton::Left;
    }
}

bool IsButtonDown(UINT msg) {
    return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
           msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
}

bool IsButtonUp(UINT msg) {
    return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
}

}  // namespace

GraphicHost::~GraphicHost() = default;

Control* GraphicHost::HoveredControl() const {
    const auto i = router_.Hovered();
    return i && *i < controls_.size() ? controls_[*i] : nullptr;
}

Control* GraphicHost::ControlAt(Point at) const {
    const auto targets = Targets();
    const auto i = MouseRouter::HitTest(targets, at);
    return i ? controls_[*i] : nullptr;
}

void GraphicHost::SetColor(COLORREF color) {
    color_ = color;
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

const DisplayScale& GraphicHost::Scale() const { return owner_->Scale(); }

void GraphicHost::Invalidate(const Rect& area) const {
    if (!Handle()) return;
    const Rect d = Scale().ToDevice(area);
    const RECT r{d.left, d.top, d.Right(), d.Bottom()};
    InvalidateRect(Handle(), &r, FALSE);
}

void GraphicHost::ResetMouse() { router_.Reset(); }

void GraphicHost::Remove(const Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    // Indices held by the router no longer mean the same controls.
    router_.Reset();
}

std::vector<HitTarget> GraphicHost::Targets() const {
    std::vector<HitTarget> targets;
    targets.reserve(controls_.size());
    for (const Control* c : controls_) targets.push_back({c->Bounds(), c->Visible(), c->Enabled()});
    return targets;
}

void GraphicHost::PaintBackground(HDC dc, const RECT& client) const {
    HBRUSH brush = CreateSolidBrush(color_);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
}

void GraphicHost::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT client;
    GetClientRect(Handle(), &client);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    const RECT& damaged = ps.rcPaint;
    const int dw = damaged.right - damaged.left;
    const int dh = damaged.bottom - damaged.top;
    if (w > 0 && h > 0 && dw > 0 && dh > 0) {
        // Everything is drawn into an off-screen bitmap and shown in one copy: no flicker. The
        // bitmap covers only the damaged part and lives only while it is painted: a hover change
        // repaints one button, and no window keeps a bitmap of its whole size between paints.
        HBITMAP buffer = CreateCompatibleBitmap(dc, dw, dh);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, buffer);
        SetViewportOrgEx(mem, -damaged.left, -damaged.top, nullptr);
        IntersectClipRect(mem, damaged.left, damaged.top, damaged.right, damaged.bottom);
        PaintBackground(mem, client);
        for (const Control* c : controls_) {
            if (!c->Visible()) continue;
            const Rect b = c->DeviceBounds();
            const RECT r{b.left, b.top, b.Right(), b.Bottom()};
            RECT overlap;
            if (IntersectRect(&overlap, &r, &damaged)) c->Paint(mem);
        }
        SetViewportOrgEx(mem, 0, 0, nullptr);
        BitBlt(dc, damaged.left, damaged.top, dw, dh, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(buffer);
    }
    EndPaint(Handle(), &ps);
}

void GraphicHost::OnMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A window hidden by a press handler (OK on the press) must not route the release to what
    // happens to lie under the pointer.
    if (!IsWindowVisible(Handle())) {
        if (IsButtonUp(msg) && GetCapture() == Handle()) ReleaseCapture();
        return;
    }
    const auto targets = Targets();
    // Controls are hit and told positions in layout units, whatever the display scale.
    const Point device{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const Point at = Scale().ToLayout(device);
    if (msg == WM_MOUSEMOVE) {
        if (!trackingLeave_) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Handle(), 0};
            trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
        }
        Dispatch(router_.Move(targets, at), device);
    } else if (IsButtonDown(msg)) {
        if (GetCapture() != Handle()) SetCapture(Handle());
        Dispatch(router_.Down(targets, ButtonOf(msg), at), device);
    } else if (IsButtonUp(msg)) {
        const bool stillDown = (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
        Dispatch(router_.Up(targets, ButtonOf(msg), at, stillDown), device);
        if (!stillDown && GetCapture() == Handle()) ReleaseCapture();
    } else if (msg == WM_MOUSELEAVE) {
        trackingLeave_ = false;
        if (GetCapture() != Handle()) Dispatch(router_.LeaveWindow(targets), device);
    }
}

void GraphicHost::Dispatch(const MouseRouter::Events& events, Point device) {
    // Handlers may hide or disable controls; the list of controls itself never changes here.
    const std::vector<Control*> controls = controls_;
    for (const RoutedMouseEvent& e : events) {
        if (e.control >= controls.size()) continue;
        Control& c = *controls[e.control];
        const MouseArgs args{e.button, e.x, e.y};
        switch (e.kind) {
            case MouseEventKind::Enter:
                OwnerForm().HoverChanged(*this, &c);
                if (c.OnMouseEnter) c.OnMouseEnter(c);
                break;
            case MouseEventKind::Leave:
                OwnerForm().HoverChanged(*this, nullptr);
                if (c.OnMouseLeave) c.OnMouseLeave(c);
                break;
            case MouseEventKind::Move:
                // The drag follows the pointer's pixels, so the grabbed pixel stays under it.
                if (c.DragsForm()) OwnerForm().DragTo(device);
                if (c.OnMouseMove) c.OnMouseMove(c, args);
                break;
            case MouseEventKind::Down:
                if (c.DragsForm()) OwnerForm().StartDrag(device);
                if (c.OnMouseDown) c.OnMouseDown(c, args);
                break;
            case MouseEventKind::Up:
                if (c.DragsForm()) OwnerForm().EndDrag();
                if (c.OnMouseUp) c.OnMouseUp(c, args);
                break;
        }
    }
}

bool GraphicHost::HandleHostMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            result = 0;
            return true;
        case WM_ERASEBKGND:
            // The paint covers the whole area; erasing first would only flicker.
            result = 1;
            return true;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_MOUSELEAVE:
            OnMouse(msg, wParam, lParam);
            result = 0;
            return true;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != Handle()) {
                router_.CancelCapture();
                OwnerForm().EndDrag();
            }
            result = 0;
            return true;
        case WM_COMMAND:
            if (lParam) {
                if (auto* child = WindowedControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
                    child->Command(HIWORD(wParam));
                    result = 0;
                    return true;
                }
            }
            return false;
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
            if (auto* child = WindowedControl::FromHandle(hdr->hwndFrom))
                return child->Notify(*hdr, result);
            return false;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
            if (auto* child = WindowedControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
                if (HBRUSH brush = child->ControlColor(reinterpret_cast<HDC>(wParam))) {
                    result = reinterpret_cast<LRESULT>(brush);
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

}  // namespace tavrine::ui
