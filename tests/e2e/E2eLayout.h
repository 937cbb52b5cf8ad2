#pragma once
// Where the journeys click: the client coordinates (centres) of every control they use, window by
// window, in one place. Names of the main window's controls stand alone; a dialog's carry its name.
#include <windows.h>

#include <array>

namespace e2e::layout {

// Main window (TTavrineMainForm1).
constexpr POINT kLeftArea{294, 309}, kRightArea{374, 309}, kMiddleArea{336, 284},
    kSide1Area{237, 338}, kSide2Area{235, 403};
constexpr POINT kAssignMacro{716, 317}, kSingle{716, 373}, kDefault{717, 430}, kLaunch{717, 485};
constexpr POINT kLightButton{567, 290}, kPerformButton{566, 458}, kMacro{886, 384};
constexpr POINT kApply{651, 716}, kCancel{773, 716}, kOk{879, 716}, kClose{899, 23},
    kReset{741, 23};
constexpr POINT ProfileTab(int index) { return {394 + 105 * index, 148}; }

// Performance dialog.
constexpr POINT kHz500{189, 451}, kHz125{94, 451}, kPerformOk{224, 503}, kPerformCancel{328, 503},
    kPerformReset{535, 502};
constexpr POINT kBarColumnY250{100, 98 + 250};

// Light dialog.
constexpr POINT kWheel{208, 165}, kOn{149, 536}, kOff{251, 536}, kLightOk{97, 606},
    kLightCancel{200, 606};

// Macro editor.
constexpr POINT kNew{342, 93}, kLoad{408, 93}, kSave{474, 93}, kRecord{84, 375}, kStop{162, 375},
    kDelete{240, 375}, kDown{205, 400}, kSetDelay{330, 208}, kInsert{330, 381},
    kCommandArrow{528, 380}, kMacroArrow{544, 142}, kEditorOk{328, 439}, kEditorCancel{431, 439},
    kEditorApply{535, 439};

// Macro assignment dialog (the arrow inside its name panel, the four repeat options),
// repeat-count dialog.
constexpr POINT kTKeyOk{87, 285}, kTKeyArrow{136, 11};
constexpr std::array<POINT, 4> kTKeyBoxes = {{{40, 162}, {40, 185}, {40, 208}, {40, 231}}};
constexpr POINT kRepeatOk{85, 90};

// Single-key dialog (the arrow inside its command panel).
constexpr POINT kSKeyOk{93, 160}, kSKeyCancel{190, 160}, kSKeyBackground{16, 20},
    kSKeyArrow{124, 12};

// The question window's OK and the notice window's Yes.
constexpr POINT kQuestionOk{328, 139}, kNoticeYes{537, 140};

}  // namespace e2e::layout
