#include "ui/SkinButton.h"

#include <memory>

#include "ui/ClickTracker.h"

namespace tavrine::ui {
namespace {

bool PressShows(MouseButton button) {
    return button == MouseButton::Left || button == MouseButton::Right;
}

}  // namespace

void WireSkinButton(Form& form, Control& button, std::function<void()> action,
                    SkinTrigger trigger) {
    auto click = std::make_shared<ClickTracker>();
    button.OnMouseEnter = [&form](Control& c) { form.LoadSkinPicture(c, L"1.bmp"); };
    button.OnMouseLeave = [&form](Control& c) { form.LoadSkinPicture(c, L"0.bmp"); };
    button.OnMouseDown = [&form, click, action, trigger](Control& c, const MouseArgs& args) {
        if (PressShows(args.button)) form.LoadSkinPicture(c, L"2.bmp");
        click->Down(args.button);
        if (trigger == SkinTrigger::Press && action) action();
    };
    button.OnMouseUp = [&form, click, action, trigger](Control& c, const MouseArgs& args) {
        if (PressShows(args.button)) form.LoadSkinPicture(c, L"0.bmp");
        const Rect& r = c.Bounds();
        const bool inside = args.x >= 0 && args.y >= 0 && args.x < r.width && args.y < r.height;
        const bool clicked = click->Up(args.button, inside);
        if (!action) return;
        if (trigger == SkinTrigger::Release || (trigger == SkinTrigger::Click && clicked)) action();
    };
}

}  // namespace tavrine::ui
