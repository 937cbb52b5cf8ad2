#include "forms/Loading_win.h"

#include <algorithm>
#include <memory>

// clang-format off
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include "common/WindowDpi_win.h"
#include "device/WindowMessages.h"
#include "ui/Application.h"
#include "ui/DisplayScale.h"

namespace tavrine::forms {
namespace {

constexpr UINT_PTR kLoadingTimer = 1;
constexpr UINT kLoadingInterval = 50;

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

LoadingForm::LoadingForm(HWND mainWindow) : main_(mainWindow) {
    const std::wstring folder = ProgramFolder();
    for (int i = 0; i < 12; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"skin\\Load\\loading%02d.png", i + 1);
        frames_[static_cast<std::size_t>(i)] = folder + name;
    }
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"TLoadingForm";
    RegisterClassExW(&windowClass);
    hwnd_ =
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"TLoadingForm", L"LoadingForm", WS_POPUP,
                        0, 0, 200, 200, mainWindow, nullptr, windowClass.hInstance, this);
    // Top-most without moving or sizing.
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LoadingForm::~LoadingForm() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (gdiplusToken_) Gdiplus::GdiplusShutdown(gdiplusToken_);
}

LRESULT CALLBACK LoadingForm::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* created = static_cast<LoadingForm*>(create->lpCreateParams);
        created->hwnd_ = hwnd;  // CreateWindowExW has not returned yet
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<LoadingForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) {
        try {
            return self->HandleMessage(msg, wParam, lParam);
        } catch (...) {
            ui::ReportException(std::current_exception());
            return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT LoadingForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case device::kMsgLoading:
            if (wParam == 0) {
                KillTimer(hwnd_, kLoadingTimer);
                ShowWindow(hwnd_, SW_HIDE);
            } else if (wParam == 1) {
                SetTimer(hwnd_, kLoadingTimer, kLoadingInterval, nullptr);
            }
            return 0;
        case WM_TIMER:
            if (wParam == kLoadingTimer) Tick();
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;  // the animation never takes the focus from the main window
        default:
            return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}

void LoadingForm::Tick() {
    if (counter_ > 65500) counter_ = 0;
    ++counter_;
    const unsigned frame = counter_ % 12;  // 1..11, then 0 for the twelfth
    const std::wstring& file = frames_[frame == 0 ? 11 : frame - 1];
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                      GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_LAYERED);
    // A frame that cannot be read shows nothing; the animation goes on with the next one.
    Present(file);
    ShowWindow(hwnd_, SW_SHOWNA);
}

bool LoadingForm::Present(const std::wstring& file) {
    // Above 96 DPI the frame comes from its 2x copy, drawn at the main window's scale.
    const ui::DisplayScale scale(WindowDpi(main_ ? main_ : hwnd_));
    std::unique_ptr<Gdiplus::Bitmap> image;
    int divisor = 1;
    if (!scale.IsLayout()) {
        image.reset(Gdiplus::Bitmap::FromFile(ui::TwoXPictureFile(file).c_str()));
        divisor = 2;
    }
    if (!image || image->GetLastStatus() != Gdiplus::Ok) {
        image.reset(Gdiplus::Bitmap::FromFile(file.c_str()));
        divisor = 1;
    }
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return false;
    const int width = scale.ToDevice(static_cast<int>(image->GetWidth()) / divisor);
    const int height = scale.ToDevice(static_cast<int>(image->GetHeight()) / divisor);
    if (width <= 0 || height <= 0) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, so the GDI+ surface and the DIB agree
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP surface = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool shown = false;
    if (memory && surface && bits) {
        HGDIOBJ previous = SelectObject(memory, surface);
        {
            // Premultiplied alpha, as UpdateLayeredWindow expects it.
            Gdiplus::Bitmap target(width, height, width * 4, PixelFormat32bppPARGB,
                                   static_cast<BYTE*>(bits));
            Gdiplus::Graphics graphics(&target);
            graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
            if (!scale.IsLayout()) {
                graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
                graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            }
            graphics.DrawImage(image.get(), 0, 0, width, height);
        }
        RECT main{};
        GetWindowRect(main_, &main);
        POINT at{main.left + (main.right - main.left) / 2 - scale.ToDevice(100),
                 main.top + (main.bottom - main.top) / 2 - scale.ToDevice(100)};
        SIZE size{width, height};
        POINT origin{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        SetWindowPos(hwnd_, HWND_TOPMOST, at.x, at.y, width, height, SWP_NOACTIVATE);
        shown = UpdateLayeredWindow(hwnd_, screen, &at, &size, memory, &origin, 0, &blend,
                                    ULW_ALPHA) != FALSE;
        SelectObject(memory, previous);
    }
    if (surface) DeleteObject(surface);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shown;
}

}  // namespace tavrine::forms
