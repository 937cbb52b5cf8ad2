#include "cli/ForegroundProgram_win.h"

#include <vector>

namespace cli {

namespace {
// A win-event callback carries no context of its own; a process has one watcher.
ForegroundHook* g_hook = nullptr;
constexpr DWORD kLongestPath = 32768;
}  // namespace

ForegroundHook::ForegroundHook(std::function<void(HWND)> onChange)
    : onChange_(std::move(onChange)) {
    if (g_hook) return;
    // Out of context: the events come through this thread's message loop, no DLL is put into
    // other processes, and the watcher's own menu coming to the front is left out.
    hook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnEvent, 0,
                            0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (hook_) g_hook = this;
}

ForegroundHook::~ForegroundHook() {
    if (!hook_) return;
    UnhookWinEvent(hook_);
    g_hook = nullptr;
}

void CALLBACK ForegroundHook::OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG,
                                      DWORD, DWORD) {
    if (event != EVENT_SYSTEM_FOREGROUND || object != OBJID_WINDOW || !window || !g_hook) return;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return;
    try {
        if (g_hook->onChange_) g_hook->onChange_(window);
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
