#include "forms/Lightoption_win.h"

#include "forms/ErrorReport_win.h"
#include "forms/Mainform_win.h"
#include "ui/SkinPaths.h"

#include "portivo/Portivo.h"

namespace tavrine::forms {
namespace {

bool Selects(ui::MouseButton button) {
    return button == ui::MouseButton::Left || button == ui::MouseButton::Right;
}

bool Inside(const ui::Control& control, const ui::MouseArgs& args) {
    const ui::Rect& r = control.Bounds();
    return args.x >= 0 && args.y >= 0 && args.x < r.width && args.y < r.height;
}

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"LightOptionForm";
    options.caption = L"LightOptionForm";
    options.clientWidth = 398;
    options.clientHeight = 638;
    options.placement = ui::Placement::OwnerCenter;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

}  // namespace

LightOptionForm::LightOptionForm(AppContext& app)
    : app_(app),
      form_(Options(app)),
      dialog_(app.state.lightState, app.performance, app.state.deviceReportState,
              app.services->channel, app.services->waits) {
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Light));
    imgLightOption_ =
        std::make_unique<ui::Image>(form_, L"Img_LightOption", ui::Rect{0, 0, 398, 638}, true);
    imgLightOption_->SetDragsForm(true);
    imgWheel_ = std::make_unique<ui::Image>(form_, L"Img_Wheel", ui::Rect{165, 130, 87, 71});
    imgLogo_ = std::make_unique<ui::Image>(form_, L"Img_Logo", ui::Rect{163, 379, 74, 76});
    imgOn_ = std::make_unique<ui::Image>(form_, L"Img_On", ui::Rect{103, 522, 93, 28});
    imgOff_ = std::make_unique<ui::Image>(form_, L"Img_Off", ui::Rect{205, 522, 93, 28});
    imgOk_ = std::make_unique<ui::Image>(form_, L"Img_Ok", ui::Rect{52, 593, 91, 26});
    imgCancel_ = std::make_unique<ui::Image>(form_, L"Img_Cancel", ui::Rect{155, 593, 91, 26});
    imgApply_ = std::make_unique<ui::Image>(form_, L"Img_Apply", ui::Rect{259, 593, 91, 26});
    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Light));
    form_.ApplyBuiltinHints();
    form_.ApplyLanguageHints(app_.language);

    WireLight(*imgWheel_, performance::Light::Wheel);
    WireLight(*imgLogo_, performance::Light::Logo);
    WireButton(*imgOn_, [this] { Switch(1); });
    WireButton(*imgOff_, [this] { Switch(0); });
    WireButton(*imgOk_, [this] { Ok(); });
    WireButton(*imgCancel_, [this] { Cancel(); });
    WireButton(*imgApply_, [this] { Apply(); });

    form_.OnShow = [this](ui::Form&) { FormShow(); };
    form_.OnHide = [this](ui::Form&) { FormHide(); };
    form_.OnClose = [this](ui::Form&) { Cancel(); };
}

void LightOptionForm::SetPicture(ui::Image& image, std::wstring_view suffix) {
    // Moves arrive many times a second: a picture already asked for is not read again.
    std::wstring& asked = pictures_[image.Name()];
    if (asked == suffix) return;
    asked = suffix;
    form_.LoadSkinPicture(image, suffix);
}

void LightOptionForm::RenderLights() {
    SetPicture(*imgWheel_, dialog_.Picture(performance::Light::Wheel));
    SetPicture(*imgLogo_, dialog_.Picture(performance::Light::Logo));
}

void LightOptionForm::WireLight(ui::Image& image, performance::Light light) {
    image.OnMouseDown = [this, light](ui::Control&, const ui::MouseArgs& args) {
        dialog_.Press(light, Selects(args.button));
        RenderLights();
    };
    image.OnMouseMove = [this, light](ui::Control&, const ui::MouseArgs&) {
        dialog_.MoveOver(light);
        RenderLights();
    };
}

void LightOptionForm::WireButton(ui::Image& image, std::function<void()> action) {
    image.OnMouseDown = [this](ui::Control& c, const ui::MouseArgs& args) {
        if (!Selects(args.button)) return;
        SetPicture(static_cast<ui::Image&>(c), L"2.bmp");
        buttonPressed_ = true;
        pressedButton_ = args.button == ui::MouseButton::Left ? &c : nullptr;
    };
    image.OnMouseMove = [this](ui::Control& c, const ui::MouseArgs&) {
        if (!buttonPressed_) {
            SetPicture(static_cast<ui::Image&>(c), L"1.bmp");
        } else if (buttonReleased_) {
            buttonPressed_ = buttonReleased_ = false;
        }
    };
    image.OnMouseLeave = [this](ui::Control& c) {
        SetPicture(static_cast<ui::Image&>(c), L"0.bmp");
    };
    image.OnMouseUp = [this, action = std::move(action)](ui::Control& c,
                                                         const ui::MouseArgs& args) {
        SetPicture(static_cast<ui::Image&>(c), L"0.bmp");
        buttonReleased_ = true;
        const bool click =
            pressedButton_ == &c && args.button == ui::MouseButton::Left && Inside(c, args);
        pressedButton_ = nullptr;
        if (click) action();
    };
}

void LightOptionForm::Switch(std::uint8_t on) {
    dialog_.Switch(on);
    RenderLights();
}

void LightOptionForm::FormShow() {
    if (app_.mainForm) app_.mainForm->SetDialogOpen(true);
    dialog_.Show();
    RenderLights();
}

void LightOptionForm::FormHide() {
    if (app_.mainForm) {
        app_.mainForm->StartShowLightTimer();
        app_.mainForm->SetDialogOpen(false);
    }
}

void LightOptionForm::RefreshMainLights() {
    if (app_.mainForm) app_.mainForm->RefreshMainLights();
}

void LightOptionForm::Ok() {
    const performance::DeviceWriteResult result = dialog_.WriteLightsEeprom(true);
    RefreshMainLights();
    // The dialog stays until the mouse answers; the main window then hides it.
    if (!result.ok) ReportFailure(result.failure);
}

void LightOptionForm::Apply() {
    const performance::DeviceWriteResult result = dialog_.WriteLightsEeprom(false);
    RefreshMainLights();
    if (!result.ok) ReportFailure(result.failure);
}

void LightOptionForm::Cancel() {
    dialog_.Cancel();
    RefreshMainLights();
    form_.Hide();
}

}  // namespace tavrine::forms
