#pragma once
// TPForm: the drop-down list of the nine fixed button functions under the single-key dialog's
// command field. The dialog places, shows and hides it; a pick only fills the field. Like a
// combo box's list it never becomes the active window, so the dialog keeps the keyboard.
#include <memory>
#include <string>
#include <vector>

#include "forms/AppContext.h"
#include "ui/Form.h"
#include "ui/ListBox.h"

namespace tavrine::forms {

class PForm {
  public:
    explicit PForm(AppContext& app);
    ui::Form& Window() { return form_; }

    // Left and top in screen coordinates; the window never moves by itself.
    void PlaceAt(ui::Point screenTopLeft) { form_.SetPosition(screenTopLeft); }
    // Shown on top without taking the activation from the dialog.
    void Show();
    void Hide() { form_.Hide(); }
    bool Visible() const { return form_.Visible(); }

    std::vector<std::wstring> Items() const { return listBox1_->Items(); }

  private:
    void FormShow();
    void ListBox1Click(ui::ListBox& sender);

    AppContext& app_;
    ui::Form form_;
    std::unique_ptr<ui::ListBox> listBox1_;
};

}  // namespace tavrine::forms
