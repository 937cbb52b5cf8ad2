#include "cli/FrontTracker.h"

namespace cli {

std::optional<FrontTracker::Window> FrontTracker::OnEvent(FrontEvent event, Window eventWindow,
                                                          Window front) {
    // The foreground event is passed on even for the same window: the settling rules decide
    // what the same program again means.
    const Window taken = event == FrontEvent::Foreground ? eventWindow : front;
    if (taken == 0) return std::nullopt;
    if (event == FrontEvent::Focus && taken == last_) return std::nullopt;
    last_ = taken;
    return taken;
}

std::chrono::milliseconds EventAge(std::uint32_t tickNow, std::uint32_t eventTick) {
    // Unsigned subtraction is right across the wrap; a stamp after now comes out huge.
    const std::chrono::milliseconds age{static_cast<std::uint32_t>(tickNow - eventTick)};
    return age <= kLongestEventAge ? age : std::chrono::milliseconds{0};
}

}  // namespace cli
