#pragma once
// Messages the core posts or handles, and the windows they go to.
#include <cstdint>
#include <string_view>

namespace device {

inline constexpr std::uint32_t kMsgLoading = 0x501;         // wParam 1 run, 0 stop and hide
inline constexpr std::uint32_t kMsgDeviceReport = 0x515;    // from the input component
inline constexpr std::uint32_t kMsgShowPolling = 0x539;     // to the display program
inline constexpr std::uint32_t kMsgShowDpiLevel = 0x540;    // to the display program
inline constexpr std::uint32_t kMsgShowProfile = 0x541;     // to the display program
inline constexpr std::uint32_t kMsgPollingChanged = 0x639;  // wParam the rate in Hz
inline constexpr std::uint32_t kMsgDpiChanged = 0x640;      // wParam level index, lParam DPI
inline constexpr std::uint32_t kMsgProfileChanged = 0x641;  // wParam profile number 1..5

inline constexpr std::wstring_view kLoadingClass = L"TLoadingForm";
inline constexpr std::wstring_view kLoadingCaption = L"LoadingForm";
// Held by the running configuration program; the installer looks for it too.
inline constexpr std::wstring_view kProgramMutex = L"CLS_TavrineGamingMou";
inline constexpr std::wstring_view kPerformClass = L"TPerform1";
inline constexpr std::wstring_view kPerformCaption = L"Perform1";
inline constexpr std::wstring_view kVistrelClass = L"VISTREL";
inline constexpr std::wstring_view kVistrelCaption = L"Vistrel";

// tavrine.exe watch, the automatic profile switcher: one per session (its mutex), and its hidden
// window, which the uninstaller asks to close.
inline constexpr std::wstring_view kWatchMutex = L"TavrineAutoProfileWatch";
inline constexpr std::wstring_view kWatchClass = L"TTavrineAutoProfile";
inline constexpr std::wstring_view kWatchCaption = L"Tavrine automatic profiles";

// The display program's other requests (no sender in the configuration program yet): the lock
// query, and the web back/forward pictures shown at once (wParam, lParam unused).
inline constexpr std::uint32_t kMsgShowLock = 0x542;
inline constexpr std::uint32_t kMsgShowWebBack = 0x543;
inline constexpr std::uint32_t kMsgShowWebForward = 0x544;
// The main window, to which the display program sends the profile the mouse changed to.
inline constexpr std::wstring_view kMainFormClass = L"TTavrineMainForm1";
inline constexpr std::wstring_view kMainFormCaption = L"Norvex TAVRINE";

}  // namespace device
