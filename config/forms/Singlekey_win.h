#pragma once
// TSKey: gives the selected button one of the nine fixed functions. The pop-up list only fills
// the command field; OK turns the field's text back into a record by exact name.
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

class SKey {
  public:
    explicit SKey(AppContext& app);
    ui::Form& Window() { return form_; }

    // What the pop-up list reaches.
    ui::Edit& SingleKeyName() { return *singleKeyName_; }
    ui::Panel& Panel1() { return *panel1_; }
    bool ListOpen() const { return listOpen_; }
    void SetListOpen(bool open) { listOpen_ = open; }

    void Ok();
    void Cancel();

  private:
    void FormShow();
    void FormHide();
    void ToggleList();
    void PlacePopup(int below);
    void HidePopup();
    void LoadPicture(ui::Image& image, std::wstring_view suffix);

    AppContext& app_;
    ui::Form form_;
    std::unique_ptr<ui::Image> imgSKey_;
    std::unique_ptr<ui::Label> label1_;
    std::unique_ptr<ui::Panel> panel1_;
    std::unique_ptr<ui::Image> imgM_;
    std::unique_ptr<ui::Edit> singleKeyName_;
    std::unique_ptr<ui::Image> imgOk_;
    std::unique_ptr<ui::Image> imgCancel_;
    std::unique_ptr<ui::ListBox> listBox1_;
    bool listOpen_ = false;
    std::map<std::wstring, std::wstring, std::less<>> pictureStates_;  // name -> last suffix
};

}  // namespace tavrine::forms
