#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tavrine::ui {

class Form;
class Timer;
using TimerHandler = std::function<void(Timer& sender)>;

// A one-shot timer on its form's window: it switches itself off before its handler runs, so a
// handler that wants another round starts it again. Starting a running timer restarts the count.
class Timer {
  public:
    Timer(Form& owner, std::wstring name, UINT intervalMs, bool enabled = false);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::wstring& Name() const { return name_; }
    UINT Interval() const { return interval_; }
    void SetInterval(UINT ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    void Start() { SetEnabled(true); }
    void Stop() { SetEnabled(false); }

    TimerHandler OnTimer;

    // Called by the form when the system timer fires.
    void Fire();

  private:
    Form& owner_;
    std::wstring name_;
    UINT interval_;
    UINT_PTR id_;
    bool enabled_ = false;
};

}  // namespace tavrine::ui
