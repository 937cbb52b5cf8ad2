// The main window's pictures and button areas: hover and press looks, the function buttons and
// their enabling rule, profiles, Apply / OK / Cancel, each bound to its action where it is wired.
#include "forms/Mainform_win.h"

#include <shellapi.h>

#include "device/Assignments.h"
#include "forms/Lightoption_win.h"
#include "forms/Performance_win.h"
#include "forms/Macrokey_win.h"
#include "forms/T_win.h"
#include "device/ProfileStore.h"
#include "device/RecordTemplates.h"
#include "forms/Singlekey_win.h"
#include "forms/Warning1_win.h"
#include "forms/WebAddress.h"
#include "device/WriteStarts.h"
#include "ui/Application.h"
#include "ui/FileDialog.h"
#include "ui/SkinButton.h"

using device::AnswerPendingChanges;
using device::ApplyProfile;
using device::ButtonSlot;
using device::kFunctionDefault;
using device::kFunctionLaunchProgram;
using device::kFunctionMacro;
using device::kFunctionSingleCommand;
using device::kProfileCount;
using device::Notice;
using device::OkProfile;
using device::ProfileSnapshot;
using device::ResetProfile;
using device::SelectedSlot;
using device::SlotRef;
using device::SnapshotOf;

namespace tavrine::forms {
namespace {

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
    WirePlainButton(*imgReset_, Unasked([this] { AskReset(); }));
    WirePlainButton(*imgWeb_, [] {
        ShellExecuteW(nullptr, L"open", L"explorer.exe", std::wstring(kMakerLoginPage).c_str(), L"",
                      SW_SHOWNORMAL);
    });
    WirePlainButton(*imgHelp_, [this] { OpenHelp(); });
    WirePlainButton(*imgClose_, [] { ui::Terminate(0); });
    WirePlainButton(*imgCancel_, [] { ui::Terminate(0); });
    WirePlainButton(*imgMacro_, Unasked([this] { Show(app_.macroForm); }));
    WirePlainButton(*imgLight_, Unasked([this] { Show(app_.lightOptionForm); }));
    WirePlainButton(*imgPerform_, Unasked([this] { Show(app_.perform1); }));
    WirePlainButton(*imgApply_, Unasked([this] { ApplyProfile(*writer_, state_, *this); }));
    WirePlainButton(*imgOk_, Unasked([this] { OkProfile(*writer_, state_, *this); }));

    WireFunctionButton(*functionButtons_[0], Unasked([this] { Show(app_.tKey); }));
    WireFunctionButton(*functionButtons_[1], Unasked([this] {
        if (app_.sKey) app_.sKey->Window().Show();
    }));
    WireFunctionButton(*functionButtons_[2], Unasked([this] { AssignDefault(); }));
    WireFunctionButton(*functionButtons_[3], Unasked([this] { delayDoFuncTime_->Start(); }));
    for (int i = 0; i < 5; ++i) WireProfile(i);
    for (int b = 0; b < 5; ++b) WireButtonArea(b);
    marker_->OnMouseEnter = [this](ui::Control&) { RefreshButtonInfo(state_.CurrentButton); };
}

bool MainForm::QuestionOpen() const { return app_.warningForm1 && app_.warningForm1->Asking(); }

std::function<void()> MainForm::Unasked(std::function<void()> action) {
    return [this, action = std::move(action)] {
        if (!QuestionOpen()) action();
    };
}

void MainForm::WirePlainButton(ui::Image& image, std::function<void()> action) {
    // Every release runs the action, whatever the button, as these pictures always have.
    ui::WireSkinButton(form_, image, std::move(action), ui::SkinTrigger::Release);
}

void MainForm::WireFunctionButton(ui::Image& image, std::function<void()> action) {
    // A disabled control receives no events, so these only ever run while enabled.
    image.OnMouseEnter = [this](ui::Control& c) { form_.LoadSkinPicture(c, L"1.bmp"); };
    image.OnMouseLeave = [this](ui::Control& c) { form_.LoadSkinPicture(c, L"0.bmp"); };
    image.OnMouseDown = [this](ui::Control& c, const ui::MouseArgs&) {
        form_.LoadSkinPicture(c, L"2.bmp");
    };
    image.OnMouseUp = [action = std::move(action)](ui::Control&, const ui::MouseArgs&) {
        action();
    };
}

void MainForm::OpenHelp() {
    // Without an installation folder there is no guide: an empty name would make the shell open
    // the working folder instead.
    if (app_.installPath.empty()) return;
    const std::wstring help = app_.installPath + L"\\help\\UserInterfaceSetupGuide.html";
    ShellExecuteW(nullptr, L"open", help.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

void MainForm::AskReset() {
    if (!app_.warningForm1) return;
    app_.warningForm1->Ask(Notice::ResetConfirm, [this](bool ok) {
        if (ok) ResetProfile(*writer_, state_, *this);
        state_.PendingProfile = -1;
    });
}

void MainForm::WireProfile(int index) {
    ui::Image& image = *profiles_[static_cast<std::size_t>(index)];
    image.OnMouseDown = [this, index](ui::Control& c, const ui::MouseArgs& args) {
        if (args.button != ui::MouseButton::Left || QuestionOpen()) return;
        for (int i = 0; i < 5; ++i) profilePressed_[static_cast<std::size_t>(i)] = i == index;
        form_.LoadSkinPicture(c, L"2.bmp");
        state_.CurrentProfile = index;
    };
    image.OnMouseUp = [this](ui::Control&, const ui::MouseArgs&) {
        if (QuestionOpen() || state_.CurrentProfile == lastSwitchedProfile_) return;
        lastSwitchedProfile_ = state_.CurrentProfile;
        SwitchProfile(state_.CurrentProfile);
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
        if (!QuestionOpen()) SelectButtonArea(button);
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

void MainForm::AssignDefault() {
    const SlotRef slot = SelectedSlot(state_);
    if (!device::AssignDefault(state_, store_, slot)) return;
    marker_->Hide();
    SetFunctionButtonsGreyed();
    RefreshButtonInfo(slot.button);
}

void MainForm::AssignLaunchProgram() {
    const std::optional<std::wstring> file = ui::ShowOpenFileDialog(form_.Handle(), {});
    if (!file) return;  // cancelled: the button stays as it was
    // The chooser ran its own message loop: the mouse's profile button or a re-attach may have
    // shown another profile meanwhile. The choice goes to what is shown now, so the records,
    // the stored file and the pending profile all name one profile.
    const SlotRef slot = SelectedSlot(state_);
    if (device::AssignLaunchProgram(state_, store_, slot, *file)) RefreshButtonInfo(slot.button);
}

void MainForm::SwitchProfile(int index) {
    session_->SwitchDeviceProfile(index + 1);
    if (state_.PendingProfile < 0 || state_.PendingProfile >= kProfileCount || !app_.warningForm1) {
        ReloadCurrentProfile();
    } else {
        // The question is about the profile with the changes as it stands now; its answer acts
        // on exactly that, whatever the window shows by then.
        const ProfileSnapshot pending = SnapshotOf(state_, state_.PendingProfile);
        app_.warningForm1->Ask(Notice::PendingChanges, [this, pending](bool ok) {
            AnswerPendingChanges(*session_, *writer_, state_, store_, *this, pending, ok);
            RefreshButtonInfo(state_.CurrentButton);
        });
    }
    RefreshMainLights();
}

}  // namespace tavrine::forms
