#pragma once
// What the windows of the configuration program share: the process-wide state, the installation
// folder, the language texts and each other. Made once by the program entry; every window gets it.
#include <optional>
#include <string>

#include "device/MainState.h"
#include "performance/PerformanceRecord.h"
#include "ui/LanguageTables.h"

namespace tavrine::forms {

class MainForm;
class WarningForm1;
class WarningForm2;
class LoadingForm;
class TKey;
class RepeatCount;
class MacroForm;
class NewMacroForm;
class LightOptionForm;
class Perform1;
class SKey;
class PForm;

struct ProgramServices;

struct AppContext {
    // Made by the program entry before any window; outlives them all.
    ProgramServices* services = nullptr;
    device::MainState state;
    performance::PerformanceRecord performance;
    std::wstring installPath;  // "installpath" of the installation key, no trailing backslash
    ui::LanguageLookup language;

    // Each window is registered here by the program entry, right after it is made.
    MainForm* mainForm = nullptr;
    WarningForm1* warningForm1 = nullptr;
    WarningForm2* warningForm2 = nullptr;
    LoadingForm* loadingForm = nullptr;
    LightOptionForm* lightOptionForm = nullptr;
    TKey* tKey = nullptr;
    RepeatCount* repeatCount = nullptr;
    SKey* sKey = nullptr;
    MacroForm* macroForm = nullptr;
    NewMacroForm* newMacroForm = nullptr;
    Perform1* perform1 = nullptr;
    PForm* pForm = nullptr;

    std::optional<std::wstring> LanguageText(int number) const {
        return language ? language(number) : std::nullopt;
    }
};

}  // namespace tavrine::forms
