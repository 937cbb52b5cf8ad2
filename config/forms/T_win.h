#pragma once
// TTKey: gives the selected mouse button a stored macro and its repeat option. OK turns the
// stored macro into the button's record, with the inserted commands expanded.
#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "forms/AppContext.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Panel.h"

namespace tavrine::forms {

class TKey {
  public:
    explicit TKey(AppContext& app);
    ui::Form& Window() { return form_; }
    ui::Edit& MacroName() { return *macroName_; }
    int MarkedOption() const { return marked_; }

    void Ok();
    void Cancel();

  private:
    void FormShow();
    void FormHide();
    void ToggleList();
    void HideList();
    void ChooseMacro();
    void ChooseOption(int box);
    void RefreshBoxes(int hovered);
    void LoadPicture(ui::Image& image, std::wstring_view suffix);

    AppContext& app_;
    ui::Form form_;
    std::unique_ptr<ui::Image> imgTKey_;
    std::unique_ptr<ui::Label> labSelect_;
    std::unique_ptr<ui::Panel> panel1_;
    std::unique_ptr<ui::Edit> macroName_;
    std::unique_ptr<ui::Image> imgM_;
    std::unique_ptr<ui::ListBox> macroList_;
    std::unique_ptr<ui::Label> labRepeat_;
    std::array<std::unique_ptr<ui::Image>, 4> boxes_;
    std::array<std::unique_ptr<ui::Label>, 4> optionLabels_;
    std::unique_ptr<ui::Image> imgOk_;
    std::unique_ptr<ui::Image> imgCancel_;
    std::unique_ptr<ui::ListBox> listBox1_;
    bool listOpen_ = false;
    int marked_ = -1;  // the marked repeat option, -1 none
    std::wstring repeatState_ = L"a0";
    std::map<std::wstring, std::wstring, std::less<>> pictureStates_;
};

}  // namespace tavrine::forms
