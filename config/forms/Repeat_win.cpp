#include "forms/Repeat_win.h"

#include "forms/ErrorReport_win.h"
#include "macro/MacroDialogs.h"
#include "macro/MacroStore.h"
#include "forms/Mainform_win.h"
#include "forms/ProgramServices_win.h"
#include "forms/T_win.h"
#include "ui/SkinButton.h"
#include "ui/SkinPaths.h"

namespace tavrine::forms {
namespace {

constexpr COLORREF kFieldGrey = RGB(51, 51, 51);

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"RepeatCount";
    options.caption = L"RepeatCount";
    options.clientWidth = 280;
    options.clientHeight = 123;
    options.placement = ui::Placement::OwnerCenter;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

}  // namespace

RepeatCount::RepeatCount(AppContext& app) : app_(app), form_(Options(app)) {
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Tkey));
    image1_ = std::make_unique<ui::Image>(form_, L"Image1", ui::Rect{0, 0, 280, 123});
    image1_->SetDragsForm(true);
    imgOk_ = std::make_unique<ui::Image>(form_, L"Img_Ok", ui::Rect{40, 77, 91, 26});
    imgCancel_ = std::make_unique<ui::Image>(form_, L"Img_Cancel", ui::Rect{137, 77, 91, 26});
    ui::LabelStyle caption;
    caption.font = ui::FontSpec{L"Tahoma", 16, ui::kWhite};
    label1_ = std::make_unique<ui::Label>(form_, L"Label1", ui::Rect{32, 31, 137, 19},
                                          L"Enter Repeat Count", caption);
    ui::PanelStyle frame;
    frame.color = kFieldGrey;
    panel1_ = std::make_unique<ui::Panel>(form_, L"Panel1", ui::Rect{175, 31, 52, 23}, frame);
    ui::EditStyle field;
    field.font = ui::FontSpec{L"Tahoma", 16, ui::kWhite};
    field.color = kFieldGrey;
    field.border = false;
    field.maxLength = 3;
    field.digitsOnly = true;
    edit1_ = std::make_unique<ui::Edit>(*panel1_, L"Edit1", ui::Rect{1, 1, 50, 21}, field, L"1");

    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Tkey));
    form_.ApplyBuiltinHints();
    form_.SetHintOf(L"Img_Ok", L"OK");
    form_.SetHintOf(L"Img_Cancel", L"CANCEL");
    form_.ApplyLanguageHints(app_.language);
    if (auto text = app_.LanguageText(57)) form_.SetHintOf(L"Img_Ok", *text);
    if (auto text = app_.LanguageText(56)) form_.SetHintOf(L"Img_Cancel", *text);

    ui::WireSkinButton(form_, *imgOk_, [this] { Ok(); });
    ui::WireSkinButton(form_, *imgCancel_, [this] { Cancel(); });
    edit1_->OnEnterKey = [this](ui::Edit&) { Ok(); };
    edit1_->OnEscapeKey = [this](ui::Edit&) { Cancel(); };
    form_.OnShow = [this](ui::Form&) {
        SetOwnerEnabled(false);
        edit1_->SetFocus();
    };
    form_.OnHide = [this](ui::Form&) { SetOwnerEnabled(true); };
    form_.OnClose = [this](ui::Form&) { Cancel(); };
}

void RepeatCount::SetOwnerEnabled(bool enabled) {
    if (app_.tKey) app_.tKey->Window().SetEnabled(enabled);
}

void RepeatCount::ShowFor(std::wstring macroName) {
    macroName_ = std::move(macroName);
    form_.Show();
}

void RepeatCount::Ok() {
    if (!form_.Visible()) return;
    const macro::RepeatCountResult count = macro::RepeatCountFromText(edit1_->Text());
    if (!count.ok) {
        // An emptied field: nothing is stored and the dialog stays for a number.
        ReportFailure(count.error);
        return;
    }
    edit1_->SetText(count.edit);
    macro::WriteRepeatOption(app_.services->store, macroName_, macro::RepeatOption::Times,
                             count.countText);
    form_.Hide();
}

void RepeatCount::Cancel() { form_.Hide(); }

}  // namespace tavrine::forms
