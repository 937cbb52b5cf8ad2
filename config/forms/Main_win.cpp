// Program entry of the configuration program: one instance, every window made once, then the
// message loop until the program is told to end.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "forms/AppContext.h"
#include "forms/Lightoption_win.h"
#include "forms/Loading_win.h"
#include "forms/Mainform_win.h"
#include "forms/Performance_win.h"
#include "forms/Macrokey_win.h"
#include "forms/Newmacro_win.h"
#include "performance/PerformanceKeys.h"
#include "forms/Popform_win.h"
#include "forms/ProgramServices_win.h"
#include "device/ProfileStore.h"
#include "platform/RegistrySettingsStore_win.h"
#include "forms/Repeat_win.h"
#include "forms/Singlekey_win.h"
#include "forms/StartupTrace_win.h"
#include "forms/T_win.h"
#include "forms/Warning1_win.h"
#include "forms/Warning2_win.h"
#include "device/WindowMessages.h"
#include "ui/Application.h"
#include "ui/LanguageText.h"

namespace tavrine::forms {
namespace {

int RunProgram() {
    StartupStep("entry");
    ui::SetApplicationTitle(L"Tavrine Gaming Mouse");
    AppContext app;
    {
        platform::RegistrySettingsStore machine;
        app.installPath = device::ReadInstallPath(machine);
    }
    while (!app.installPath.empty() && app.installPath.back() == L'\\') app.installPath.pop_back();
    app.language = ui::LanguageLookupFor(app.installPath);
    ProgramServices services;
    app.services = &services;
    StartupStep("services");

    // The windows, in the order the program has always made them; all live until the end.
    MainForm main(app);
    app.mainForm = &main;
    // An attached mouse gets the performance keys it needs, made from its own values if missing.
    main.Session().OnAttach = [&app, &services] {
        performance::EnsurePerformanceKeys(app.performance, services.pointer, services.channel,
                                           services.waits, app.state.deviceReportState,
                                           services.store);
    };
    StartupStep("main-window");
    // Shown and painted before the other windows are made (a quarter of a second under Wine):
    // they stay hidden until asked for. The attach's 1.3 s count from the window shown, as they
    // did when it showed last; nothing else queued (the mouse's reports, a click, a timer) is
    // handled before all of them exist and the loop runs.
    main.Window().Show();
    StartupStep("shown");
    main.StartDriver();
    LightOptionForm lightOption(app);
    app.lightOptionForm = &lightOption;
    TKey tKey(app);
    app.tKey = &tKey;
    RepeatCount repeatCount(app);
    app.repeatCount = &repeatCount;
    SKey sKey(app);
    app.sKey = &sKey;
    WarningForm1 warning1(app);
    app.warningForm1 = &warning1;
    WarningForm2 warning2(app);
    app.warningForm2 = &warning2;
    MacroForm macroForm(app);
    app.macroForm = &macroForm;
    NewMacroForm newMacro(app);
    app.newMacroForm = &newMacro;
    Perform1 perform1(app);
    app.perform1 = &perform1;
    PForm pForm(app);
    app.pForm = &pForm;
    LoadingForm loading(main.Handle());
    app.loadingForm = &loading;
    StartupStep("other-windows");

    ui::RunMessageLoop();
    return 0;
}

}  // namespace
}  // namespace tavrine::forms

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // One instance: a second start ends at once and leaves the first alone.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, std::wstring(device::kProgramMutex).c_str());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex) CloseHandle(mutex);
        return 0;
    }
    try {
        tavrine::forms::RunProgram();
    } catch (...) {
        tavrine::ui::ReportException(std::current_exception());
    }
    // The mutex is held until the process ends.
    return 0;
}
