#include "cli/Watch_win.h"

#include <array>
#include <chrono>
#include <memory>
#include <optional>

#include "cli/AutoProfileStore.h"
#include "cli/CliOutput.h"
#include "cli/ConfigurationProgram_win.h"
#include "cli/ConsoleOutput_win.h"
#include "cli/DeviceReportPump_win.h"
#include "cli/ForegroundProgram_win.h"
#include "cli/LiveCommands.h"
#include "cli/ProfileSettler.h"
#include "cli/TrayIcon_win.h"
#include "common/DeviceIds.h"
#include "device/SettingsLayout.h"
#include "device/WindowMessages.h"
#include "platform/PortivoChannel_win.h"
#include "platform/RegistrySettingsStore_win.h"
#include "platform/SettingsPath.h"
#include "platform/SystemServices_win.h"
#include "portivo/Portivo.h"

namespace cli {

namespace {

using Ms = std::chrono::milliseconds;

constexpr UINT kMsgTray = WM_APP + 1;
constexpr UINT_PTR kSettleTimer = 1;
constexpr std::size_t kCollections = 2;

Ms Now() { return Ms(GetTickCount64()); }

std::wstring Text(std::wstring_view view) { return std::wstring(view); }

class Watcher {
  public:
    explicit Watcher(std::optional<Ms> settle) : settler_(settle) {}
    ~Watcher();

    // Window, icon, hook, the mouse's collections and the rules; the reason when it fails.
    std::wstring Start();
    int Run();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnForeground(HWND window, Ms age);
    void OnCollection(UINT message, WPARAM index);
    void OnCommand(UINT command);
    void LoadRules();
    void WatchRules();
    void WatchConfigurationProgram();
    void ConfigurationProgramEnded();
    void Act();
    bool ConfigurationProgramHolds(Ms now);
    void Rearm();
    void ShowState();

    ProfileSettler settler_;
    platform::RegistrySettingsStore store_;
    platform::PortivoChannel channel_{&::SetKbdFeatures, &::GetKbdFeatures};
    platform::SleepWaits waits_;
    platform::WindowPoster messenger_;
    std::unique_ptr<DeviceReportPump> reports_;
    std::unique_ptr<ForegroundHook> hook_;
    std::unique_ptr<TrayIcon> tray_;
    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
    HKEY rulesKey_ = nullptr;
    HANDLE rulesChanged_ = nullptr;
    HANDLE configuration_ = nullptr;  // the configuration program's process, while it holds us
    std::array<bool, kCollections> present_{};
    bool busy_ = false;  // inside a read or switch, whose waits run the message loop
};

Watcher::~Watcher() {
    if (window_) DestroyWindow(window_);
    if (rulesKey_) RegCloseKey(rulesKey_);
    if (rulesChanged_) CloseHandle(rulesChanged_);
    if (configuration_) CloseHandle(configuration_);
}

std::wstring Watcher::Start() {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = module;
    const std::wstring className = Text(device::kWatchClass);
    windowClass.lpszClassName = className.c_str();
    RegisterClassExW(&windowClass);
    // A hidden top-level window rather than a message-only one: the uninstaller finds it by
    // class and caption, and Explorer's restart broadcast reaches it.
    window_ =
        CreateWindowExW(WS_EX_TOOLWINDOW, className.c_str(), Text(device::kWatchCaption).c_str(),
                        WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module, this);
    if (!window_) return L"its window could not be made";
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

    reports_ = std::make_unique<DeviceReportPump>();
    hook_ = std::make_unique<ForegroundHook>(
        [this](HWND window, Ms age) { OnForeground(window, age); });
    if (!hook_->ok()) return L"the system's foreground events cannot be followed";
    // The program in front before the icon goes in: under Wine the notification area is a
    // window of its own made for the first icon, and it may take the front for a moment.
    if (HWND front = GetForegroundWindow()) {
        hook_->Seen(front);
        OnForeground(front, Ms{0});
    }
    tray_ = std::make_unique<TrayIcon>(window_, kMsgTray);
    // Without a notification area (yet) the watcher works all the same; Explorer's restart
    // message puts the icon in later.
    tray_->Show();

    // Away until Portivo reports both collections, which it does for a mouse already there.
    settler_.SetHold(Hold::MouseAway, true, Now());
    static DeviceSpec collections[kCollections] = {
        {common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0xFF00},
        {common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0x0002}};
    InitDriver(window_, collections, static_cast<int>(kCollections));

    rulesChanged_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    LoadRules();
    WatchRules();
    ShowState();
    return {};
}

int Watcher::Run() {
    for (;;) {
        HANDLE handles[2];
        DWORD count = 0;
        if (rulesChanged_) handles[count++] = rulesChanged_;
        const DWORD configurationAt = count;
        if (configuration_) handles[count++] = configuration_;
        // Asleep until a message, a change of the rules or the configuration program's end:
        // no polling, so no processor time at rest.
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(count, handles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (rulesChanged_ && woke == WAIT_OBJECT_0) {
            LoadRules();
            WatchRules();
        } else if (configuration_ && woke == WAIT_OBJECT_0 + configurationAt) {
            ConfigurationProgramEnded();
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            // Posted device reports are not the input component's: their pointers are not read.
            if (message.message == device::kMsgDeviceReport) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

LRESULT CALLBACK Watcher::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* watcher = reinterpret_cast<Watcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!watcher || watcher->window_ != window)
        return DefWindowProcW(window, message, wParam, lParam);
    try {
        return watcher->Handle(message, wParam, lParam);
    } catch (...) {
        return 0;  // nothing unwinds into the system; the next event is taken as usual
    }
}

LRESULT Watcher::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kSettleTimer) {
                KillTimer(window_, kSettleTimer);
                Act();
                Rearm();
            }
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case kMsgTray:
            // lParam is the mouse message over the icon: a number, nothing to read.
            if (LOWORD(lParam) == WM_RBUTTONUP || LOWORD(lParam) == WM_LBUTTONUP ||
                LOWORD(lParam) == WM_CONTEXTMENU) {
                TrayMenuState state;
                state.paused = settler_.HeldBy(Hold::Paused);
                state.front = std::wstring(FileNameOf(settler_.Front()));
                if (!state.front.empty()) {
                    for (const AutoRule& rule : settler_.Rules().rules)
                        if (SameText(rule.program, state.front)) state.frontProfile = rule.profile;
                }
                if (const UINT chosen = tray_->ChooseFromMenu(state)) OnCommand(chosen);
            }
            return 0;
        case portivo::kMsgCollectionPresent:
        case portivo::kMsgCollectionRemoved:
        case portivo::kMsgNoCollectionLeft:
            OnCollection(message, wParam);
            return 0;
        case WM_DESTROY:
            tray_.reset();
            window_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            if (message == taskbarCreated_ && taskbarCreated_ != 0) {
                tray_->Show();
                ShowState();
                return 0;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Watcher::OnForeground(HWND window, Ms age) {
    const Ms now = Now();
    settler_.Observe(ImagePathOf(window), now - age);
    // The configuration program ended without a process handle to wait on (it had no window
    // yet when it held us): whatever comes to the front next tells.
    if (settler_.HeldBy(Hold::ConfigurationProgram) && !configuration_) {
        if (!ConfigurationProgramRuns())
            settler_.SetHold(Hold::ConfigurationProgram, false, now);
        else
            WatchConfigurationProgram();
    }
    Rearm();
}

void Watcher::OnCollection(UINT message, WPARAM index) {
    if (message == portivo::kMsgNoCollectionLeft) {
        present_.fill(false);
    } else if (index < kCollections) {
        present_[index] = message == portivo::kMsgCollectionPresent;
    }
    settler_.SetHold(Hold::MouseAway, !(present_[0] && present_[1]), Now());
    Rearm();
}

void Watcher::OnCommand(UINT command) {
    const Ms now = Now();
    if (command == kCmdPause) {
        settler_.SetHold(Hold::Paused, !settler_.HeldBy(Hold::Paused), now);
    } else if (command == kCmdExit) {
        DestroyWindow(window_);
        return;
    } else if (command >= kCmdUseProfile1 && command < kCmdUseProfile1 + 5) {
        const std::wstring front(FileNameOf(settler_.Front()));
        if (front.empty()) return;
        AutoProfile rules = ReadAutoProfile(store_).settings;
        if (!AddRule(rules, front, static_cast<int>(command - kCmdUseProfile1 + 1)).empty()) return;
        // Rules already at their limit or a store that refuses: the menu simply does nothing.
        if (!WriteAutoProfile(store_, rules).ok) return;
        settler_.SetRules(rules, now);
    } else {
        return;
    }
    ShowState();
    Rearm();
}

void Watcher::LoadRules() {
    settler_.SetRules(ReadAutoProfile(store_).settings, Now());
    ShowState();
    Rearm();
}

void Watcher::WatchRules() {
    // The whole settings tree: the rules' key may be made, removed or replaced (an import).
    if (!rulesKey_) {
        const std::wstring root = platform::CleanSettingsPath(device::kSettingsRoot);
        if (RegCreateKeyExW(HKEY_CURRENT_USER, root.c_str(), 0, nullptr, 0, KEY_NOTIFY, nullptr,
                            &rulesKey_, nullptr) != ERROR_SUCCESS)
            rulesKey_ = nullptr;
    }
    if (!rulesKey_ || !rulesChanged_ ||
        RegNotifyChangeKeyValue(rulesKey_, TRUE,
                                REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, rulesChanged_,
                                TRUE) != ERROR_SUCCESS) {
        // Without notifications the rules of the start stay in force.
        if (rulesChanged_) CloseHandle(rulesChanged_);
        rulesChanged_ = nullptr;
    }
}

void Watcher::WatchConfigurationProgram() {
    if (!configuration_) configuration_ = OpenConfigurationProgramProcess();
}

void Watcher::ConfigurationProgramEnded() {
    CloseHandle(configuration_);
    configuration_ = nullptr;
    // Another instance may have been started meanwhile.
    if (ConfigurationProgramRuns()) {
        WatchConfigurationProgram();
        return;
    }
    settler_.SetHold(Hold::ConfigurationProgram, false, Now());
    Rearm();
}

bool Watcher::ConfigurationProgramHolds(Ms now) {
    // Looked at when the mouse is about to be asked, not before: the mutex is the program's
    // own sign of life.
    if (!ConfigurationProgramRuns()) return false;
    settler_.SetHold(Hold::ConfigurationProgram, true, now);
    WatchConfigurationProgram();
    ShowState();
    return true;
}

void Watcher::Act() {
    if (busy_) return;  // the read or switch under way re-arms when it is done
    if (settler_.ReadDue(Now())) {
        if (ConfigurationProgramHolds(Now())) return;
        busy_ = true;
        // Neither a rule nor a fallback: the mouse is not even asked.
        settler_.TakeRead(settler_.Wanted() ? ReadActiveProfile(channel_, waits_) : std::nullopt);
        busy_ = false;
    }
    const Ms now = Now();
    if (!settler_.Due(now) || ConfigurationProgramHolds(now)) return;
    busy_ = true;
    if (const std::optional<int> target = settler_.Decide(now)) {
        LiveServices live{channel_, waits_, *reports_, messenger_, store_};
        // The same write and apply as the main window's profile switch; the display program
        // shows the profile as for the mouse's own button. A mouse that goes away meanwhile
        // is taken up again at its return; one that stops answering is asked again shortly.
        if (!SwitchProfile(live, *target).ok()) settler_.SwitchFailed(Now());
    }
    busy_ = false;
}

void Watcher::Rearm() {
    if (!window_ || busy_) return;
    const auto due = settler_.NextWake();
    if (!due) {
        KillTimer(window_, kSettleTimer);
        return;
    }
    const Ms now = Now();
    const auto delay = *due > now ? (*due - now).count() : 0;
    // USER_TIMER_MINIMUM applies to 0; the settling time itself is in milliseconds.
    SetTimer(window_, kSettleTimer, static_cast<UINT>(delay), nullptr);
}

void Watcher::ShowState() {
    if (!tray_) return;
    std::wstring tip = Text(device::kWatchCaption) + L": ";
    if (settler_.HeldBy(Hold::Paused))
        tip += L"paused";
    else if (settler_.HeldBy(Hold::SwitchedOff))
        tip += L"off (tavrine auto on)";
    else if (settler_.HeldBy(Hold::ConfigurationProgram))
        tip += L"waiting for Tavrine Gaming Mouse to close";
    else
        tip += std::to_wstring(settler_.Rules().rules.size()) + L" rules";
    tray_->SetTip(tip);
}

// Ctrl+C or a closed console window ends the watcher through its window, so the icon goes too.
HWND g_watchWindow = nullptr;
BOOL WINAPI OnConsoleControl(DWORD) {
    if (g_watchWindow) PostMessageW(g_watchWindow, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

int RunWatch(const CliArgs& args) {
    // Held until the process ends: the mark of the one watcher of this session.
    HANDLE single = CreateMutexW(nullptr, FALSE, Text(device::kWatchMutex).c_str());
    if (!single || GetLastError() == ERROR_ALREADY_EXISTS) {
        WriteError(ErrorLine(L"watch",
                             L"the watcher is already running (its icon is in the "
                             L"notification area)"));
        return 1;
    }
    // tavrine.exe is a console program, so a logon entry (or Explorer) gives it a console window
    // of its own. When no one else shares that console, nobody reads it: it is hidden and let
    // go at once. Started from a command prompt, the watcher keeps the prompt's console, and
    // Ctrl+C ends it.
    DWORD sharing[2] = {};
    const bool ownConsole = GetConsoleProcessList(sharing, 2) == 1;
    if (ownConsole) {
        if (HWND console = GetConsoleWindow()) ShowWindow(console, SW_HIDE);
        FreeConsole();
    }
    Watcher watcher(args.settleMs ? std::optional<Ms>(Ms(*args.settleMs)) : std::nullopt);
    if (const std::wstring problem = watcher.Start(); !problem.empty()) {
        WriteError(ErrorLine(L"watch", problem));
        return 1;
    }
    g_watchWindow =
        FindWindowW(Text(device::kWatchClass).c_str(), Text(device::kWatchCaption).c_str());
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    if (!ownConsole)
        WriteOut(
            "watching the program in front; Exit in the notification-area icon's menu (or "
            "Ctrl+C) ends it\n");
    return watcher.Run();
}

}  // namespace cli
