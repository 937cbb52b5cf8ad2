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

}  // namespace cli
