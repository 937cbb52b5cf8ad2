#pragma once
// Messages the core posts or handles, and the windows they go to.
#include <cstdint>
#include <string_view>

inline constexpr std::uint32_t kMsgLoading = 0x501;       // wParam 1 run, 0 stop and hide
inline constexpr std::uint32_t kMsgDeviceReport = 0x515;  // from the input component
// To the display program: query the mouse and show the picture (wParam, lParam unused).
inline constexpr std::uint32_t kMsgShowPolling = 0x539;
inline constexpr std::uint32_t kMsgShowDpi = 0x540;
inline constexpr std::uint32_t kMsgShowProfile = 0x541;
inline constexpr std::uint32_t kMsgShowLock = 0x542;
inline constexpr std::uint32_t kMsgShowWebBack = 0x543;  // no query: the picture at once
inline constexpr std::uint32_t kMsgShowWebForward = 0x544;
// From the display program, after the mouse changed a value itself.
inline constexpr std::uint32_t kMsgPollingChanged = 0x639;  // wParam rate in Hz
inline constexpr std::uint32_t kMsgDpiChanged = 0x640;      // wParam level index, lParam DPI
inline constexpr std::uint32_t kMsgProfileChanged = 0x641;  // wParam profile number 1..5

inline constexpr std::wstring_view kLoadingClass = L"TLoadingForm";
inline constexpr std::wstring_view kLoadingCaption = L"LoadingForm";
inline constexpr std::wstring_view kVistrelClass = L"VISTREL";
inline constexpr std::wstring_view kVistrelCaption = L"Vistrel";
inline constexpr std::wstring_view kMainFormClass = L"TTavrineMainForm1";
inline constexpr std::wstring_view kMainFormCaption = L"Norvex TAVRINE";
inline constexpr std::wstring_view kPerformClass = L"TPerform1";
inline constexpr std::wstring_view kPerformCaption = L"Perform1";

// Notices of the message windows that the device core shows.
inline constexpr int kMessageNoDevice = 3;
inline constexpr int kMessageNoLeftButton = 4;
// A profile write that was given up: the mouse did not take the profile.
inline constexpr int kMessageWriteGivenUp = 7;
inline constexpr std::wstring_view kMessageWriteGivenUpText =
    L"The profile could not be written to the mouse. Please check that the Gaming Device is "
    L"plugged in and save the profile again.";
