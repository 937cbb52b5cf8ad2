#include "osd/PopupWindow_win.h"

#include "osd/WindowProc_win.h"

#include "common/WindowDpi_win.h"
#include "osd/PictureComposer_win.h"

namespace vistrel {

namespace {

ScreenRect WorkArea() {
    RECT area{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return {area.left, area.top, area.right, area.bottom};
}

}  // namespace

PopupWindow::~PopupWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool PopupWindow::Create(HINSTANCE instance, HWND owner, std::wstring imageFolder) {
    imageFolder_ = std::move(imageFolder);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = OwnedWindowProc<PopupWindow>;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kPopupClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    const ScreenPoint at = InitialPopupPlace(WorkArea());
    // Created hidden: a layered window has nothing to show before its first picture.
    hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST, kPopupClass, L"", WS_POPUP, at.x, at.y,
                            kInitialPopupSize, kInitialPopupSize, owner, nullptr, instance, this);
    return hwnd_ != nullptr;
}

void PopupWindow::Show(Picture picture) {
    picture_ = std::move(picture);
    if (!hwnd_) return;
    if (IsWindowVisible(hwnd_)) {
        Draw();  // already shown: no WM_SHOWWINDOW will come
    } else {
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    }
}

void PopupWindow::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

LRESULT PopupWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SHOWWINDOW:
            // Hiding keeps the content; only a showing needs the new picture.
            if (wParam) Draw();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hwnd_, &paint);
            EndPaint(hwnd_, &paint);
            return 0;
        }
        case WM_CLOSE:
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            // The window is gone: nothing may reach this object through it any more.
            const LRESULT result = DefWindowProcW(hwnd_, msg, wParam, lParam);
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return result;
        }
        default:
            return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}

void PopupWindow::Draw() {
    // Composed at the scale of the monitor it shows on (the work area's).
    const ScreenRect area = WorkArea();
    const int dpi = tavrine::MonitorDpiAt({area.left + (area.right - area.left) / 2,
                                           area.top + (area.bottom - area.top) / 2});
    const auto composed = ComposePicture(picture_, imageFolder_, dpi);
    if (!composed) return;
    ScreenDc screen;
    MemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!memory) return;
    Selection selected(memory.get(), composed->bitmap.get());
    const ScreenPoint at = PopupPlace(area, composed->width, composed->height, dpi);
    POINT position{at.x, at.y};
    SIZE size{2 * composed->width, 2 * composed->height};
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd_, screen.get(), &position, &size, memory.get(), &origin, 0, &blend,
                        ULW_ALPHA);
}

}  // namespace vistrel
