#pragma once
// TWarningForm2: the notice window with a single Yes (no mouse, no left button, macro names,
// and a profile that did not reach the mouse).
#include <array>
#include <memory>

#include "forms/AppContext.h"
#include "device/NoticeWindowState.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"

namespace tavrine::forms {

class WarningForm2 {
  public:
    explicit WarningForm2(AppContext& app);
    ui::Form& Window() { return form_; }
    // Shows one of the notices 3 to 7; Yes acts on the notice shown.
    void ShowNotice(device::Notice notice);
    void Yes();
    // The mouse is back: the notice goes away, whatever it showed.
    void Hide();

  private:
    void FormShow();

    AppContext& app_;
    ui::Form form_;
    std::unique_ptr<ui::Image> image1_;
    std::unique_ptr<ui::Label> label1_;
    std::unique_ptr<ui::Image> imgYes_;
    std::unique_ptr<ui::Edit> edit1_;
    std::array<std::wstring, 5> texts_;  // messages 3 to 7
    device::NoticeWindowState rule_;
};

}  // namespace tavrine::forms
