#include "ui/MouseRouter.h"

namespace tavrine::ui {
namespace {

bool Receives(std::span<const HitTarget> targets, std::size_t index) {
    return index < targets.size() && targets[index].enabled;
}

RoutedMouseEvent Make(std::span<const HitTarget> targets, std::size_t index, MouseEventKind kind,
                      MouseButton button, Point at) {
    const Rect& r = targets[index].bounds;
    return {index, kind, button, at.x - r.left, at.y - r.top};
}

}  // namespace

std::optional<std::size_t> MouseRouter::HitTest(std::span<const HitTarget> targets, Point at) {
    for (std::size_t i = targets.size(); i-- > 0;) {
        const HitTarget& t = targets[i];
        if (t.visible && t.enabled && t.bounds.Contains(at.x, at.y)) return i;
    }
    return std::nullopt;
}

void MouseRouter::UpdateHover(std::span<const HitTarget> targets, std::optional<std::size_t> hit,
                              Point at, Events& out) {
    if (captured_) {
        // Only the control holding the pointer hears enter and leave.
        const std::size_t c = *captured_;
        if (hovered_ == c && hit != c) {
            out.push_back(Make(targets, c, MouseEventKind::Leave, MouseButton::Left, at));
            hovered_.reset();
        } else if (hovered_ != c && hit == c) {
            hovered_ = c;
            out.push_back(Make(targets, c, MouseEventKind::Enter, MouseButton::Left, at));
        }
        return;
    }
    if (hit == hovered_) return;
    // A control disabled while the pointer was on it receives nothing, not even the leave.
    if (hovered_ && Receives(targets, *hovered_))
        out.push_back(Make(targets, *hovered_, MouseEventKind::Leave, MouseButton::Left, at));
    hovered_ = hit;
    if (hit) out.push_back(Make(targets, *hit, MouseEventKind::Enter, MouseButton::Left, at));
}

MouseRouter::Events MouseRouter::Move(std::span<const HitTarget> targets, Point at) {
    Events out;
    if (captured_ && !Receives(targets, *captured_)) captured_.reset();
    const auto hit = HitTest(targets, at);
    UpdateHover(targets, hit, at, out);
    const auto target = captured_ ? captured_ : hit;
    if (target) out.push_back(Make(targets, *target, MouseEventKind::Move, MouseButton::Left, at));
    return out;
}

MouseRouter::Events MouseRouter::Down(std::span<const HitTarget> targets, MouseButton button,
                                      Point at) {
    Events out;
    if (captured_ && !Receives(targets, *captured_)) captured_.reset();
    const auto hit = HitTest(targets, at);
    UpdateHover(targets, hit, at, out);
    if (!captured_) captured_ = hit;
    if (captured_) out.push_back(Make(targets, *captured_, MouseEventKind::Down, button, at));
    return out;
}

MouseRouter::Events MouseRouter::Up(std::span<const HitTarget> targets, MouseButton button,
                                    Point at, bool anyButtonStillDown) {
    Events out;
    if (captured_ && !Receives(targets, *captured_)) captured_.reset();
    const auto hit = HitTest(targets, at);
    UpdateHover(targets, hit, at, out);
    const auto target = captured_ ? captured_ : hit;
    if (target) out.push_back(Make(targets, *target, MouseEventKind::Up, button, at));
    if (!anyButtonStillDown && captured_) {
        captured_.reset();
        // The pointer may have been released over another control: it is entered now.
        UpdateHover(targets, hit, at, out);
    }
    return out;
}

MouseRouter::Events MouseRouter::LeaveWindow(std::span<const HitTarget> targets) {
    Events out;
    if (captured_) return out;
    if (hovered_ && Receives(targets, *hovered_))
        out.push_back(Make(targets, *hovered_, MouseEventKind::Leave, MouseButton::Left, {}));
    hovered_.reset();
    return out;
}

void MouseRouter::Reset() {
    hovered_.reset();
    captured_.reset();
}

}  // namespace tavrine::ui
