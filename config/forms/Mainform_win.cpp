// The main window: construction, layout, lifecycle, messages and the view the device core drives.
#include "forms/Mainform_win.h"

#include "forms/Lightoption_win.h"
#include "forms/Loading_win.h"
#include "forms/Macrokey_win.h"
#include "forms/T_win.h"
#include "device/ProfileStore.h"
#include "device/SettingsLayout.h"
#include "forms/StartupTrace_win.h"
#include "forms/Warning1_win.h"
#include "forms/Warning2_win.h"
#include "device/WindowMessages.h"
#include "wminput/WmInput.h"
#include "ui/Application.h"
#include "ui/SkinPaths.h"

#include "common/DeviceIds.h"

using device::DeviceServices;
using device::DeviceSession;
using device::kMsgDeviceReport;
using device::kMsgProfileChanged;
using device::LightState;
using device::Notice;
using device::ProfileWriter;

namespace tavrine::forms {
namespace {

using ui::Rect;

constexpr std::array<int, 5> kProfileLefts = {344, 449, 554, 659, 763};
constexpr std::array<std::wstring_view, 5> kProfileNames = {
    L"Img_Profile0", L"Img_Profile1", L"Img_Profile2", L"Img_Profile3", L"Img_Profile4"};

// Message 0x515 carries two pointers that only the input component, calling on this thread,
// may hand over. Posted, it could come from any process with any values: it is dropped before
// any message loop (the program's, a file dialog's, a drag's) dispatches it.
LRESULT CALLBACK DropPostedReports(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        auto* msg = reinterpret_cast<MSG*>(lParam);  // this thread's own message, from the system
        if (msg && msg->message == kMsgDeviceReport) msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

ui::FormOptions MainOptions() {
    ui::FormOptions options;
    options.name = L"TavrineMainForm1";
    options.caption = L"Norvex TAVRINE";
    options.clientWidth = 980;
    options.clientHeight = 750;
    options.placement = ui::Placement::ScreenCenter;
    options.taskbarButton = true;
    return options;
}

}  // namespace

MainForm::MainForm(AppContext& app)
    : app_(app),
      state_(app.state),
      form_(MainOptions()),
      program_(*app.services),
      store_(program_.store) {
    // Construction: EepromImage and the write state start zeroed, nothing pending.
    state_.eepromImage.fill(0);
    state_.PendingProfile = -1;
    buttonSelected_.fill(false);

    StartupStep("main-form");
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Main));
    BuildLayout();
    StartupStep("main-layout");
    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Main));
    imgLogo_->LoadFromResource(L"COMMON_IMG_LOGO");  // the logo pictures live in the common folder
    WireEvents();
    StartupStep("main-pictures");
    postedReportFilter_ =
        SetWindowsHookExW(WH_GETMESSAGE, &DropPostedReports, nullptr, GetCurrentThreadId());

    shell_ = std::make_unique<platform::ShellOpener>(form_.Handle());
    services_ = std::make_unique<DeviceServices>(DeviceServices{program_.channel, program_.store,
                                                                program_.timers, program_.waits,
                                                                program_.messenger, *shell_});
    writer_ = std::make_unique<ProfileWriter>(state_, *services_, *this);
    session_ = std::make_unique<DeviceSession>(state_, *services_, *writer_, *this);

    form_.OnShow = [this](ui::Form&) { FormShow(); };
    form_.OnClose = [](ui::Form&) { ui::Terminate(0); };
    form_.OnMessage = [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return HandleMessage(msg, wParam, lParam, result);
    };

    // FormCreate.
    state_.CurrentButton = 0;
    for (int i = 1; i < 5; ++i) profilePressed_[static_cast<std::size_t>(i)] = false;
    deviceSpecTable_[0] = {common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0x0002};
    deviceSpecTable_[1] = {common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0xFF00};
    session_->StartAttachTimer();  // the device library's search starts once the window shows
    form_.ApplyLanguageHints(app_.language);
}

MainForm::~MainForm() {
    if (postedReportFilter_) UnhookWindowsHookEx(postedReportFilter_);
}

void MainForm::BuildLayout() {
    auto image = [this](std::wstring name, Rect bounds, bool transparent = false) {
        auto owned = std::make_unique<ui::Image>(form_, std::move(name), bounds, transparent);
        ui::Image* raw = owned.get();
        owned_.push_back(std::move(owned));
        return raw;
    };
    auto paintBox = [this](std::wstring name, Rect bounds) {
        auto owned = std::make_unique<ui::PaintBox>(form_, std::move(name), bounds);
        ui::PaintBox* raw = owned.get();
        owned_.push_back(std::move(owned));
        return raw;
    };

    imgMain_ = image(L"Img_main", {0, 0, 980, 750});
    imgMain_->SetDragsForm(true);
    imgLogo_ = image(L"Img_Logo", {310, 478, 50, 50});  // the logo on the mouse picture
    imgLBtn_ = image(L"Img_LBtn", {251, 223, 84, 173});
    imgRBtn_ = image(L"Img_RBtn", {334, 223, 85, 173});
    imgMBtn_ = image(L"Img_MBtn", {319, 257, 33, 64});
    imgXBtn1_ = image(L"Img_XBtn1", {219, 314, 29, 53});
    imgXBtn2_ = image(L"Img_XBtn2", {219, 360, 29, 83});
    imgLBtn_->Hide();
    imgRBtn_->Hide();
    imgXBtn1_->Hide();
    imgXBtn2_->Hide();

    areas_[0] = {paintBox(L"PaintBoxLBtn", {254, 223, 81, 173}), imgLBtn_, {278, 270}};
    areas_[1] = {paintBox(L"PaintBoxRBtn", {334, 223, 81, 173}), imgRBtn_, {371, 270}};
    areas_[2] = {paintBox(L"PaintBoxMBtn", {320, 256, 33, 57}), imgMBtn_, {326, 270}};
    areas_[3] = {paintBox(L"PaintBoxXBtn1", {231, 316, 13, 44}), imgXBtn1_, {226, 329}};
    areas_[4] = {paintBox(L"PaintBoxXBtn2", {230, 364, 11, 79}), imgXBtn2_, {226, 388}};
    marker_ = image(L"img", {231, 197, 20, 20}, true);
    marker_->Hide();

    imgKind_ = image(L"Img_", {269, 654, 31, 31});
    ui::LabelStyle status;
    status.font = ui::FontSpec{L"Tahoma", 16};
    status.transparent = true;
    status.color = ui::kSilver;
    auto label =
        std::make_unique<ui::Label>(form_, L"BtnState", Rect{321, 657, 97, 25}, L"", status);
    label->SetFontColor(ui::kSilver);
    btnState_ = label.get();
    owned_.push_back(std::move(label));

    imgReset_ = image(L"Img_Reset", {718, 0, 46, 46});
    imgWeb_ = image(L"Img_Web", {770, 0, 46, 46});
    imgHelp_ = image(L"Img_Help", {823, 0, 46, 46});
    imgClose_ = image(L"Img_Close", {876, 0, 46, 46});
    for (int i = 0; i < 5; ++i) {
        const auto n = static_cast<std::size_t>(i);
        profiles_[n] =
            image(std::wstring(kProfileNames[n]), {kProfileLefts[n], 125, i == 3 ? 100 : 101, 46});
    }
    profiles_[0]->Hide();
    functionButtons_[0] = image(L"Img_T", {604, 291, 224, 53});
    functionButtons_[1] = image(L"Img_Single", {604, 347, 224, 53});
    functionButtons_[2] = image(L"Img_Default", {605, 404, 224, 53});
    functionButtons_[3] = image(L"Img_Launch", {605, 459, 224, 53});
    imgMacro_ = image(L"Img_Macro", {859, 301, 54, 166});
    imgLight_ = image(L"Img_Light", {540, 206, 55, 169});
    imgPerform_ = image(L"Img_Perform", {539, 375, 55, 166});
    imgApply_ = image(L"Img_MainApply", {609, 700, 84, 32});
    imgCancel_ = image(L"Img_MainCancel", {722, 700, 102, 32});
    imgOk_ = image(L"Img_MainOk", {856, 700, 47, 32});

    form_.ApplyBuiltinHints();

    delayDoFuncTime_ = std::make_unique<ui::Timer>(form_, L"DelayDoFuncTime", 10, false);
    delayDoFuncTime_->OnTimer = [this](ui::Timer&) { AssignLaunchProgram(); };
}

bool MainForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case kMsgDeviceReport: {
            result = 0;
            // Sent from another thread or process, the parameters point nowhere we could read:
            // only the input component's own call on this thread is taken (posted ones never
            // get here).
            if (InSendMessage()) return true;
            // wminput hands over the sender's ids and at least 8 report bytes, valid while
            // the message is handled.
            const auto* ids = reinterpret_cast<const std::uint32_t*>(wParam);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(lParam);
            if (ids && bytes) session_->OnDeviceReport(ids[0], ids[1], {bytes, 8});
            result = 0;
            return true;
        }
        case portivo::kMsgCollectionPresent:
            session_->OnCollectionPresent();
            result = 0;
            return true;
        case portivo::kMsgNoCollectionLeft:
            session_->OnNoCollectionLeft();
            result = 0;
            return true;
        case kMsgProfileChanged:
            session_->OnProfileChanged(static_cast<std::uintptr_t>(wParam));
            result = 0;
            return true;
        default:
            return false;
    }
}

void MainForm::StartDriver() {
    InitDriver(form_.Handle(), deviceSpecTable_, 2);
    StartupStep("driver");
    MSG msg;
    while (PeekMessageW(&msg, form_.Handle(), portivo::kMsgCollectionPresent,
                        portivo::kMsgCollectionPresent, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

void MainForm::FormShow() {
    for (ui::Image* profile : profiles_) profile->Show();
    // The settings store opens each key per call, so there is no access object to hold.
    if (!marker_->Visible()) SetFunctionButtonsGreyed();
    SetMainControlsEnabled(false);
}

void MainForm::LoadPicture(ui::Image& image, std::wstring_view suffix) {
    form_.LoadSkinPicture(image, suffix);
}

void MainForm::SetMainControlsEnabled(bool on) {
    ui::Control* group[] = {
        imgApply_,     imgCancel_,    imgOk_,        imgLight_,     imgPerform_,   imgMacro_,
        areas_[0].box, areas_[1].box, areas_[2].box, areas_[3].box, areas_[4].box, profiles_[0],
        profiles_[1],  profiles_[2],  profiles_[3],  profiles_[4],  imgClose_};
    for (ui::Control* control : group) control->SetEnabled(on);
}

void MainForm::SetWindowEnabled(bool on) { ApplyEnable(enable_.SetDeviceAway(!on)); }

void MainForm::SetDialogOpen(bool open) { ApplyEnable(enable_.SetDialogOpen(open)); }

void MainForm::ApplyEnable(bool on) {
    form_.SetEnabled(on);
    // The notice hidden while this window was disabled leaves nothing active, and under Wine
    // the mouse's raw input then reaches no process at all.
    if (on && !GetForegroundWindow() && form_.Visible()) SetForegroundWindow(form_.Handle());
}

void MainForm::ShowNotice(Notice notice) {
    if (app_.warningForm2) app_.warningForm2->ShowNotice(notice);
}

void MainForm::HideNoticeWindow() {
    if (!app_.warningForm2) return;
    app_.warningForm2->Hide();
}

void MainForm::ShowProfileSelected(int profileIndex) {
    if (profileIndex < 0 || profileIndex > 4) return;
    lastSwitchedProfile_ = profileIndex;
    for (int i = 0; i < 5; ++i) {
        const auto n = static_cast<std::size_t>(i);
        profilePressed_[n] = i == profileIndex;
        LoadPicture(*profiles_[n], i == profileIndex ? L"2.bmp" : L"0.bmp");
    }
}

void MainForm::ShowLights(const LightState&) { RefreshMainLights(); }

void MainForm::RefreshMainLights() {
    imgMBtn_->Show();
    LoadPicture(*imgMBtn_, WheelLightOn() ? L"11.bmp" : L"00.bmp");
    const std::wstring logo =
        app_.installPath + L"\\skin\\Common" +
        (app_.state.lightState.LogoLight ? L"\\Img_Logo1.bmp" : L"\\Img_Logo0.bmp");
    if (!app_.installPath.empty()) imgLogo_->LoadFromFile(logo);
}

void MainForm::ShowAttachPictures() {
    if (!app_.installPath.empty()) {
        imgLogo_->LoadFromFile(app_.installPath + L"\\skin\\Common\\Img_Logo0.bmp");
    }
    LoadPicture(*imgMBtn_, L"00.bmp");
}

void MainForm::StartShowLightTimer() { session_->StartShowLightTimer(); }

void MainForm::HideButtonMarker() { marker_->Hide(); }

void MainForm::FinishLightDialog() {
    RefreshMainLights();
    if (app_.lightOptionForm) app_.lightOptionForm->Window().Hide();
}

void MainForm::RegisterDeviceReports(const std::array<std::uint16_t, 3>& usagePages,
                                     const std::array<std::uint16_t, 3>& usages) {
    ::RegisterDeviceReports(form_.Handle(), usagePages.data(), usages.data(), 3);
}

void MainForm::TerminateApplication() { ui::Terminate(0); }

void MainForm::ReloadCurrentProfile() { session_->SelectProfile(state_.CurrentProfile); }

}  // namespace tavrine::forms
