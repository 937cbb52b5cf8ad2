#pragma once
// TNewMacroForm: asks the macro editor's user for the name of a new macro; refused names are
// told through the notice window, an accepted one gets its key in the store.
#include <memory>

#include "forms/AppContext.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"

namespace tavrine::forms {

class NewMacroForm {
  public:
    explicit NewMacroForm(AppContext& app);
    ui::Form& Window() { return form_; }
    ui::Edit& MacroName() { return *macroName_; }
    void Ok();
    void Cancel();

  private:
    void SetEditorEnabled(bool enabled);

    AppContext& app_;
    ui::Form form_;
    std::unique_ptr<ui::Image> imgNewMacro_;
    std::unique_ptr<ui::Image> imgOk_;
    std::unique_ptr<ui::Image> imgCancel_;
    std::unique_ptr<ui::Label> label1_;
    std::unique_ptr<ui::Panel> panel1_;
    std::unique_ptr<ui::Edit> macroName_;
};

}  // namespace tavrine::forms
