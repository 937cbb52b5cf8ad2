#pragma once
// TMacroForm, the macro editor: records keystrokes through the keyboard hooks, edits events and
// delays, inserts built-in commands, and moves macros between the editor, the store and files.
// The macro itself lives in a MacroDocument; this window shows it and turns clicks into calls.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/AppContext.h"
#include "forms/KeyboardHooks_win.h"
#include "macro/MacroCommands.h"
#include "macro/MacroDialogs.h"
#include "macro/MacroDocument.h"
#include "macro/MacroEditing.h"
#include "macro/MacroRecorder.h"
#include "macro/MacroWindowRules.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/ImageList.h"
#include "ui/ListBox.h"
#include "ui/ListView.h"
#include "ui/Timer.h"

namespace platform {
class SettingsStore;
}

namespace tavrine::forms {

class MacroForm {
  public:
    explicit MacroForm(AppContext& app);
    ~MacroForm();
    ui::Form& Window() { return form_; }
    macro::MacroDocument& Document() { return document_; }
    bool Recording() const { return hooks_.Installed(); }

    // The new-macro dialog's OK with a name: the rows of a created macro are gone, and the
    // editor's buttons are enabled whether the name was accepted or refused.
    void NewMacroAnswered(const macro::NewMacroResult& result);

    // The actions, as the picture buttons run them.
    void New();
    void Record();
    void Stop();
    void Apply();
    void Ok();
    void Cancel();
    void Save();
    void Load();
    void DeleteStored();

  private:
    void BuildLayout();
    void WireEvents();
    void WireButton(ui::Image& button, void (MacroForm::*action)());
    void WireArrow(ui::Image& arrow, void (MacroForm::*action)());
    void WireOptionBox(ui::Image& box, bool MacroForm::*flag);
    void FormShow();
    void FormHide();
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void SetPhase(macro::MacroPhase phase);
    void EnableButton(ui::Image& button, bool enabled);
    void LoadPicture(ui::Image& image, std::wstring_view suffix);
    void ShowRows();
    void AddRow(const macro::MacroRow& row);
    void SyncSelection();
    void NameFromDocument();
    void NameToDocument();

    void ToggleMacroList();
    void ToggleCommandList();
    void CloseLists();
    void ChooseStored();
    void ChooseCommandEntry();
    void SelectionChanged();
    void TimeUp();
    void TimeDown();
    void SetDelayAction();
    void DeleteEvent();
    void MoveUp();
    void MoveDown();
    void InsertCommandAction();
    void Nothing() {}
    void OptionChanged();
    void ApplyTimeResult(const macro::TimeFieldResult& result);

    platform::SettingsStore& Store();

    AppContext& app_;
    ui::Form form_;
    macro::MacroDocument document_;
    macro::MacroRecorder recorder_;
    KeyboardHooks hooks_;
    SystemKeyNames keyNames_;
    macro::MacroLanguage language_;

    std::vector<std::unique_ptr<ui::Image>> images_;
    ui::Image* image1_ = nullptr;
    ui::Image* imgNew_ = nullptr;
    ui::Image* imgLoad_ = nullptr;
    ui::Image* imgSave_ = nullptr;
    ui::Image* imgDelete_ = nullptr;
    ui::Image* imgMd0_ = nullptr;
    ui::Image* imgR1_ = nullptr;
    ui::Image* imgMu_ = nullptr;
    ui::Image* imgMd_ = nullptr;
    ui::Image* imgBox1_ = nullptr;
    ui::Image* imgR2_ = nullptr;
    ui::Image* imgBox2_ = nullptr;
    ui::Image* imgR3_ = nullptr;
    ui::Image* imgMd1_ = nullptr;
    ui::Image* imgRecord_ = nullptr;
    ui::Image* imgStop_ = nullptr;
    ui::Image* imgDel_ = nullptr;
    ui::Image* imgUp_ = nullptr;
    ui::Image* imgDown_ = nullptr;
    ui::Image* imgOk_ = nullptr;
    ui::Image* imgCancel_ = nullptr;
    ui::Image* imgApply_ = nullptr;
    std::unique_ptr<ui::Edit> macroName_;
    std::unique_ptr<ui::Edit> time1_;
    std::unique_ptr<ui::Edit> time2_;
    std::unique_ptr<ui::Edit> commands_;
    std::unique_ptr<ui::ListBox> macroList_;
    std::unique_ptr<ui::ListBox> commandList_;
    std::unique_ptr<ui::ListView> listView1_;
    std::unique_ptr<ui::ImageList> imageList2_;
    std::unique_ptr<ui::Timer> timer2_;

    macro::MacroPhase phase_ = macro::MacroPhase::Shown;
    std::vector<int> commandEntries_;  // the command of each entry of the command list
    bool fillingRows_ = false;         // the list view's own notifications while it is filled
    bool macroListOpen_ = false;
    bool commandListOpen_ = false;
    bool ignoreOption_ = false;   // Img_box1
    bool defaultOption_ = false;  // Img_box2
};

}  // namespace tavrine::forms
