#pragma once
// The pictures of a skinned picture button (1 under the pointer, 2 pressed, 0 otherwise, from the
// form's skin folder) and its action, bound where the button is wired.
#include <functional>

#include "ui/Control.h"
#include "ui/Form.h"

namespace tavrine::ui {

enum class SkinTrigger {
    Press,    // the press of any mouse button runs the action
    Release,  // every release runs it, whatever the button and wherever it happens
    Click,    // a left press and release over the button (ClickTracker)
};

void WireSkinButton(Form& form, Control& button, std::function<void()> action,
                    SkinTrigger trigger = SkinTrigger::Click);

}  // namespace tavrine::ui
