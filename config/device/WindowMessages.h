#pragma once
// Messages the core posts or handles, and the windows they go to.
#include <cstdint>
#include <string_view>

inline constexpr std::uint32_t kMsgLoading = 0x501;         // wParam 1 run, 0 stop and hide
inline constexpr std::uint32_t kMsgDeviceReport = 0x515;    // from the input component
inline constexpr std::uint32_t kMsgShowProfile = 0x541;     // to the display program
inline constexpr std::uint32_t kMsgProfileChanged = 0x641;  // wParam profile number 1..5

inline constexpr std::wstring_view kLoadingClass = L"TLoadingForm";
inline constexpr std::wstring_view kLoadingCaption = L"LoadingForm";
// Held by the running configuration program; the installer looks for it too.
inline constexpr std::wstring_view kProgramMutex = L"CLS_TavrineGamingMou";
inline constexpr std::wstring_view kVistrelClass = L"VISTREL";
inline constexpr std::wstring_view kVistrelCaption = L"Vistrel";

// Notices of the message windows that the device core shows.
inline constexpr int kMessageNoDevice = 3;
inline constexpr int kMessageNoLeftButton = 4;
// A profile write that was given up: the mouse did not take the profile.
inline constexpr int kMessageWriteGivenUp = 7;
inline constexpr std::wstring_view kMessageWriteGivenUpText =
    L"The profile could not be written to the mouse. Please check that the Gaming Device is "
    L"plugged in and save the profile again.";
