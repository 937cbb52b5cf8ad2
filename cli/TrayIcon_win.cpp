#include "cli/TrayIcon_win.h"

#include <vector>

namespace cli {

namespace {

// The configuration program's icon, from beside this program; the system's otherwise.
HICON SuiteIcon(bool& own) {
    std::vector<wchar_t> path(MAX_PATH * 4);
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring program(path.data(), length);
    program = program.substr(0, program.find_last_of(L'\\') + 1) + L"TavrineGamingMouse.exe";
    HICON small = nullptr;
    if (ExtractIconExW(program.c_str(), 0, nullptr, &small, 1) == 1 && small) {
        own = true;
        return small;
    }
    own = false;
    return LoadIconW(nullptr, IDI_APPLICATION);
}

void CopyTip(NOTIFYICONDATAW& data, const std::wstring& tip) {
    lstrcpynW(data.szTip, tip.c_str(), static_cast<int>(std::size(data.szTip)));
}

}  // namespace

TrayIcon::TrayIcon(HWND window, UINT message) {
    icon_ = SuiteIcon(ownIcon_);
    data_.cbSize = sizeof data_;
    data_.hWnd = window;
    data_.uID = 1;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = message;
    data_.hIcon = icon_;
}

TrayIcon::~TrayIcon() {
    Shell_NotifyIconW(NIM_DELETE, &data_);
    if (ownIcon_) DestroyIcon(icon_);
}

bool TrayIcon::Show() { return Shell_NotifyIconW(NIM_ADD, &data_) != 0; }

void TrayIcon::SetTip(const std::wstring& tip) {
    CopyTip(data_, tip);
    Shell_NotifyIconW(NIM_MODIFY, &data_);
}

UINT TrayIcon::ChooseFromMenu(const TrayMenuState& state) {
    HMENU menu = CreatePopupMenu();
    HMENU profiles = CreatePopupMenu();
    if (!menu || !profiles) {
        if (menu) DestroyMenu(menu);
        if (profiles) DestroyMenu(profiles);
        return 0;
    }
    AppendMenuW(menu, MF_STRING, kCmdPause, state.paused ? L"&Resume" : L"&Pause");
    for (int p = 1; p <= 5; ++p)
        AppendMenuW(profiles, MF_STRING | (state.frontProfile == p ? MF_CHECKED : MF_UNCHECKED),
                    kCmdUseProfile1 + static_cast<UINT>(p - 1),
                    (L"Profile &" + std::to_wstring(p)).c_str());
    const std::wstring use = state.front.empty()
                                 ? std::wstring(L"Use a profile for the program in front")
                                 : L"Use a profile for " + state.front;
    AppendMenuW(menu, MF_POPUP | (state.front.empty() ? MF_GRAYED : 0),
                reinterpret_cast<UINT_PTR>(profiles), use.c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kCmdExit, L"E&xit");
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if its window is in front, and the
    // message after it lets the menu end properly (a documented quirk of notification menus).
    SetForegroundWindow(data_.hWnd);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, data_.hWnd, nullptr));
    PostMessageW(data_.hWnd, WM_NULL, 0, 0);
    DestroyMenu(menu);  // with its submenu
    return chosen;
}

}  // namespace cli
