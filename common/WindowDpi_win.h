#pragma once
// The DPI a window or a point of the screen is shown at, on every Windows the suite runs on.
// Windows 10 (1607) and later answer per window and per monitor; Windows 8.1 per monitor; older
// ones have one system DPI. The newer functions are looked up at run time, so the programs still
// start on Windows 7.

#include <windows.h>

namespace tavrine {

namespace dpi_detail {
inline int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// A system DLL is loaded by its full path in the system folder, never from the search path.
template <typename F>
F Lookup(const wchar_t* module, const char* name) {
    HMODULE m = GetModuleHandleW(module);
    if (!m) {
        wchar_t path[MAX_PATH];
        const UINT n = GetSystemDirectoryW(path, MAX_PATH);
        if (n == 0 || n + 1 + lstrlenW(module) >= MAX_PATH) return nullptr;
        path[n] = L'\\';
        lstrcpyW(path + n + 1, module);
        m = LoadLibraryW(path);
    }
    return m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}
}  // namespace dpi_detail

inline int WindowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        dpi_detail::Lookup<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow && hwnd) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return dpi_detail::SystemDpi();
}

inline int MonitorDpiAt(POINT at) {
    // MDT_EFFECTIVE_DPI = 0
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor =
        dpi_detail::Lookup<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    if (getDpiForMonitor) {
        UINT x = 0, y = 0;
        if (SUCCEEDED(getDpiForMonitor(MonitorFromPoint(at, MONITOR_DEFAULTTOPRIMARY), 0, &x, &y)) &&
            x > 0)
            return static_cast<int>(x);
    }
    return dpi_detail::SystemDpi();
}

}  // namespace tavrine
