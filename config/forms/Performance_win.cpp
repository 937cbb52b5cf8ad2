#include "forms/Performance_win.h"

#include "forms/ErrorReport_win.h"
#include "forms/Mainform_win.h"
#include "device/WindowMessages.h"
#include "ui/SkinPaths.h"

#include "portivo/Portivo.h"

using performance::kBarHeight;
using performance::kBarLeft;
using performance::kBarTops;
using performance::kBarWidth;
using performance::kLevelKnobOffset;
using performance::kPollingCodeCount;
using performance::LoadResult;
using performance::PerformanceServices;
using performance::PerformanceView;
using performance::PointerSlider;

namespace tavrine::forms {
namespace {

constexpr COLORREF kEntryGrey = RGB(43, 43, 43);
constexpr ui::Rect kSliderMarker{232, 0, 28, 17};
constexpr ui::Rect kSliderKnob{235, 0, 23, 28};
// Tops of the three pointer sliders' markers and knobs.
constexpr std::array<std::pair<int, int>, 3> kSliderTops = {{{207, 218}, {295, 306}, {382, 392}}};
constexpr std::array<std::wstring_view, 3> kSliderMarkerNames = {L"Img_DbClick", L"Img_Cursor",
                                                                 L"Img_Scroll"};
constexpr std::array<std::wstring_view, 4> kKnobNames = {L"Img_node", L"Img_node2", L"Img_node3",
                                                         L"Img_node4"};
// Polling images by code: 1000, 500 and 125 Hz.
constexpr std::array<std::wstring_view, 3> kPollingNames = {L"Img_1000hz", L"Img_500hz",
                                                            L"Img_125hz"};
constexpr std::array<int, 3> kPollingLefts = {238, 143, 48};

bool Inside(const ui::Control& control, const ui::MouseArgs& args) {
    const ui::Rect& r = control.Bounds();
    return args.x >= 0 && args.y >= 0 && args.x < r.width && args.y < r.height;
}

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"Perform1";
    options.caption = L"Perform1";
    options.clientWidth = 603;
    options.clientHeight = 537;
    options.placement = ui::Placement::OwnerCenter;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

}  // namespace

Perform1::Perform1(AppContext& app)
    : app_(app),
      form_(Options(app)),
      dialog_(app.performance, app.state.lightState, app.state.deviceReportState,
              PerformanceServices{app.services->channel, app.services->store, app.services->waits,
                                  app.services->pointer, app.services->messenger}) {
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Perform));
    BuildLayout();
    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Perform));
    for (std::size_t k = 1; k < knobs_.size(); ++k)
        knobs_[k].knob->LoadFromResource(L"PERFORM_IMG_NODE");
    form_.ApplyBuiltinHints();
    form_.ApplyLanguageHints(app_.language);

    for (std::size_t k = 0; k < knobs_.size(); ++k) WireKnob(*knobs_[k].knob, static_cast<int>(k));
    for (int code = 0; code < kPollingCodeCount; ++code) WirePolling(PollingImage(code), code);
    WireOneScreen();
    WireButton(*imgOk_, &Perform1::Ok);
    WireButton(*imgCancel_, &Perform1::Cancel);
    WireButton(*imgApply_, &Perform1::Apply);
    WireButton(*imgReset_, &Perform1::Reset);

    paintBox1_->OnMouseDown = [this](ui::Control&, const ui::MouseArgs& args) {
        dialog_.PressBarColumn(args.y);
        Render();
    };
    paintBox1_->OnMouseMove = [this](ui::Control&, const ui::MouseArgs& args) {
        dialog_.MoveBarColumn(args.y);
        Render();
    };
    paintBox1_->OnMouseUp = [this](ui::Control&, const ui::MouseArgs&) {
        dialog_.ReleaseBarColumn();
    };
    dpiEdit1_->OnEnterKey = [this](ui::Edit& edit) {
        dialog_.EnterDpi(edit.Text());
        Render();
    };

    form_.OnShow = [this](ui::Form&) { FormShow(); };
    form_.OnHide = [this](ui::Form&) { FormHide(); };
    form_.OnClose = [this](ui::Form&) { Cancel(); };
    form_.OnMessage = [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return HandleMessage(msg, wParam, lParam, result);
    };
}

void Perform1::BuildLayout() {
    imgPerform_ =
        std::make_unique<ui::Image>(form_, L"Img_Perform", ui::Rect{0, 0, 603, 537}, true);
    imgPerform_->SetDragsForm(true);
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        bars_[i] =
            std::make_unique<ui::Image>(form_, L"Img_bar" + std::to_wstring(i + 1),
                                        ui::Rect{kBarLeft, kBarTops[i], kBarWidth, kBarHeight});
    }
    // Over the bars: the column takes presses and drags as one surface.
    paintBox1_ = std::make_unique<ui::PaintBox>(form_, L"PaintBox1", ui::Rect{64, 98, 101, 266});
    ui::EditStyle entry;
    entry.font = ui::FontSpec{L"Tahoma", 16, ui::kWhite};
    entry.color = kEntryGrey;
    entry.border = false;
    entry.maxLength = 4;
    entry.digitsOnly = true;
    dpiEdit1_ =
        std::make_unique<ui::Edit>(form_, L"DPIEdit1", ui::Rect{76, 376, 56, 20}, entry, L"3500");

    sliderImages_[0] = std::make_unique<ui::Image>(form_, L"Img_dpi", ui::Rect{232, 121, 73, 10});
    sliderImages_[1] = std::make_unique<ui::Image>(form_, L"Img_node", ui::Rect{257, 131, 23, 28});
    for (std::size_t s = 0; s < 3; ++s) {
        ui::Rect marker = kSliderMarker;
        marker.top = kSliderTops[s].first;
        ui::Rect knob = kSliderKnob;
        knob.top = kSliderTops[s].second;
        sliderImages_[2 + 2 * s] =
            std::make_unique<ui::Image>(form_, std::wstring(kSliderMarkerNames[s]), marker);
        sliderImages_[3 + 2 * s] =
            std::make_unique<ui::Image>(form_, std::wstring(kKnobNames[s + 1]), knob);
    }
    for (std::size_t k = 0; k < knobs_.size(); ++k)
        knobs_[k] = {sliderImages_[2 * k].get(), sliderImages_[2 * k + 1].get()};

    for (std::size_t c = 0; c < pollingImages_.size(); ++c) {
        pollingImages_[c] = std::make_unique<ui::Image>(form_, std::wstring(kPollingNames[c]),
                                                        ui::Rect{kPollingLefts[c], 443, 92, 17});
        polling_[c] = pollingImages_[c].get();
    }
    imgOne_ = std::make_unique<ui::Image>(form_, L"Img_One", ui::Rect{357, 437, 204, 28});
    imgOk_ = std::make_unique<ui::Image>(form_, L"Img_Ok", ui::Rect{179, 490, 91, 26});
    imgCancel_ = std::make_unique<ui::Image>(form_, L"Img_Cancel", ui::Rect{283, 490, 91, 26});
    imgApply_ = std::make_unique<ui::Image>(form_, L"Img_Apply", ui::Rect{386, 489, 91, 26});
    imgReset_ = std::make_unique<ui::Image>(form_, L"Img_Reset", ui::Rect{490, 489, 91, 26});
}

void Perform1::SetPicture(ui::Image& image, std::wstring_view file) {
    // Moves arrive many times a second: a picture already asked for is not read again.
    std::wstring& asked = pictures_[image.Name()];
    if (asked == file) return;
    asked = file;
    if (form_.SkinFolder().empty()) return;
    image.LoadFromFile(form_.SkinFolder() + std::wstring(file));
}

void Perform1::SetKnobPicture(ui::Image& knob, bool over) {
    // The four knobs share one pair of pictures.
    SetPicture(knob, over ? L"Img_node1.bmp" : L"Img_node0.bmp");
}

void Perform1::WireKnob(ui::Image& knob, int index) {
    knob.OnMouseEnter = [this](ui::Control& c) {
        SetKnobPicture(static_cast<ui::Image&>(c), true);
    };
    knob.OnMouseLeave = [this](ui::Control& c) {
        if (!knobDrag_) SetKnobPicture(static_cast<ui::Image&>(c), false);
    };
    knob.OnMouseDown = [this](ui::Control& c, const ui::MouseArgs& args) {
        knobDrag_ = true;
        pressX_ = args.x;
        pressY_ = args.y;
        SetKnobPicture(static_cast<ui::Image&>(c), true);
    };
    knob.OnMouseMove = [this, index](ui::Control&, const ui::MouseArgs& args) {
        if (!knobDrag_) return;
        knobDrag_ = false;  // held off while this move is handled
        const int dx = args.x - pressX_;
        if (index == 0) {
            dialog_.MoveLevelKnob(dx);
        } else {
            dialog_.MovePointerKnob(static_cast<PointerSlider>(index - 1), dx);
        }
        Render();
        knobDrag_ = true;
    };
    knob.OnMouseUp = [this, index](ui::Control& c, const ui::MouseArgs&) {
        knobDrag_ = false;
        SetKnobPicture(static_cast<ui::Image&>(c), false);
        if (index == 0) dialog_.ReleaseLevelKnob();
    };
}

void Perform1::WirePolling(ui::Image& image, int code) {
    image.OnMouseEnter = [this](ui::Control& c) {
        SetPicture(static_cast<ui::Image&>(c), c.Name() + L"1.bmp");
    };
    image.OnMouseLeave = [this, code](ui::Control& c) {
        if (!dialog_.View().pollingSelected[static_cast<std::size_t>(code)])
            SetPicture(static_cast<ui::Image&>(c), c.Name() + L"0.bmp");
    };
    image.OnMouseDown = [this, code](ui::Control& c, const ui::MouseArgs&) {
        const auto before = dialog_.View().pollingSelected;
        dialog_.PressPolling(code);
        for (int other = 0; other < kPollingCodeCount; ++other) {
            if (other != code && before[static_cast<std::size_t>(other)])
                SetPicture(PollingImage(other),
                           std::wstring(kPollingNames[static_cast<std::size_t>(other)]) + L"0.bmp");
        }
        SetPicture(static_cast<ui::Image&>(c), c.Name() + L"2.bmp");
    };
    image.OnMouseUp = [this, code](ui::Control& c, const ui::MouseArgs& args) {
        if (!Inside(c, args)) {
            // Released elsewhere: no click, the rate in force stays chosen.
            dialog_.PressPolling(dialog_.CurrentPollingCode());
            RenderPolling();
            return;
        }
        SetPicture(static_cast<ui::Image&>(c), c.Name() + L"1.bmp");
        dialog_.ReleasePolling(code);
    };
}

void Perform1::WireOneScreen() {
    imgOne_->OnMouseDown = [this](ui::Control&, const ui::MouseArgs&) {
        SetPicture(*imgOne_, L"Img_One2.bmp");
    };
    imgOne_->OnMouseUp = [this](ui::Control& c, const ui::MouseArgs& args) {
        if (Inside(c, args)) dialog_.ToggleOneScreen();
        pictures_.erase(imgOne_->Name());  // the pressed picture is replaced in every case
        Render();
    };
}

void Perform1::WireButton(ui::Image& image, void (Perform1::*action)()) {
    image.OnMouseEnter = [this](ui::Control& c) {
        SetPicture(static_cast<ui::Image&>(c), c.Name() + L"1.bmp");
    };
    image.OnMouseLeave = [this](ui::Control& c) {
        SetPicture(static_cast<ui::Image&>(c), c.Name() + L"0.bmp");
    };
    image.OnMouseDown = [this](ui::Control& c, const ui::MouseArgs& args) {
        if (args.button == ui::MouseButton::Left)
            SetPicture(static_cast<ui::Image&>(c), c.Name() + L"2.bmp");
    };
    image.OnMouseUp = [this, action](ui::Control& c, const ui::MouseArgs& args) {
        SetPicture(static_cast<ui::Image&>(c), c.Name() + L"0.bmp");
        if (args.button == ui::MouseButton::Left && Inside(c, args)) (this->*action)();
    };
}

bool Perform1::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Both come from the display program: plain numbers, checked by the dialog, never pointers.
    if (msg == device::kMsgDpiChanged) {
        dialog_.OnDisplayLevel(static_cast<std::uintptr_t>(wParam),
                               static_cast<std::intptr_t>(lParam));
        Render();
    } else if (msg == device::kMsgPollingChanged) {
        dialog_.OnDisplayPolling(static_cast<std::uintptr_t>(wParam));
        RenderPolling();
    } else {
        return false;
    }
    result = 0;
    return true;
}

void Perform1::FormShow() {
    if (app_.mainForm) app_.mainForm->SetDialogOpen(true);
    imgApply_->SetEnabled(true);
    imgOk_->SetEnabled(true);
    dpiEdit1_->SetColors(ui::kWhite, kEntryGrey);
    const LoadResult result = dialog_.Show();
    Render();
    RenderPolling();
    ReportMissing(result);
}

void Perform1::FormHide() {
    if (app_.mainForm) app_.mainForm->SetDialogOpen(false);
}

void Perform1::ReportMissing(const LoadResult& result) {
    if (result.missing.empty()) return;
    std::wstring names;
    for (const std::wstring& name : result.missing) names += (names.empty() ? L"" : L", ") + name;
    ReportFailure(L"Invalid registry value: " + names);
}

void Perform1::Render() {
    const PerformanceView& view = dialog_.View();
    knobs_[0].marker->SetPosition(view.markerLeft, 121);
    knobs_[0].knob->SetPosition(view.markerLeft + kLevelKnobOffset, 131);
    for (std::size_t i = 0; i < bars_.size(); ++i)
        bars_[i]->SetVisible(static_cast<int>(i) < view.barsShown);
    if (view.dpiTextSerial != dpiTextSerial_) {
        dpiTextSerial_ = view.dpiTextSerial;
        dpiEdit1_->SetText(view.dpiText);
    }
    for (std::size_t s = 0; s < view.sliders.size(); ++s) {
        knobs_[s + 1].marker->SetPosition(view.sliders[s].marker, kSliderTops[s].first);
        knobs_[s + 1].knob->SetPosition(view.sliders[s].knob, kSliderTops[s].second);
    }
    SetPicture(*imgOne_, view.oneScreen ? L"Img_One1.bmp" : L"Img_One0.bmp");
}

void Perform1::RenderPolling() {
    const PerformanceView& view = dialog_.View();
    for (int code = 0; code < kPollingCodeCount; ++code) {
        const auto c = static_cast<std::size_t>(code);
        SetPicture(PollingImage(code), std::wstring(kPollingNames[c]) +
                                           (view.pollingSelected[c] ? L"1.bmp" : L"0.bmp"));
    }
}

bool Perform1::Commit() {
    imgApply_->SetEnabled(false);
    imgOk_->SetEnabled(false);
    const auto result = dialog_.Commit();
    imgApply_->SetEnabled(true);
    imgOk_->SetEnabled(true);
    if (!result.saved) {
        ReportFailure(result.save.failure);
    } else if (!result.write.ok) {
        ReportFailure(result.write.failure);
    }
    return result.saved;
}

void Perform1::Ok() {
    // Values that could not be stored stay on screen, to be applied again or cancelled.
    if (Commit()) form_.Hide();
}

void Perform1::Apply() { Commit(); }

void Perform1::Cancel() {
    dialog_.Cancel();
    form_.Hide();
}

void Perform1::Reset() {
    const LoadResult result = dialog_.ResetToDefault();
    Render();
    RenderPolling();
    ReportMissing(result);
}

}  // namespace tavrine::forms
