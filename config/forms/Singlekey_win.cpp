#include "forms/Singlekey_win.h"

#include "device/Assignments.h"
#include "forms/Mainform_win.h"
#include "forms/Popform_win.h"
#include "device/RecordTemplates.h"
#include "ui/LanguageTables.h"
#include "ui/SkinPaths.h"

namespace tavrine::forms {
namespace {

constexpr COLORREF kFieldGrey = RGB(0x33, 0x33, 0x33);
// The pop-up sits just under the command field when opened, a little lower while closed.
constexpr int kPopupBelowOpened = 22;
constexpr int kPopupBelowShown = 25;

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"SKey";
    options.caption = L"SKey";
    options.clientWidth = 283;
    options.clientHeight = 188;
    options.placement = ui::Placement::OwnerCenter;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

}  // namespace

SKey::SKey(AppContext& app) : app_(app), form_(Options(app)) {
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Tkey));

    imgSKey_ = std::make_unique<ui::Image>(form_, L"Img_SKey", ui::Rect{0, 0, 281, 188}, true);
    imgSKey_->SetDragsForm(true);
    ui::LabelStyle title;
    title.font = ui::FontSpec{L"Tahoma", 17, ui::kSilver};
    label1_ = std::make_unique<ui::Label>(form_, L"Label1", ui::Rect{32, 64, 210, 21},
                                          L"Select a command to Assign", title);
    ui::PanelStyle frame;
    frame.font = ui::FontSpec{L"Tahoma", 15, ui::kSilver};
    frame.loweredBevel = true;
    panel1_ = std::make_unique<ui::Panel>(form_, L"Panel1", ui::Rect{48, 91, 137, 22}, frame);
    imgM_ = std::make_unique<ui::Image>(*panel1_, L"Img_m", ui::Rect{116, 5, 17, 15}, true);
    ui::EditStyle field;
    field.font = ui::FontSpec{L"Tahoma", 13, ui::kWhite};
    field.border = false;
    // The panel's own space: the field sits two pixels inside its frame.
    singleKeyName_ =
        std::make_unique<ui::Edit>(*panel1_, L"SingleKeyName", ui::Rect{2, 2, 114, 18}, field);
    imgOk_ = std::make_unique<ui::Image>(form_, L"Img_Ok", ui::Rect{48, 147, 91, 26});
    imgCancel_ = std::make_unique<ui::Image>(form_, L"Img_Cancel", ui::Rect{145, 147, 91, 26});
    listBox1_ = std::make_unique<ui::ListBox>(form_, L"ListBox1", ui::Rect{287, 40, 20, 20});

    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Tkey));
    LoadPicture(*imgOk_, L"0.bmp");
    LoadPicture(*imgCancel_, L"0.bmp");
    form_.ApplyBuiltinHints();
    form_.ApplyLanguageHints(app_.language);

    imgSKey_->OnMouseDown = [this](ui::Control&, const ui::MouseArgs&) {
        // The form's drag starts with the press; an open list would stay behind.
        HidePopup();
        listOpen_ = false;
    };
    imgM_->OnMouseEnter = [this](ui::Control&) { LoadPicture(*imgM_, L"1.bmp"); };
    imgM_->OnMouseLeave = [this](ui::Control&) { LoadPicture(*imgM_, L"0.bmp"); };
    imgM_->OnMouseDown = [this](ui::Control&, const ui::MouseArgs&) { ToggleList(); };
    singleKeyName_->OnMouseDown = [this](ui::Edit&) { ToggleList(); };

    imgOk_->OnMouseMove = [this](ui::Control&, const ui::MouseArgs&) {
        LoadPicture(*imgOk_, L"1.bmp");
        LoadPicture(*imgCancel_, L"0.bmp");
    };
    imgCancel_->OnMouseMove = [this](ui::Control&, const ui::MouseArgs&) {
        LoadPicture(*imgOk_, L"0.bmp");
        LoadPicture(*imgCancel_, L"1.bmp");
    };
    imgOk_->OnMouseDown = [this](ui::Control&, const ui::MouseArgs&) { Ok(); };
    imgCancel_->OnMouseDown = [this](ui::Control&, const ui::MouseArgs&) { Cancel(); };

    form_.OnShow = [this](ui::Form&) { FormShow(); };
    form_.OnHide = [this](ui::Form&) { FormHide(); };
    form_.OnClose = [this](ui::Form&) { Cancel(); };
}

void SKey::LoadPicture(ui::Image& image, std::wstring_view suffix) {
    // Moves arrive many times a second: a state already asked for is not read again (nor is a
    // missing file looked for again and again).
    std::wstring& state = pictureStates_[image.Name()];
    if (state == suffix) return;
    state = suffix;
    form_.LoadSkinPicture(image, suffix);
}

void SKey::FormShow() {
    if (app_.mainForm) app_.mainForm->SetDialogOpen(true);
    singleKeyName_->SetText(L"");
    singleKeyName_->SetColors(singleKeyName_->TextColor(), kFieldGrey);
    panel1_->SetColors(panel1_->TextColor(), kFieldGrey);
    listBox1_->SetFocus();
    PlacePopup(kPopupBelowShown);
    listOpen_ = false;
}

void SKey::FormHide() {
    if (app_.mainForm) app_.mainForm->SetDialogOpen(false);
    HidePopup();
    listOpen_ = false;
}

void SKey::PlacePopup(int below) {
    if (!app_.pForm) return;
    const ui::Point origin = panel1_->ClientOriginOnScreen();
    app_.pForm->PlaceAt({origin.x, origin.y + form_.Scale().ToDevice(below)});
}

void SKey::HidePopup() {
    if (app_.pForm) app_.pForm->Hide();
}

void SKey::ToggleList() {
    listBox1_->SetFocus();
    if (listOpen_) {
        HidePopup();
        listOpen_ = false;
        return;
    }
    PlacePopup(kPopupBelowOpened);
    if (app_.pForm) app_.pForm->Show();
    listOpen_ = true;
}

void SKey::Ok() {
    LoadPicture(*imgOk_, L"2.bmp");
    device::MainState& state = app_.state;
    const device::SlotRef slot = device::SelectedSlot(state);
    const std::wstring text = singleKeyName_->Text();
    // The names as the list shows them, read again now: the file may have changed.
    const auto names = ui::SingleCommandNames(app_.language);
    std::optional<std::size_t> command;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] && text == *names[i]) command = i;
    }
    device::AssignSingleCommand(state, slot, command, command ? *names[*command] : std::wstring());
    form_.Hide();
    HidePopup();
    if (app_.mainForm) app_.mainForm->RefreshButtonInfo(slot.button);
}

void SKey::Cancel() {
    LoadPicture(*imgCancel_, L"2.bmp");
    form_.Hide();
    HidePopup();
}

}  // namespace tavrine::forms
