// Stands in for a game or any other program the user brings to the front: one plain window
// captioned by its command line. WM_APP brings it to the front from inside its own process
// (as a user's click would), WM_CLOSE ends it. Built once and copied under two names.
#include <windows.h>

namespace {
// A second window of the same thread, out of sight. Wine 8 reports a window coming to the front
// only as a focus change of its thread, and a thread whose active window is already this one
// changes nothing: activating the helper first makes its coming back a change Wine reports,
// as a user's click on the window does under Windows.
HWND g_helper = nullptr;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_APP:
            if (g_helper) SetActiveWindow(g_helper);
            SetForegroundWindow(window);
            return 0;
        case WM_DESTROY:
            if (window != g_helper) PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR caption, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"TavrineFrontWindow";
    RegisterClassW(&windowClass);
    // Made first, so that the main window is the active one once shown.
    g_helper = CreateWindowExW(WS_EX_TOOLWINDOW, L"TavrineFrontWindow", L"", WS_POPUP | WS_VISIBLE,
                               -100, -100, 1, 1, nullptr, nullptr, instance, nullptr);
    HWND window = CreateWindowW(L"TavrineFrontWindow", caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                100, 100, 320, 200, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
