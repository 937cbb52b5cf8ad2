#pragma once
// TWarningForm1: the confirmation window with OK and Cancel (unsaved changes, reset).
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "forms/AppContext.h"
#include "device/Notice.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"

namespace tavrine::forms {

class WarningForm1 {
  public:
    explicit WarningForm1(AppContext& app);
    ui::Form& Window() { return form_; }
    // Asks question (PendingChanges or ResetConfirm); answer(true) runs on OK, answer(false) on
    // Cancel, each for the question it was shown with. A new question replaces one still open.
    void Ask(device::Notice question, std::function<void(bool ok)> answer);
    bool Asking() const { return form_.Visible(); }
    void Ok();
    void Cancel();

  private:
    void FormShow();
    void Close();
    void Answer(bool ok);

    AppContext& app_;
    ui::Form form_;
    std::unique_ptr<ui::Image> image1_;
    std::unique_ptr<ui::Label> label1_;
    std::unique_ptr<ui::Image> imgOk_;
    std::unique_ptr<ui::Image> imgCancel_;
    std::unique_ptr<ui::Edit> edit1_;
    std::array<std::wstring, 2> texts_;  // messages 1 and 2, as the language file had them
    device::Notice question_ = device::Notice::PendingChanges;
    std::function<void(bool)> answer_;
};

}  // namespace tavrine::forms
