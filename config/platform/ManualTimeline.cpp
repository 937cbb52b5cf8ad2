#include "platform/ManualTimeline.h"

namespace platform {

void ManualTimeline::Start(std::string_view role, std::chrono::milliseconds interval,
                           std::function<void()> onFire) {
    running_.insert_or_assign(std::string(role),
                              Entry{now_ + interval, started_++, std::move(onFire)});
}

void ManualTimeline::Stop(std::string_view role) {
    auto it = running_.find(role);
    if (it != running_.end()) running_.erase(it);
}

bool ManualTimeline::IsRunning(std::string_view role) const {
    return running_.find(role) != running_.end();
}

std::chrono::milliseconds ManualTimeline::DueAt(std::string_view role) const {
    auto it = running_.find(role);
    return it == running_.end() ? std::chrono::milliseconds{-1} : it->second.due;
}

std::optional<std::chrono::milliseconds> ManualTimeline::NextDue() const {
    std::optional<std::chrono::milliseconds> due;
    for (const auto& [role, entry] : running_)
        if (!due || entry.due < *due) due = entry.due;
    return due;
}

std::map<std::string, ManualTimeline::Entry, std::less<>>::iterator ManualTimeline::Earliest() {
    auto best = running_.end();
    for (auto it = running_.begin(); it != running_.end(); ++it) {
        if (best == running_.end() || it->second.due < best->second.due ||
            (it->second.due == best->second.due && it->second.order < best->second.order))
            best = it;
    }
    return best;
}

bool ManualTimeline::FireNext() {
    auto it = Earliest();
    if (it == running_.end()) return false;
    if (it->second.due > now_) now_ = it->second.due;
    auto onFire = std::move(it->second.onFire);
    running_.erase(it);  // one-shot: stopped before the callback, which may start it again
    if (onFire) onFire();
    return true;
}

void ManualTimeline::Advance(std::chrono::milliseconds duration) {
    const auto end = now_ + duration;
    for (;;) {
        auto it = Earliest();
        if (it == running_.end() || it->second.due > end) break;
        FireNext();
    }
    if (now_ < end) now_ = end;
}

}  // namespace platform
