#include "cli/ForegroundProgram_win.h"

#include <vector>

namespace cli {

namespace {
// A win-event callback carries no context of its own; a process has one watcher.
ForegroundHook* g_hook = nullptr;
constexpr DWORD kLongestPath = 32768;
}  // namespace

ForegroundHook::ForegroundHook(OnChange onChange) : onChange_(std::move(onChange)) {
    if (g_hook) return;
    // Out of context: the events come through this thread's message loop, no DLL is put into
    // other processes, and the watcher's own menu coming to the front is left out. Two hooks
    // rather than one range: the range between the two events holds every object event.
    constexpr DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
    foreground_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                  OnEvent, 0, 0, flags);
    // Wine 8 never raises the foreground event; a window brought to the front there shows
    // only as a focus change of its thread.
    focus_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnEvent, 0, 0, flags);
    if (ok()) g_hook = this;
}

ForegroundHook::~ForegroundHook() {
    if (foreground_) UnhookWinEvent(foreground_);
    if (focus_) UnhookWinEvent(focus_);
    if (g_hook == this) g_hook = nullptr;
}

void ForegroundHook::Seen(HWND front) {
    tracker_.Seen(reinterpret_cast<FrontTracker::Window>(front));
}

void CALLBACK ForegroundHook::OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG,
                                      DWORD, DWORD time) {
    if (!g_hook || !window) return;
    if (event == EVENT_SYSTEM_FOREGROUND && object != OBJID_WINDOW) return;
    const FrontEvent kind =
        event == EVENT_SYSTEM_FOREGROUND ? FrontEvent::Foreground : FrontEvent::Focus;
    const auto taken =
        g_hook->tracker_.OnEvent(kind, reinterpret_cast<FrontTracker::Window>(window),
                                 reinterpret_cast<FrontTracker::Window>(GetForegroundWindow()));
    if (!taken) return;
    HWND front = reinterpret_cast<HWND>(*taken);
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    if (process == GetCurrentProcessId()) return;
    try {
        if (g_hook->onChange_) g_hook->onChange_(front, EventAge(GetTickCount(), time));
    } catch (...) {
        // Nothing unwinds into the system's callback; the next change is taken as usual.
    }
}

std::wstring ImagePathOf(HWND window) {
    DWORD id = 0;
    if (!GetWindowThreadProcessId(window, &id) || !id) return {};
    // The least access that names the image, granted for other users' and most elevated
    // processes too.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return {};
    std::vector<wchar_t> path(kLongestPath);
    DWORD size = kLongestPath;
    const bool ok = QueryFullProcessImageNameW(process, 0, path.data(), &size) != 0;
    CloseHandle(process);
    return ok ? std::wstring(path.data(), size) : std::wstring{};
}

}  // namespace cli
