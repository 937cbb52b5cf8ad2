#include "ui/Control.h"

#include "ui/Form.h"
#include "ui/GraphicHost.h"

namespace tavrine::ui {

Control::Control(GraphicHost& host, std::wstring name, Rect bounds)
    : Component(host.OwnerForm(), std::move(name)), host_(host), bounds_(bounds) {
    host_.Add(this);
}

Control::~Control() { host_.Remove(this); }

void Control::SetBounds(const Rect& bounds) {
    if (bounds == bounds_) return;
    host_.Invalidate(bounds_);
    bounds_ = bounds;
    host_.Invalidate(bounds_);
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    host_.Invalidate(bounds_);
}

void Control::SetHint(std::wstring hint) {
    Component::SetHint(std::move(hint));
    OwnerForm().HintChanged(*this);
}

Rect Control::DeviceBounds() const { return host_.Scale().ToDevice(bounds_); }

void Control::Invalidate() const { host_.Invalidate(bounds_); }

}  // namespace tavrine::ui
