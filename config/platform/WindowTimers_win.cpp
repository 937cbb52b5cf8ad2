#include "platform/WindowTimers_win.h"

namespace platform {

namespace {
constexpr wchar_t kClassName[] = L"TavrineTimerWindow";
}

WindowTimers::WindowTimers() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &WindowTimers::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);  // fails harmlessly when a second instance registered it already
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, this);
}

WindowTimers::~WindowTimers() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK WindowTimers::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_TIMER) {
        auto* self = reinterpret_cast<WindowTimers*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) self->Fire(static_cast<UINT_PTR>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void WindowTimers::Start(std::string_view role, std::chrono::milliseconds interval,
                         std::function<void()> onFire) {
    auto it = roles_.find(role);
    if (it == roles_.end())
        it = roles_.emplace(std::string(role), Role{nextId_++, false, {}}).first;
    Role& r = it->second;
    r.onFire = std::move(onFire);
    const auto ms = interval.count() < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM
                                                          : static_cast<UINT>(interval.count());
    // SetTimer with a live id replaces the running timer, which is the restart we want.
    r.running = SetTimer(window_, r.id, ms, nullptr) != 0;
}

void WindowTimers::Stop(std::string_view role) {
    auto it = roles_.find(role);
    if (it == roles_.end() || !it->second.running) return;
    KillTimer(window_, it->second.id);
    it->second.running = false;
}

bool WindowTimers::IsRunning(std::string_view role) const {
    auto it = roles_.find(role);
    return it != roles_.end() && it->second.running;
}

void WindowTimers::Fire(UINT_PTR id) {
    for (auto& [name, r] : roles_) {
        if (r.id != id) continue;
        KillTimer(window_, id);  // one-shot
        if (!r.running) return;  // a WM_TIMER already queued before Stop
        r.running = false;
        auto onFire = r.onFire;  // the callback may restart the role and replace it
        if (onFire) onFire();
        return;
    }
}

}  // namespace platform
