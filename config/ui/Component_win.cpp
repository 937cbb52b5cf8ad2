#include "ui/Component.h"

#include "ui/Form.h"

namespace tavrine::ui {

Component::Component(Form& owner, std::wstring name) : owner_(owner), name_(std::move(name)) {
    owner_.Register(this);
}

Component::~Component() { owner_.Unregister(this); }

}  // namespace tavrine::ui
