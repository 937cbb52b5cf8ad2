#include "forms/Warning1_win.h"

#include "forms/Mainform_win.h"
#include "ui/LanguageTables.h"
#include "ui/SkinButton.h"
#include "ui/SkinPaths.h"

namespace tavrine::forms {
namespace {

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"WarningForm1";
    options.caption = L"WarningForm1";
    options.clientWidth = 494;
    options.clientHeight = 172;
    options.placement = ui::Placement::OwnerCenter;
    options.topmost = true;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

}  // namespace

WarningForm1::WarningForm1(AppContext& app) : app_(app), form_(Options(app)) {
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Warning));
    image1_ = std::make_unique<ui::Image>(form_, L"Image1", ui::Rect{0, 0, 494, 172});
    image1_->SetDragsForm(true);
    ui::LabelStyle style;
    style.font = ui::FontSpec{L"Tahoma", 17, ui::kWhite};
    style.wordWrap = true;
    label1_ = std::make_unique<ui::Label>(form_, L"Label1", ui::Rect{32, 79, 425, 58}, L"", style);
    label1_->SetFontColor(ui::kWhite);
    imgOk_ = std::make_unique<ui::Image>(form_, L"Img_Ok", ui::Rect{283, 126, 91, 26});
    imgCancel_ = std::make_unique<ui::Image>(form_, L"Img_Cancel", ui::Rect{386, 126, 91, 26});
    // Outside the visible area: it only holds the focus so that Enter and Esc reach the window.
    edit1_ = std::make_unique<ui::Edit>(form_, L"Edit1", ui::Rect{504, 112, 121, 21});
    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Warning));
    // Both message windows have a background named Image1; each has its own built-in picture.
    image1_->LoadFromResource(L"WARNINGFORM1_IMAGE1");
    // The same picture is installed as a skin file under the window's name; above 96 DPI its
    // 2x copy is drawn.
    if (!form_.SkinFolder().empty())
        image1_->SetBuiltinSkinFile(
            ui::SkinPictureFile(form_.SkinFolder(), L"WarningForm1_Image1", L"0.bmp"));
    form_.ApplyBuiltinHints();
    form_.ApplyLanguageHints(app_.language);

    // The texts are read once, when the window is made.
    texts_[0] = ui::MessageText(1, app_.language);
    texts_[1] = ui::MessageText(2, app_.language);

    // OK and Cancel act on the press, not on the release.
    ui::WireSkinButton(
        form_, *imgOk_, [this] { Ok(); }, ui::SkinTrigger::Press);
    ui::WireSkinButton(
        form_, *imgCancel_, [this] { Cancel(); }, ui::SkinTrigger::Press);
    edit1_->OnEnterKey = [this](ui::Edit&) { Ok(); };
    edit1_->OnEscapeKey = [this](ui::Edit&) { Cancel(); };
    form_.OnShow = [this](ui::Form&) { FormShow(); };
    form_.OnClose = [this](ui::Form&) { Cancel(); };
}

void WarningForm1::Ask(device::Notice question, std::function<void(bool ok)> answer) {
    if (!device::IsQuestion(question)) return;
    question_ = question;
    answer_ = std::move(answer);
    app_.state.MessageIndex = question;
    if (form_.Visible()) FormShow();  // already up: show the new text
    form_.Show();
}

void WarningForm1::FormShow() {
    const int index = device::NoticeNumber(question_);
    label1_->SetCaption(texts_[static_cast<std::size_t>(index - 1)]);
    form_.LoadSkinPicture(*imgOk_, L"0.bmp");
    form_.LoadSkinPicture(*imgCancel_, L"0.bmp");
    edit1_->SetFocus();
}

void WarningForm1::Close() {
    form_.LoadSkinPicture(*imgOk_, L"0.bmp");
    form_.LoadSkinPicture(*imgCancel_, L"0.bmp");
    form_.Hide();
}

void WarningForm1::Ok() { Answer(true); }

void WarningForm1::Cancel() { Answer(false); }

void WarningForm1::Answer(bool ok) {
    if (!form_.Visible()) return;
    Close();
    // Taken before it runs: the answer may ask the next question.
    auto answer = std::move(answer_);
    answer_ = nullptr;
    if (answer) answer(ok);
}

}  // namespace tavrine::forms
