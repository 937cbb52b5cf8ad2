#include "forms/Newmacro_win.h"

#include "forms/Macrokey_win.h"
#include "macro/MacroDialogs.h"
#include "macro/MacroStore.h"
#include "forms/Mainform_win.h"
#include "device/Notice.h"
#include "forms/ProgramServices_win.h"
#include "forms/Warning2_win.h"
#include "ui/SkinButton.h"
#include "ui/SkinPaths.h"

namespace tavrine::forms {
namespace {

constexpr COLORREF kNameGrey = RGB(30, 30, 30);

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"NewMacroForm";
    options.caption = L"NewMacroForm";
    options.clientWidth = 340;
    options.clientHeight = 166;
    options.placement = ui::Placement::OwnerCenter;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

}  // namespace

NewMacroForm::NewMacroForm(AppContext& app) : app_(app), form_(Options(app)) {
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Macro));
    imgNewMacro_ =
        std::make_unique<ui::Image>(form_, L"Img_NewMacro", ui::Rect{0, 0, 340, 166}, true);
    imgNewMacro_->SetDragsForm(true);
    imgOk_ = std::make_unique<ui::Image>(form_, L"Img_Ok", ui::Rect{69, 119, 91, 26});
    imgCancel_ = std::make_unique<ui::Image>(form_, L"Img_Cancel", ui::Rect{172, 119, 91, 26});
    ui::LabelStyle caption;
    caption.font = ui::FontSpec{L"Tahoma", 19, ui::kSilver};
    label1_ =
        std::make_unique<ui::Label>(form_, L"Label1", ui::Rect{72, 72, 60, 23}, L"Name", caption);
    ui::PanelStyle frame;
    frame.loweredBevel = true;
    frame.color = kNameGrey;
    panel1_ = std::make_unique<ui::Panel>(form_, L"Panel1", ui::Rect{136, 73, 129, 25}, frame);
    ui::EditStyle field;
    field.font = ui::FontSpec{L"Tahoma", 13, ui::kSilver};
    field.color = kNameGrey;
    field.border = false;
    // A key name of the store ends at 255 characters.
    field.maxLength = static_cast<int>(macro::kMaxMacroNameLength);
    macroName_ = std::make_unique<ui::Edit>(*panel1_, L"MacroName", ui::Rect{3, 2, 125, 21}, field);

    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Macro));
    form_.SetHintOf(L"Img_Ok", L"OK");
    form_.SetHintOf(L"Img_Cancel", L"CANCEL");
    if (auto text = app_.LanguageText(57)) form_.SetHintOf(L"Img_Ok", *text);
    if (auto text = app_.LanguageText(56)) form_.SetHintOf(L"Img_Cancel", *text);

    ui::WireSkinButton(form_, *imgOk_, [this] { Ok(); });
    ui::WireSkinButton(form_, *imgCancel_, [this] { Cancel(); });
    macroName_->OnEnterKey = [this](ui::Edit&) { Ok(); };
    macroName_->OnEscapeKey = [this](ui::Edit&) { Cancel(); };

    form_.OnShow = [this](ui::Form&) {
        macroName_->SetColors(macroName_->TextColor(), kNameGrey);
        macroName_->SetText(L"");
        SetEditorEnabled(false);
        macroName_->SetFocus();
    };
    form_.OnHide = [this](ui::Form&) { SetEditorEnabled(true); };
    form_.OnClose = [this](ui::Form&) { Cancel(); };
}

void NewMacroForm::SetEditorEnabled(bool enabled) {
    if (app_.macroForm) app_.macroForm->Window().SetEnabled(enabled);
}

void NewMacroForm::Ok() {
    if (!form_.Visible() || !app_.macroForm) return;
    const std::wstring name = macroName_->Text();
    const macro::NewMacroResult result =
        macro::AcceptNewMacroName(app_.services->store, name, app_.macroForm->Document());
    form_.Hide();
    app_.macroForm->NewMacroAnswered(result);
    if (result.outcome == macro::NewMacroOutcome::Refused && app_.warningForm2)
        app_.warningForm2->ShowNotice(result.notice.value_or(device::Notice::BadMacroName));
}

void NewMacroForm::Cancel() { form_.Hide(); }

}  // namespace tavrine::forms
