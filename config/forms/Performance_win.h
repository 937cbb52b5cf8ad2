#pragma once
// TPerform1: the four DPI levels, the active level, the polling rate and the Windows pointer
// settings. What the clicks mean lives in PerformanceDialog; this window draws its view.
#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "forms/AppContext.h"
#include "performance/PerformanceDialog.h"
#include "performance/PointerSettings_win.h"
#include "platform/PortivoChannel_win.h"
#include "platform/RegistrySettingsStore_win.h"
#include "platform/SystemServices_win.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/PaintBox.h"

namespace tavrine::forms {

class Perform1 {
  public:
    explicit Perform1(AppContext& app);
    ui::Form& Window() { return form_; }
    const performance::PerformanceDialog& Dialog() const { return dialog_; }

    void Ok();
    void Apply();
    void Cancel();
    void Reset();

  private:
    struct Knob {
        ui::Image* marker;
        ui::Image* knob;
    };

    void BuildLayout();
    void WireKnob(ui::Image& knob, int index);
    void WirePolling(ui::Image& image, int code);
    void WireButton(ui::Image& image, void (Perform1::*action)());
    void WireOneScreen();
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void FormShow();
    void FormHide();
    // Runs OK or Apply: store, write and apply with both buttons off meanwhile.
    bool Commit();

    void Render();
    void RenderPolling();
    void SetPicture(ui::Image& image, std::wstring_view file);
    void SetKnobPicture(ui::Image& knob, bool over);
    void ReportMissing(const performance::LoadResult& result);
    ui::Image& PollingImage(int code) { return *polling_[static_cast<std::size_t>(code)]; }

    AppContext& app_;
    ui::Form form_;
    performance::PerformanceDialog dialog_;

    std::unique_ptr<ui::Image> imgPerform_;
    std::array<std::unique_ptr<ui::Image>, performance::kMaxDpiStep> bars_;
    std::unique_ptr<ui::PaintBox> paintBox1_;
    std::unique_ptr<ui::Edit> dpiEdit1_;
    std::array<std::unique_ptr<ui::Image>, 8> sliderImages_;  // marker, knob of each of four
    std::array<Knob, 4> knobs_{};                             // level, double-click, cursor, scroll
    std::array<ui::Image*, 3> polling_{};                     // by polling code
    std::array<std::unique_ptr<ui::Image>, 3> pollingImages_;
    std::unique_ptr<ui::Image> imgOne_;
    std::unique_ptr<ui::Image> imgOk_;
    std::unique_ptr<ui::Image> imgCancel_;
    std::unique_ptr<ui::Image> imgApply_;
    std::unique_ptr<ui::Image> imgReset_;

    bool knobDrag_ = false;
    int pressX_ = 0;
    int pressY_ = 0;
    unsigned dpiTextSerial_ = ~0u;
    std::map<std::wstring, std::wstring, std::less<>> pictures_;  // component -> file asked for
};

}  // namespace tavrine::forms
