#include "forms/T_win.h"

#include "device/Assignments.h"
#include "forms/ErrorReport_win.h"
#include "macro/MacroExpansion.h"
#include "macro/MacroStore.h"
#include "forms/Mainform_win.h"
#include "forms/ProgramServices_win.h"
#include "device/RecordTemplates.h"
#include "forms/Repeat_win.h"
#include "ui/SkinButton.h"
#include "ui/SkinPaths.h"

using macro::ExpandMacro;
using macro::kMaxMacroNameLength;
using macro::MacroAssignment;
using macro::ReadStoredMacro;
using macro::RepeatOption;
using macro::StoredMacroNames;
using macro::WriteRepeatOption;

namespace tavrine::forms {
namespace {

constexpr COLORREF kFieldGrey = RGB(0x33, 0x33, 0x33);
constexpr COLORREF kListGrey = RGB(128, 128, 128);
constexpr int kListHeight = 150;
constexpr std::array<int, 4> kBoxTops = {154, 177, 200, 223};
constexpr std::array<int, 4> kLabelTops = {152, 176, 200, 224};
constexpr std::array<const wchar_t*, 4> kLabelNames = {L"Lab_Once", L"Lab_Multiple", L"Lab_When",
                                                       L"Lab_Until"};
constexpr std::array<const wchar_t*, 4> kLabelTexts = {
    L"Once", L"Multiple Times", L"When Press & Hold", L"Until Pressed Next Time"};

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"TKey";
    options.caption = L"TKey";
    options.clientWidth = 281;
    options.clientHeight = 328;
    options.placement = ui::Placement::OwnerCenter;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

ui::LabelStyle Silver(int height) {
    ui::LabelStyle style;
    style.font = ui::FontSpec{L"Tahoma", height, ui::kSilver};
    return style;
}

}  // namespace

TKey::TKey(AppContext& app) : app_(app), form_(Options(app)) {
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Tkey));
    imgTKey_ = std::make_unique<ui::Image>(form_, L"Img_TKey", ui::Rect{0, 0, 281, 328}, true);
    imgTKey_->SetDragsForm(true);
    labSelect_ = std::make_unique<ui::Label>(form_, L"Lab_Select", ui::Rect{32, 61, 230, 23},
                                             L"Select a Macro to Assign", Silver(19));
    ui::PanelStyle frame;
    frame.loweredBevel = true;
    frame.color = kFieldGrey;
    panel1_ = std::make_unique<ui::Panel>(form_, L"Panel1", ui::Rect{32, 91, 147, 25}, frame);
    ui::EditStyle field;
    field.font = ui::FontSpec{L"Tahoma", 11, ui::kWhite};
    field.color = ui::kBlack;
    field.border = false;
    field.maxLength = static_cast<int>(kMaxMacroNameLength);
    macroName_ = std::make_unique<ui::Edit>(*panel1_, L"MacroName", ui::Rect{3, 2, 120, 21}, field);
    imgM_ = std::make_unique<ui::Image>(*panel1_, L"Img_m", ui::Rect{127, 5, 18, 13}, true);
    labRepeat_ = std::make_unique<ui::Label>(form_, L"Lab_Repeat", ui::Rect{32, 127, 200, 19},
                                             L"Repeat Option", Silver(15));
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = std::make_unique<ui::Image>(form_, L"Img_Box" + std::to_wstring(i),
                                                ui::Rect{32, kBoxTops[i], 17, 17});
        optionLabels_[i] =
            std::make_unique<ui::Label>(form_, kLabelNames[i], ui::Rect{56, kLabelTops[i], 200, 19},
                                        kLabelTexts[i], Silver(15));
    }
    imgOk_ = std::make_unique<ui::Image>(form_, L"Img_Ok", ui::Rect{42, 272, 91, 26});
    imgCancel_ = std::make_unique<ui::Image>(form_, L"Img_Cancel", ui::Rect{145, 272, 91, 26});
    ui::ListBoxStyle list;
    list.font = ui::FontSpec{L"Tahoma", 11, ui::kWhite};
    list.color = kListGrey;
    list.visible = false;
    macroList_ =
        std::make_unique<ui::ListBox>(form_, L"MacroList", ui::Rect{33, 117, 145, 0}, list);
    // Takes the keyboard focus only, outside the client area.
    listBox1_ = std::make_unique<ui::ListBox>(form_, L"ListBox1", ui::Rect{290, 97, 20, 20});

    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Tkey));
    form_.ApplyBuiltinHints();
    form_.SetHintOf(L"Img_Ok", L"OK");
    form_.SetHintOf(L"Img_Cancel", L"CANCEL");
    form_.ApplyLanguageHints(app_.language);
    if (auto text = app_.LanguageText(57)) form_.SetHintOf(L"Img_Ok", *text);
    if (auto text = app_.LanguageText(56)) form_.SetHintOf(L"Img_Cancel", *text);

    imgTKey_->OnMouseDown = [this](ui::Control&, const ui::MouseArgs&) { HideList(); };
    imgM_->OnMouseEnter = [this](ui::Control&) { LoadPicture(*imgM_, L"1.bmp"); };
    imgM_->OnMouseMove = [this](ui::Control&, const ui::MouseArgs&) {
        LoadPicture(*imgM_, L"1.bmp");
    };
    imgM_->OnMouseLeave = [this](ui::Control&) { LoadPicture(*imgM_, L"0.bmp"); };
    imgM_->OnMouseUp = [this](ui::Control&, const ui::MouseArgs&) {
        LoadPicture(*imgM_, L"0.bmp");
    };
    imgM_->OnMouseDown = [this](ui::Control&, const ui::MouseArgs& args) {
        if (args.button == ui::MouseButton::Middle) return;
        LoadPicture(*imgM_, L"1.bmp");
        ToggleList();
    };
    macroName_->OnMouseDown = [this](ui::Edit&) {
        listBox1_->SetFocus();
        ToggleList();
    };
    macroList_->OnClick = [this](ui::ListBox&) { ChooseMacro(); };
    // A release anywhere in the open list closes it, on empty space or the scroll bar too.
    macroList_->OnMouseUp = [this](ui::ListBox&) { HideList(); };
    for (int i = 0; i < 4; ++i) {
        ui::Image& box = *boxes_[static_cast<std::size_t>(i)];
        box.OnMouseEnter = [this, i](ui::Control&) { RefreshBoxes(i); };
        box.OnMouseMove = [this, i](ui::Control&, const ui::MouseArgs&) { RefreshBoxes(i); };
        box.OnMouseLeave = [this](ui::Control&) { RefreshBoxes(-1); };
        box.OnMouseUp = [this](ui::Control&, const ui::MouseArgs&) { RefreshBoxes(-1); };
        box.OnMouseDown = [this, i](ui::Control&, const ui::MouseArgs& args) {
            if (args.button != ui::MouseButton::Middle) ChooseOption(i);
        };
    }
    ui::WireSkinButton(form_, *imgOk_, [this] { Ok(); });
    ui::WireSkinButton(form_, *imgCancel_, [this] { Cancel(); });

    form_.OnShow = [this](ui::Form&) { FormShow(); };
    form_.OnHide = [this](ui::Form&) { FormHide(); };
    form_.OnClose = [this](ui::Form&) { Cancel(); };
}

void TKey::LoadPicture(ui::Image& image, std::wstring_view suffix) {
    // Moves arrive many times a second: a picture already shown is not read again.
    std::wstring& state = pictureStates_[image.Name()];
    if (state == suffix) return;
    state = suffix;
    form_.LoadSkinPicture(image, suffix);
}

void TKey::FormShow() {
    listOpen_ = false;
    macroName_->SetColors(macroName_->TextColor(), kFieldGrey);
    panel1_->SetColors(panel1_->TextColor(), kFieldGrey);
    listBox1_->SetFocus();
    if (app_.mainForm) app_.mainForm->SetDialogOpen(true);
    macroName_->SetText(L"");
    marked_ = -1;
    for (auto& box : boxes_) LoadPicture(*box, L"0.bmp");
    repeatState_ = L"a0";
}

void TKey::FormHide() {
    if (app_.mainForm) app_.mainForm->SetDialogOpen(false);
    if (app_.repeatCount) app_.repeatCount->Window().Hide();
    HideList();
}

void TKey::HideList() {
    macroList_->Hide();
    listOpen_ = false;
}

void TKey::ToggleList() {
    if (listOpen_) {
        HideList();
        return;
    }
    listOpen_ = true;
    macroList_->SetBounds({33, 117, 145, kListHeight});
    macroList_->Show();
    SetWindowPos(macroList_->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    macroList_->SetFocus();
    macroList_->Clear();
    if (auto names = StoredMacroNames(app_.services->store)) macroList_->SetItems(*names);
}

void TKey::ChooseMacro() {
    const int index = macroList_->ItemIndex();
    if (index >= 0) {
        macroName_->SetText(macroList_->Item(index));
        ChooseOption(0);
    }
    HideList();
}

void TKey::RefreshBoxes(int hovered) {
    const bool named = !macroName_->Text().empty();
    for (int i = 0; i < 4; ++i) {
        if (i == marked_) continue;
        LoadPicture(*boxes_[static_cast<std::size_t>(i)],
                    i == hovered && named ? L"1.bmp" : L"0.bmp");
    }
}

void TKey::ChooseOption(int box) {
    const std::wstring name = macroName_->Text();
    if (name.empty()) return;
    marked_ = box;
    for (int i = 0; i < 4; ++i)
        LoadPicture(*boxes_[static_cast<std::size_t>(i)], i == box ? L"2.bmp" : L"0.bmp");
    platform::SettingsStore& store = app_.services->store;
    switch (box) {
        case 0:
            repeatState_ = L"a0";
            WriteRepeatOption(store, name, RepeatOption::Once);
            break;
        case 1:
            if (app_.repeatCount) app_.repeatCount->ShowFor(name);
            break;
        case 2:
            repeatState_ = L"a1";
            WriteRepeatOption(store, name, RepeatOption::WhileHeld);
            break;
        default:
            repeatState_ = L"a2";
            WriteRepeatOption(store, name, RepeatOption::UntilPressedAgain);
            break;
    }
}

void TKey::Ok() {
    if (!form_.Visible()) return;
    device::MainState& state = app_.state;
    const device::SlotRef slot = device::SelectedSlot(state);
    if (!device::HoldsSlot(state, slot)) {
        form_.Hide();
        return;
    }
    const std::wstring name = macroName_->Text();
    const MacroAssignment assignment =
        ExpandMacro(ReadStoredMacro(app_.services->store, name), name);
    if (!assignment.ok) {
        // Nothing changes on the button: a record cut short would hold keys down on the mouse.
        ReportFailure(assignment.error);
        return;
    }
    device::AssignMacro(state, slot, name, assignment.recordText);
    form_.Hide();
    if (app_.mainForm) app_.mainForm->RefreshButtonInfo(slot.button);
}

void TKey::Cancel() { form_.Hide(); }

}  // namespace tavrine::forms
