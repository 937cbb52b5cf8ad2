#include "cli/ProfileSettler.h"

#include <algorithm>

namespace cli {

void ProfileSettler::SetRules(AutoProfile rules, Ms now) {
    // The store changes for many reasons; only a change of the rules is a reason to ask the
    // mouse again.
    if (rules == rules_ && !first_) return;
    first_ = false;
    rules_ = std::move(rules);
    settle_ = override_.value_or(Ms{rules_.Settle()});
    SetHold(Hold::SwitchedOff, !rules_.enabled, now);
    Reconsider(now);
}

void ProfileSettler::Observe(std::wstring imagePath, Ms now) {
    if (imagePath == front_ && !front_.empty()) return;
    front_ = std::move(imagePath);
    since_ = now;
    notBefore_ = now + settle_;
    pending_ = true;
    retries_ = 0;
    haveRead_ = false;
}

void ProfileSettler::SetHold(Hold hold, bool on, Ms now) {
    bool& held = holds_[static_cast<std::size_t>(hold)];
    const bool ends = held && !on;
    held = on;
    if (ends) Reconsider(now);
}

void ProfileSettler::Reconsider(Ms now) {
    // What was decided under other conditions is decided again; the settling time still
    // counts from when the program came to the front.
    pending_ = true;
    notBefore_ = std::max(since_ + settle_, now);
    retries_ = 0;
    haveRead_ = false;
}

void ProfileSettler::Retry(Ms now) {
    // A mouse busy or briefly unplugged answers again soon; one that never does is left alone
    // until something changes, rather than asked for ever.
    if (retries_ >= kRetries) return;
    ++retries_;
    pending_ = true;
    notBefore_ = now + kRetryBackoff;
    haveRead_ = false;
}

void ProfileSettler::SwitchFailed(Ms now) {
    if (!pending_) Retry(now);
}

bool ProfileSettler::Held() const {
    return std::any_of(holds_.begin(), holds_.end(), [](bool held) { return held; });
}

std::optional<ProfileSettler::Ms> ProfileSettler::NextDue() const {
    if (!pending_ || Held()) return std::nullopt;
    return notBefore_;
}

bool ProfileSettler::Due(Ms now) const {
    const auto due = NextDue();
    return due && now >= *due;
}

std::optional<int> ProfileSettler::Wanted() const { return ProfileFor(rules_, front_); }

std::optional<ProfileSettler::Ms> ProfileSettler::NextWake() const {
    const auto due = NextDue();
    if (!due || haveRead_) return due;
    return *due - kReadAhead;
}

bool ProfileSettler::ReadDue(Ms now) const {
    const auto due = NextDue();
    return due && !haveRead_ && now >= *due - kReadAhead;
}

void ProfileSettler::TakeRead(std::optional<int> activeProfile) {
    if (!pending_) return;
    haveRead_ = true;
    read_ = activeProfile;
}

std::optional<int> ProfileSettler::Decide(Ms now, std::optional<int> activeProfile) {
    if (!Due(now)) return std::nullopt;
    TakeRead(activeProfile);
    return Decide(now);
}

std::optional<int> ProfileSettler::Decide(Ms now) {
    if (!Due(now)) return std::nullopt;
    // None taken counts as no answer.
    const bool answered = haveRead_ && read_.has_value();
    const int activeProfile = answered ? *read_ : 0;
    pending_ = false;
    haveRead_ = false;
    const auto wanted = Wanted();
    if (!wanted) return std::nullopt;
    if (!answered) {
        Retry(now);
        return std::nullopt;
    }
    if (activeProfile == *wanted) return std::nullopt;
    return wanted;
}

}  // namespace cli
