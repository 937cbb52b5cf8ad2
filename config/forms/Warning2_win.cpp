#include "forms/Warning2_win.h"

#include "forms/Mainform_win.h"
#include "device/WindowMessages.h"
#include "ui/Application.h"
#include "ui/LanguageTables.h"
#include "ui/SkinButton.h"
#include "ui/SkinPaths.h"

using device::Notice;
using device::NoticeNumber;
using device::NoticeWindowState;

namespace tavrine::forms {
namespace {

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"WarningForm2";
    options.caption = L"WarningForm2";
    options.clientWidth = 600;
    options.clientHeight = 172;
    options.placement = ui::Placement::OwnerCenter;
    options.topmost = true;
    options.color = ui::kSilver;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

}  // namespace

WarningForm2::WarningForm2(AppContext& app) : app_(app), form_(Options(app)) {
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Warning));
    image1_ = std::make_unique<ui::Image>(form_, L"Image1", ui::Rect{0, 0, 600, 172});
    image1_->SetDragsForm(true);
    ui::LabelStyle style;
    style.font = ui::FontSpec{L"Tahoma", 17, ui::kWhite};
    style.wordWrap = true;
    label1_ = std::make_unique<ui::Label>(form_, L"Label1", ui::Rect{32, 81, 529, 65}, L"", style);
    label1_->SetFontColor(ui::kWhite);
    imgYes_ = std::make_unique<ui::Image>(form_, L"Img_Yes", ui::Rect{489, 126, 96, 28});
    edit1_ = std::make_unique<ui::Edit>(form_, L"Edit1", ui::Rect{606, 133, 32, 21});
    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Warning));
    // Both message windows have a background named Image1; each has its own built-in picture.
    image1_->LoadFromResource(L"WARNINGFORM2_IMAGE1");
    // The same picture is installed as a skin file under the window's name; above 96 DPI its
    // 2x copy is drawn.
    if (!form_.SkinFolder().empty())
        image1_->SetBuiltinSkinFile(
            ui::SkinPictureFile(form_.SkinFolder(), L"WarningForm2_Image1", L"0.bmp"));
    form_.ApplyBuiltinHints();
    form_.ApplyLanguageHints(app_.language);

    for (int index = 3; index <= 7; ++index) {
        texts_[static_cast<std::size_t>(index - 3)] = ui::MessageText(index, app_.language);
    }

    // Yes is a click: a press dragged off the button, or another button, does nothing.
    ui::WireSkinButton(
        form_, *imgYes_, [this] { Yes(); }, ui::SkinTrigger::Click);
    edit1_->OnEnterKey = [this](ui::Edit&) { Yes(); };
    form_.OnShow = [this](ui::Form&) { FormShow(); };
    form_.OnClose = [this](ui::Form&) { Yes(); };
}

void WarningForm2::ShowNotice(Notice notice) {
    if (!rule_.Show(notice, form_.Visible())) return;
    app_.state.MessageIndex = notice;
    if (form_.Visible()) FormShow();
    form_.Show();
}

void WarningForm2::Hide() {
    rule_.Hidden();
    form_.Hide();
}

void WarningForm2::FormShow() {
    label1_->SetCaption(texts_[static_cast<std::size_t>(NoticeNumber(rule_.shown()) - 3)]);
    edit1_->SetFocus();
}

void WarningForm2::Yes() {
    switch (rule_.Yes(form_.Visible())) {
        case NoticeWindowState::YesAction::EndProgram:
            ui::Terminate(0);
            break;
        case NoticeWindowState::YesAction::BackToNoDevice:
            app_.state.MessageIndex = Notice::NoDevice;
            FormShow();
            break;
        case NoticeWindowState::YesAction::Hide:
            form_.Hide();
            break;
        case NoticeWindowState::YesAction::None:
            break;
    }
}

}  // namespace tavrine::forms
