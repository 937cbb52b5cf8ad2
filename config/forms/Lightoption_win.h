#pragma once
// TLightOptionForm: the wheel and logo lights, switched live and stored by OK or Apply. What the
// clicks mean lives in LightDialog; this window draws its pictures.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "forms/AppContext.h"
#include "performance/LightDialog.h"
#include "platform/PortivoChannel_win.h"
#include "platform/SystemServices_win.h"
#include "ui/Form.h"
#include "ui/Image.h"

namespace tavrine::forms {

class LightOptionForm {
  public:
    explicit LightOptionForm(AppContext& app);
    ui::Form& Window() { return form_; }
    const performance::LightDialog& Dialog() const { return dialog_; }

    void Ok();
    void Apply();
    void Cancel();

  private:
    void WireLight(ui::Image& image, performance::Light light);
    void WireButton(ui::Image& image, std::function<void()> action);
    void Switch(std::uint8_t on);
    void FormShow();
    void FormHide();
    void RenderLights();
    void SetPicture(ui::Image& image, std::wstring_view suffix);
    void RefreshMainLights();

    AppContext& app_;
    ui::Form form_;
    performance::LightDialog dialog_;

    std::unique_ptr<ui::Image> imgLightOption_;
    std::unique_ptr<ui::Image> imgWheel_;
    std::unique_ptr<ui::Image> imgLogo_;
    std::unique_ptr<ui::Image> imgOn_;
    std::unique_ptr<ui::Image> imgOff_;
    std::unique_ptr<ui::Image> imgOk_;
    std::unique_ptr<ui::Image> imgCancel_;
    std::unique_ptr<ui::Image> imgApply_;

    // The buttons' picture flags, shared by the five buttons.
    bool buttonPressed_ = false;
    bool buttonReleased_ = false;
    const ui::Control* pressedButton_ = nullptr;  // a click is a press and release on one button
    std::map<std::wstring, std::wstring, std::less<>> pictures_;  // component -> suffix asked for
};

}  // namespace tavrine::forms
