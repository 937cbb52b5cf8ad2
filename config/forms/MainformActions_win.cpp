// The main window's pictures and button areas: hover and press looks, the function buttons and
// their enabling rule, profiles, Apply / OK / Cancel and what each picture does.
#include "Mainform_win.h"

#include <shellapi.h>

#include "Lightoption_win.h"
#include "Performance_win.h"
#include "Placeholder_win.h"
#include "ProfileStore.h"
#include "RecordTemplates.h"
#include "Singlekey_win.h"
#include "Warning1_win.h"
#include "WebAddress.h"
#include "WriteStarts.h"
#include "ui/Application.h"
#include "ui/FileDialog.h"

namespace tavrine::forms {
namespace {

bool IsPressButton(ui::MouseButton button) {
    return button == ui::MouseButton::Left || button == ui::MouseButton::Right;
}

std::wstring_view KindSuffix(std::int32_t kind) {
    switch (kind) {
        case kFunctionMacro:
            return L"T.bmp";
        case kFunctionSingleCommand:
            return L"S.bmp";
        case kFunctionLaunchProgram:
            return L"L.bmp";
        default:
            return L"D.bmp";  // default, and a slot never assigned
    }
}

}  // namespace

void MainForm::WireEvents() {
    for (ui::Image* image : {imgReset_, imgWeb_, imgHelp_, imgClose_, imgMacro_, imgLight_,
                             imgPerform_, imgApply_, imgCancel_, imgOk_}) {
        WirePlainButton(*image);
    }
    for (ui::Image* image : functionButtons_) WireFunctionButton(*image);
    for (int i = 0; i < 5; ++i) WireProfile(i);
    for (int b = 0; b < 5; ++b) WireButtonArea(b);
    marker_->OnMouseEnter = [this](ui::Control&) { RefreshButtonInfo(state_.CurrentButton); };
}

void MainForm::WirePlainButton(ui::Image& image) {
    image.OnMouseEnter = [this](ui::Control& c) { form_.LoadSkinPicture(c, L"1.bmp"); };
    image.OnMouseLeave = [this](ui::Control& c) { form_.LoadSkinPicture(c, L"0.bmp"); };
    image.OnMouseDown = [this](ui::Control& c, const ui::MouseArgs& args) {
        if (IsPressButton(args.button)) form_.LoadSkinPicture(c, L"2.bmp");
    };
    image.OnMouseUp = [this](ui::Control& c, const ui::MouseArgs& args) {
        if (IsPressButton(args.button)) form_.LoadSkinPicture(c, L"0.bmp");
        RunImageAction(c.Name());
    };
}

void MainForm::WireFunctionButton(ui::Image& image) {
    // A disabled control receives no events, so these only ever run while enabled.
    image.OnMouseEnter = [this](ui::Control& c) { form_.LoadSkinPicture(c, L"1.bmp"); };
    image.OnMouseLeave = [this](ui::Control& c) { form_.LoadSkinPicture(c, L"0.bmp"); };
    image.OnMouseDown = [this](ui::Control& c, const ui::MouseArgs&) {
        form_.LoadSkinPicture(c, L"2.bmp");
    };
    image.OnMouseUp = [this](ui::Control& c, const ui::MouseArgs&) { RunImageAction(c.Name()); };
}

void MainForm::WireProfile(int index) {
    ui::Image& image = *profiles_[static_cast<std::size_t>(index)];
    image.OnMouseDown = [this, index](ui::Control& c, const ui::MouseArgs& args) {
        if (args.button != ui::MouseButton::Left) return;
        for (int i = 0; i < 5; ++i) profilePressed_[static_cast<std::size_t>(i)] = i == index;
        form_.LoadSkinPicture(c, L"2.bmp");
        state_.CurrentProfile = index;
    };
    image.OnMouseUp = [this](ui::Control& c, const ui::MouseArgs&) {
        if (state_.CurrentProfile == lastSwitchedProfile_) return;
        lastSwitchedProfile_ = state_.CurrentProfile;
        RunImageAction(c.Name());
    };
    image.OnMouseMove = [this, index](ui::Control& c, const ui::MouseArgs&) {
        if (!profilePressed_[static_cast<std::size_t>(index)]) form_.LoadSkinPicture(c, L"1.bmp");
        for (int i = 0; i < 5; ++i) {
            const auto n = static_cast<std::size_t>(i);
            if (i != index && !profilePressed_[n]) LoadPicture(*profiles_[n], L"0.bmp");
        }
    };
    image.OnMouseLeave = [this, index](ui::Control& c) {
        if (!profilePressed_[static_cast<std::size_t>(index)]) form_.LoadSkinPicture(c, L"0.bmp");
    };
}

void MainForm::WireButtonArea(int button) {
    ButtonArea& area = areas_[static_cast<std::size_t>(button)];
    area.box->OnMouseEnter = [this, button](ui::Control&) {
        const auto b = static_cast<std::size_t>(button);
        ButtonArea& a = areas_[b];
        if (!buttonSelected_[b]) {
            a.highlight->Show();
            switch (button) {
                case 0:
                    LoadPicture(*imgLBtn_, WheelLightOn() ? L"10.bmp" : L"00.bmp");
                    break;
                case 1:
                    LoadPicture(*imgRBtn_, WheelLightOn() ? L"10.bmp" : L"00.bmp");
                    LoadPicture(*imgMBtn_, WheelLightOn() ? L"11.bmp" : L"00.bmp");
                    break;
                case 2:
                    LoadPicture(*imgMBtn_, L"0.bmp");
                    break;
                default:
                    break;  // side buttons show their highlight as it is
            }
        }
        RefreshButtonInfo(button);
    };
    area.box->OnMouseLeave = [this, button](ui::Control&) {
        const auto b = static_cast<std::size_t>(button);
        if (button == 2) {
            LoadWheelPicture();  // the wheel always stays visible
        } else if (!buttonSelected_[b]) {
            areas_[b].highlight->Hide();
        }
    };
    area.box->OnMouseUp = [this, button](ui::Control&, const ui::MouseArgs&) {
        SelectButtonArea(button);
    };
}

void MainForm::LoadWheelPicture() {
    LoadPicture(*imgMBtn_, WheelLightOn() ? L"11.bmp" : L"00.bmp");
}

void MainForm::SelectButtonArea(int button) {
    const auto b = static_cast<std::size_t>(button);
    ButtonArea& area = areas_[b];
    marker_->SetPosition(area.marker.x, area.marker.y);
    marker_->Show();
    if (button != 2) area.highlight->Hide();
    buttonSelected_[b] = true;
    state_.CurrentButton = button;
    ApplyFunctionButtonRule();
    for (int other = 0; other < 5; ++other) {
        if (other != button && buttonSelected_[static_cast<std::size_t>(other)]) {
            UnselectButtonArea(other);
        }
    }
}

void MainForm::UnselectButtonArea(int button) {
    const auto b = static_cast<std::size_t>(button);
    buttonSelected_[b] = false;
    if (button == 2) {
        LoadWheelPicture();
    } else {
        areas_[b].highlight->Hide();
    }
}

void MainForm::SetFunctionButtonsGreyed() {
    for (ui::Image* image : functionButtons_) {
        LoadPicture(*image, L"3.bmp");
        image->SetEnabled(false);
    }
}

void MainForm::ApplyFunctionButtonRule() {
    SetFunctionButtonsGreyed();
    const ButtonSlot& slot = state_.slotTable[static_cast<std::size_t>(state_.CurrentProfile)]
                                             [static_cast<std::size_t>(state_.CurrentButton)];
    for (std::size_t i = 0; i < functionButtons_.size(); ++i) {
        // A button that already has its default function cannot be given it again.
        if (i == 2 && slot.kind == kFunctionDefault) continue;
        LoadPicture(*functionButtons_[i], L"0.bmp");
        functionButtons_[i]->SetEnabled(true);
    }
}

void MainForm::RefreshButtonInfo(int button) {
    if (button < 0 || button > 4) return;
    const ButtonSlot& slot = state_.slotTable[static_cast<std::size_t>(state_.CurrentProfile)]
                                             [static_cast<std::size_t>(button)];
    LoadPicture(*imgKind_, KindSuffix(slot.kind));
    btnState_->SetCaption(slot.description);
}

void MainForm::RunImageAction(std::wstring_view name) {
    if (name == L"Img_Reset") {
        app_.state.MessageIndex = 2;
        if (app_.warningForm1) app_.warningForm1->ShowMessage();
    } else if (name == L"Img_Web") {
        const std::wstring address = std::wstring(kMakerLoginPage);
        ShellExecuteW(nullptr, L"open", L"explorer.exe", address.c_str(), L"", SW_SHOWNORMAL);
    } else if (name == L"Img_Help") {
        const std::wstring help = app_.installPath.empty()
                                      ? std::wstring()
                                      : app_.installPath + L"\\help\\UserInterfaceSetupGuide.html";
        ShellExecuteW(nullptr, L"open", help.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
    } else if (name == L"Img_Close" || name == L"Img_MainCancel") {
        ui::Terminate(0);
    } else if (name == L"Img_Macro") {
        if (app_.macroForm) app_.macroForm->Window().Show();
    } else if (name == L"Img_Light") {
        if (app_.lightOptionForm) app_.lightOptionForm->Window().Show();
    } else if (name == L"Img_Perform") {
        if (app_.perform1) app_.perform1->Window().Show();
    } else if (name == L"Img_T") {
        if (app_.tKey) app_.tKey->Window().Show();
    } else if (name == L"Img_Single") {
        if (app_.sKey) app_.sKey->Window().Show();
    } else if (name == L"Img_Default") {
        AssignDefault();
        state_.PendingProfile = state_.CurrentProfile;
    } else if (name == L"Img_Launch") {
        delayDoFuncTime_->Start();
    } else if (name == L"Img_MainApply") {
        ApplyProfile(*writer_, state_, *this);
    } else if (name == L"Img_MainOk") {
        OkProfile(*writer_, state_, *this);
    } else {
        for (int n = 0; n < 5; ++n) {
            if (name == profiles_[static_cast<std::size_t>(n)]->Name()) SwitchProfile(n);
        }
    }
}

void MainForm::AssignDefault() {
    const int p = state_.CurrentProfile;
    const int b = state_.CurrentButton;
    state_.recordTexts[static_cast<std::size_t>(b)] = DefaultRecordText(b);
    WriteSlotDescription(store_, p, b, DefaultDescription(b));
    ButtonSlot& slot = state_.slotTable[static_cast<std::size_t>(p)][static_cast<std::size_t>(b)];
    slot.description = std::wstring(DefaultDescription(b));
    slot.kind = kFunctionDefault;
    marker_->Hide();
    SetFunctionButtonsGreyed();
    RefreshButtonInfo(b);
}

void MainForm::AssignLaunchProgram() {
    const int p = state_.CurrentProfile;
    const int b = state_.CurrentButton;
    const std::optional<std::wstring> file = ui::ShowOpenFileDialog(form_.Handle(), {});
    if (!file) return;  // cancelled: the button stays as it was
    WriteLaunchFile(store_, p, b, *file);
    state_.recordTexts[static_cast<std::size_t>(b)] = LaunchRecordText(p, b);
    ButtonSlot& slot = state_.slotTable[static_cast<std::size_t>(p)][static_cast<std::size_t>(b)];
    const std::size_t slash = file->rfind(L'\\');
    slot.description = slash == std::wstring::npos ? std::wstring() : file->substr(slash + 1);
    slot.kind = kFunctionLaunchProgram;
    state_.PendingProfile = p;
    RefreshButtonInfo(b);
}

void MainForm::SwitchProfile(int index) {
    session_->SwitchDeviceProfile(index + 1);
    if (state_.PendingProfile == -1) {
        ReloadCurrentProfile();
    } else {
        state_.MessageIndex = 1;
        if (app_.warningForm1) app_.warningForm1->ShowMessage();
    }
    RefreshMainLights();
}

void MainForm::WritePendingProfile() {
    ::WritePendingProfile(*writer_, state_, store_);
    RefreshButtonInfo(state_.CurrentButton);
}

void MainForm::ResetCurrentProfile() { ResetProfile(*writer_, state_, *this); }

}  // namespace tavrine::forms
