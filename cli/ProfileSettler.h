#pragma once
// When the watcher switches the mouse's profile: the program in front must have stayed in front
// for the settling time (Alt+Tab, a launcher handing over to its game), nothing may hold the
// watcher back (paused, switched off, the configuration program running, the mouse away), and
// the mouse's own active profile, read from it, must differ from the one wanted. Driven by
// explicit time, so the rules are tested on a fake clock; the Win32 side only arms a timer for
// NextDue() and feeds in what happened.
#include <array>
#include <chrono>
#include <optional>
#include <string>

#include "cli/AutoRules.h"

namespace cli {

enum class Hold { Paused, SwitchedOff, ConfigurationProgram, MouseAway };

class ProfileSettler {
  public:
    using Ms = std::chrono::milliseconds;

    // With a settling time of its own (the watcher's --settle), the rules' one is not used.
    explicit ProfileSettler(std::optional<Ms> settle = std::nullopt)
        : override_(settle), settle_(settle.value_or(Ms{kDefaultSettleMs})) {}

    // New rules (or a new settling time) apply to the program in front at once, as far as it
    // has settled; the same rules again change nothing.
    void SetRules(AutoProfile rules, Ms now);
    // The program in front is now this image path (empty: unknown). The same program again
    // (another of its windows) changes nothing.
    void Observe(std::wstring imagePath, Ms now);
    // A hold that ends makes the watcher act on the program in front (when it has settled).
    void SetHold(Hold hold, bool on, Ms now);

    bool Held() const;
    bool HeldBy(Hold hold) const { return holds_[static_cast<std::size_t>(hold)]; }
    // When a decision is due; none while nothing is to be done until an input changes.
    std::optional<Ms> NextDue() const;
    bool Due(Ms now) const;
    // The profile the program in front asks for (its rule, else the fallback), if any.
    std::optional<int> Wanted() const;

    // The mouse is read kReadAhead before a decision is due, so that at the due time only the
    // write is left: a read is a few round trips to the mouse. When to wake next: for the read
    // while it is still to be made, else at NextDue().
    std::optional<Ms> NextWake() const;
    bool ReadDue(Ms now) const;
    // The mouse's active profile as read for the coming decision (none when it did not
    // answer). Any input that changes before the decision throws it away.
    void TakeRead(std::optional<int> activeProfile);
    // At Due: the profile to switch to, given the read taken (none taken counts as no answer);
    // none when no switch is needed. The program in front then counts as handled until an
    // input changes, except after a mouse that did not answer: it is asked again after
    // kRetryBackoff, up to kRetries times.
    std::optional<int> Decide(Ms now);
    // The same with the read given at the due time.
    std::optional<int> Decide(Ms now, std::optional<int> activeProfile);
    // The switch Decide asked for failed (the mouse stopped answering): retried as above.
    void SwitchFailed(Ms now);

    static constexpr Ms kReadAhead{30};
    static constexpr Ms kRetryBackoff{1000};
    static constexpr int kRetries = 3;

    const std::wstring& Front() const { return front_; }
    const AutoProfile& Rules() const { return rules_; }
    Ms Settle() const { return settle_; }

  private:
    void Reconsider(Ms now);
    void Retry(Ms now);

    std::optional<Ms> override_;
    Ms settle_;
    AutoProfile rules_;
    std::wstring front_;
    Ms since_{0};            // when front_ came to the front
    Ms notBefore_{0};        // a decision is not due before this
    bool pending_ = false;   // front_ is still to be acted on
    bool first_ = true;      // no rules set yet
    int retries_ = 0;        // retries since the last new input
    bool haveRead_ = false;  // read_ was read for the decision coming due
    std::optional<int> read_;
    std::array<bool, 4> holds_{};
};

}  // namespace cli
