#pragma once
// Clock, one-shot timers and waits on a time line that moves only when told, so that sequences
// of timers, retries and timeouts can be driven step by step. Waits move the clock but fire
// nothing, as a blocking wait on the GUI thread does; due timers fire in Advance.
#include <map>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/Timers.h"
#include "platform/Waits.h"

namespace platform {

class ManualTimeline final : public Clock, public Timers, public Waits {
  public:
    std::chrono::milliseconds Now() const override { return now_; }

    void Start(std::string_view role, std::chrono::milliseconds interval,
               std::function<void()> onFire) override;
    void Stop(std::string_view role) override;
    bool IsRunning(std::string_view role) const override;
    void Wait(std::chrono::milliseconds duration) override { now_ += duration; }

    // Moves the clock forward by duration, firing every timer that falls due on the way, in
    // order of their deadlines (timers started by a callback included).
    void Advance(std::chrono::milliseconds duration);
    // Fires the earliest running timer after moving the clock to its deadline; false when none.
    bool FireNext();
    // Deadline of a running timer.
    std::chrono::milliseconds DueAt(std::string_view role) const;
    // Deadline of the earliest running timer, none when nothing runs: a driver can move straight
    // to it instead of stepping through time in which nothing fires.
    std::optional<std::chrono::milliseconds> NextDue() const;

  private:
    struct Entry {
        std::chrono::milliseconds due;
        std::uint64_t order;  // start order breaks ties between equal deadlines
        std::function<void()> onFire;
    };
    std::map<std::string, Entry, std::less<>>::iterator Earliest();

    std::chrono::milliseconds now_{0};
    std::uint64_t started_ = 0;
    std::map<std::string, Entry, std::less<>> running_;
};

}  // namespace platform
