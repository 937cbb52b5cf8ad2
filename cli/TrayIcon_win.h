#pragma once
// The watcher's icon in the notification area and its menu: Pause/Resume, a profile for the
// program in front, Exit.
#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

namespace cli {

// Menu commands; also taken as WM_COMMAND by the watcher's window (ids only, nothing to read).
enum WatchCommand : UINT {
    kCmdPause = 40001,  // pause or resume
    kCmdExit = 40002,
    kCmdUseProfile1 = 40011,  // ..40015: profile 1..5 for the program in front
};

struct TrayMenuState {
    bool paused = false;
    std::wstring front;               // the program in front's file name; empty: none known
    std::optional<int> frontProfile;  // its rule's profile, if it has one
};

class TrayIcon {
  public:
    // Clicks come to `window` as `message` (lParam: the mouse message).
    TrayIcon(HWND window, UINT message);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Puts the icon into the notification area (again after Explorer restarted).
    bool Show();
    void SetTip(const std::wstring& tip);
    // The menu at the pointer; the command chosen, or 0.
    UINT ChooseFromMenu(const TrayMenuState& state);

  private:
    NOTIFYICONDATAW data_{};
    HICON icon_ = nullptr;
    bool ownIcon_ = false;
};

}  // namespace cli
