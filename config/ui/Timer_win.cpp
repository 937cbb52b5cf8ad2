#include "ui/Timer.h"

#include "ui/Form.h"

namespace tavrine::ui {

Timer::Timer(Form& owner, std::wstring name, UINT intervalMs, bool enabled)
    : owner_(owner), name_(std::move(name)), interval_(intervalMs), id_(owner.AddTimer(this)) {
    SetEnabled(enabled);
}

Timer::~Timer() { owner_.RemoveTimer(id_); }

void Timer::SetInterval(UINT ms) {
    interval_ = ms;
    if (enabled_) SetTimer(owner_.Handle(), id_, interval_, nullptr);
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        SetTimer(owner_.Handle(), id_, interval_, nullptr);
    } else {
        KillTimer(owner_.Handle(), id_);
    }
}

void Timer::Fire() {
    if (!enabled_) return;  // a WM_TIMER already queued when the timer was stopped
    Stop();
    if (OnTimer) OnTimer(*this);
}

}  // namespace tavrine::ui
