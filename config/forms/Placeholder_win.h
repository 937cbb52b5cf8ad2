#pragma once
// A dialog whose behaviour arrives later: its window, size, background and closing buttons, so
// that the program is whole and every window exists from the start.
#include <memory>
#include <string>
#include <vector>

#include "AppContext.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/SkinPaths.h"

namespace tavrine::forms {

struct PlaceholderLayout {
    std::wstring name;  // instance name; the class is "T" + name
    int width = 0;
    int height = 0;
    ui::Placement placement = ui::Placement::OwnerCenter;
    int left = 0;
    int top = 0;
    bool topmost = false;
    bool disablesMain = true;
    ui::SkinFolderId skin = ui::SkinFolderId::Main;
    std::wstring background;
    struct Button {
        std::wstring name;
        ui::Rect bounds;
    };
    std::vector<Button> closeButtons;
};

class PlaceholderDialog {
  public:
    PlaceholderDialog(AppContext& app, PlaceholderLayout layout);
    ui::Form& Window() { return form_; }

  private:
    AppContext& app_;
    PlaceholderLayout layout_;
    ui::Form form_;
    std::vector<std::unique_ptr<ui::Image>> images_;
};

// The layouts of the dialogs that are still placeholders.
PlaceholderLayout TKeyLayout();
PlaceholderLayout RepeatCountLayout();
PlaceholderLayout MacroFormLayout();
PlaceholderLayout NewMacroLayout();

}  // namespace tavrine::forms
