#pragma once
// TTavrineMainForm1, the main window: the mouse picture, profiles and buttons, the function
// buttons, Apply / OK / Cancel, and the window side of the mouse coming, going and reporting.
#include <array>
#include <memory>

#include "forms/AppContext.h"
#include "device/DeviceServices.h"
#include "device/DeviceSession.h"
#include "device/MainView.h"
#include "device/ProfileWrite.h"
#include "forms/ProgramServices_win.h"
#include "device/MainWindowEnable.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/PaintBox.h"
#include "ui/Timer.h"

#include "portivo/Portivo.h"

namespace tavrine::forms {

class MainForm final : public device::MainView {
  public:
    explicit MainForm(AppContext& app);
    ~MainForm() override;

    ui::Form& Window() { return form_; }
    HWND Handle() const { return form_.Handle(); }
    // The device library's search for the mouse, once the window shows; the collections it finds
    // are handled at once (and nothing else), so that the attach counts from the window shown
    // while the program's other windows are made.
    void StartDriver();
    // The mouse's side of the window, for the program entry to wire its hooks.
    device::DeviceSession& Session() { return *session_; }

    // Operations other windows use.
    void RefreshButtonInfo(int button);
    void RefreshMainLights();
    // The light dialog closed: the lights are read back from the mouse a moment later.
    void StartShowLightTimer();
    void ReloadCurrentProfile();
    // One of this window's dialogs shows (true) or has gone (false).
    void SetDialogOpen(bool open);

    // MainView
    void SetMainControlsEnabled(bool on) override;
    // The mouse is here (true) or away (false).
    void SetWindowEnabled(bool on) override;
    void ShowNotice(device::Notice notice) override;
    void HideNoticeWindow() override;
    void ShowProfileSelected(int profileIndex) override;
    void ShowLights(const device::LightState& lights) override;
    void ShowAttachPictures() override;
    void HideButtonMarker() override;
    void FinishLightDialog() override;
    void RegisterDeviceReports(const std::array<std::uint16_t, 3>& usagePages,
                               const std::array<std::uint16_t, 3>& usages) override;
    void TerminateApplication() override;

  private:
    void ApplyEnable(bool on);
    device::MainWindowEnable enable_;
    struct ButtonArea {
        ui::PaintBox* box;
        ui::Image* highlight;
        ui::Point marker;
    };

    void BuildLayout();
    void WireEvents();
    // Runs action, unless a question of the confirmation window is open: while it asks, nothing
    // may write or change the selection it asks about.
    std::function<void()> Unasked(std::function<void()> action);
    bool QuestionOpen() const;
    void WirePlainButton(ui::Image& image, std::function<void()> action);
    void WireFunctionButton(ui::Image& image, std::function<void()> action);
    void WireProfile(int index);
    void WireButtonArea(int button);
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void FormShow();

    void LoadPicture(ui::Image& image, std::wstring_view suffix);
    void SetFunctionButtonsGreyed();
    void ApplyFunctionButtonRule();
    void SelectButtonArea(int button);
    void UnselectButtonArea(int button);
    void LoadWheelPicture();
    bool WheelLightOn() const { return app_.state.lightState.WheelLight != 0; }

    void AssignDefault();
    void AssignLaunchProgram();
    void SwitchProfile(int index);
    void AskReset();
    void OpenHelp();
    template <class Dialog>
    static void Show(Dialog* dialog) {
        if (dialog) dialog->Window().Show();
    }

    AppContext& app_;
    device::MainState& state_;
    ui::Form form_;

    // The program's services, and the shell, which opens files on behalf of this window.
    ProgramServices& program_;
    platform::SettingsStore& store_;
    std::unique_ptr<platform::ShellOpener> shell_;
    std::unique_ptr<device::DeviceServices> services_;
    std::unique_ptr<device::ProfileWriter> writer_;
    std::unique_ptr<device::DeviceSession> session_;

    // Drops input reports posted to this thread's windows (see Mainform_win.cpp).
    HHOOK postedReportFilter_ = nullptr;

    // Portivo keeps a pointer to this table for as long as the library is loaded.
    DeviceSpec deviceSpecTable_[2];

    // Components, bottom of the z-order first.
    ui::Image* imgMain_ = nullptr;
    ui::Image* imgLogo_ = nullptr;
    ui::Image* imgLBtn_ = nullptr;
    ui::Image* imgRBtn_ = nullptr;
    ui::Image* imgMBtn_ = nullptr;
    ui::Image* imgXBtn1_ = nullptr;
    ui::Image* imgXBtn2_ = nullptr;
    std::array<ButtonArea, 5> areas_{};
    ui::Image* marker_ = nullptr;   // "img"
    ui::Image* imgKind_ = nullptr;  // "Img_"
    ui::Label* btnState_ = nullptr;
    std::array<ui::Image*, 5> profiles_{};
    std::array<ui::Image*, 4> functionButtons_{};  // T, Single, Default, Launch
    ui::Image* imgMacro_ = nullptr;
    ui::Image* imgLight_ = nullptr;
    ui::Image* imgPerform_ = nullptr;
    ui::Image* imgReset_ = nullptr;
    ui::Image* imgWeb_ = nullptr;
    ui::Image* imgHelp_ = nullptr;
    ui::Image* imgClose_ = nullptr;
    ui::Image* imgApply_ = nullptr;
    ui::Image* imgCancel_ = nullptr;
    ui::Image* imgOk_ = nullptr;
    std::vector<std::unique_ptr<ui::Control>> owned_;
    std::unique_ptr<ui::Timer> delayDoFuncTime_;

    // Window state of the selection (the rest lives in MainState).
    int lastSwitchedProfile_ = 0;
    std::array<bool, 5> profilePressed_{};
    std::array<bool, 5> buttonSelected_{};
};

}  // namespace tavrine::forms
