#pragma once
// Which window the watcher takes as newly in front, from the system's events. The foreground
// event names it. A keyboard-focus event only says that something changed (Wine 8 reports a
// window brought to the front this way and never with the foreground event): the window in
// front at that moment is looked at, and passed on only when it is another than the last one,
// so focus moving inside a program costs nothing. Windows are plain numbers here, so the rule
// is tested natively.
#include <chrono>
#include <cstdint>
#include <optional>

namespace cli {

enum class FrontEvent { Foreground, Focus };

class FrontTracker {
  public:
    using Window = std::uintptr_t;  // 0: none

    // eventWindow: the window the event names; front: the system's foreground window now.
    // The window to take as the one in front, if the event tells of one.
    std::optional<Window> OnEvent(FrontEvent event, Window eventWindow, Window front);
    // The window found in front at the start, without an event.
    void Seen(Window front) { last_ = front; }

  private:
    Window last_ = 0;
};

// How long ago an event happened, from its time stamp and the tick count now: the system's
// 32-bit millisecond count, which wraps every 49.7 days. The settling time counts from the
// change itself, not from when a busy watcher got round to the event. A stamp from the future
// or older than kLongestEventAge is not believed: the event counts as happening now.
inline constexpr std::chrono::milliseconds kLongestEventAge{10000};
std::chrono::milliseconds EventAge(std::uint32_t tickNow, std::uint32_t eventTick);

}  // namespace cli
