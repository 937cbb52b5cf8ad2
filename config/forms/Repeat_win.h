#pragma once
// TRepeatCount: the count of a macro that plays a number of times, stored with its repeat mode
// in the macro's key. Shown by the macro assignment dialog for the macro it names.
#include <memory>
#include <string>

#include "forms/AppContext.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"

namespace tavrine::forms {

class RepeatCount {
  public:
    explicit RepeatCount(AppContext& app);
    ui::Form& Window() { return form_; }
    ui::Edit& Edit1() { return *edit1_; }
    // Shows the dialog for the macro `macroName`; OK stores the count for that macro.
    void ShowFor(std::wstring macroName);
    void Ok();
    void Cancel();

  private:
    void SetOwnerEnabled(bool enabled);

    AppContext& app_;
    ui::Form form_;
    std::wstring macroName_;
    std::unique_ptr<ui::Image> image1_;
    std::unique_ptr<ui::Image> imgOk_;
    std::unique_ptr<ui::Image> imgCancel_;
    std::unique_ptr<ui::Label> label1_;
    std::unique_ptr<ui::Panel> panel1_;
    std::unique_ptr<ui::Edit> edit1_;
};

}  // namespace tavrine::forms
