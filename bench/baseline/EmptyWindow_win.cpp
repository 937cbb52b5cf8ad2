// The smallest Win32 program that does what the configuration program's start must do at the
// least: register a class, create one window and show it, then run its message loop. Built by the
// same toolchain and options, it is the baseline for start time and private memory.
// It also counts the key presses it is given, and answers kKeyCountMessage with that count: the
// baseline for a keystroke's way from SendInput to a window of another process, read back the
// way the macro editor's rows are read.
#include <windows.h>

namespace {

constexpr UINT kKeyCountMessage = WM_APP + 1;
LRESULT g_keyMessages = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            ++g_keyMessages;
            return 0;
        case kKeyCountMessage:
            return g_keyMessages;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"BenchEmptyWindow";
    if (!RegisterClassExW(&windowClass)) return 1;
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Empty", WS_POPUP, 100, 100, 805,
                                  760, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
