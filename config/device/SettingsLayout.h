#pragma once
// Where the program's settings live: the machine-wide installation key and the per-user tree.
#include <array>
#include <string>
#include <string_view>

namespace device {

inline constexpr std::wstring_view kInstallKey = L"\\SOFTWARE\\Tavrine KVR-5502\\";
inline constexpr std::wstring_view kInstallPathValue = L"installpath";
inline constexpr std::wstring_view kAppPathValue = L"AppPath";

inline constexpr std::wstring_view kSettingsRoot = L"\\SOFTWARE\\Tavrine5502\\";
inline constexpr std::wstring_view kLightKeyName = L"LIGHT";
inline constexpr std::wstring_view kWheelLightValue = L"WheelLight";
inline constexpr std::wstring_view kLogoLightValue = L"LogoLight";

inline constexpr std::wstring_view kKeysValue = L"keys";
inline constexpr std::wstring_view kDescriptionValue = L"DES";
inline constexpr std::wstring_view kStateIdValue = L"StateID";
inline constexpr std::wstring_view kFilePathValue = L"filepath";

// Key names of the five buttons, in button order.
inline constexpr std::array<std::wstring_view, 5> kButtonKeyNames = {
    L"Lbutton", L"Rbutton", L"Mbutton", L"XB1button", L"XB2button"};

// root + "profile" + p + "\" + button name
inline std::wstring ButtonKeyPath(int profile, int button) {
    std::wstring path;
    path.reserve(kSettingsRoot.size() + 32);
    path += kSettingsRoot;
    path += L"profile";
    path += std::to_wstring(profile);
    path += L'\\';
    path += kButtonKeyNames.at(static_cast<std::size_t>(button));
    return path;
}

// Automatic profiles by program (tavrine.exe): Enabled (1 on, 0 off; missing: on), Fallback
// (1..5, 0 none), SettleMs (optional), and the rules Rule1, Rule2, ... in order, each the text
// "<profile>|<program>".
inline constexpr std::wstring_view kAutoProfileKeyName = L"AutoProfile";
inline constexpr std::wstring_view kAutoEnabledValue = L"Enabled";
inline constexpr std::wstring_view kAutoFallbackValue = L"Fallback";
inline constexpr std::wstring_view kAutoSettleValue = L"SettleMs";
inline constexpr std::wstring_view kAutoRuleValuePrefix = L"Rule";

inline std::wstring AutoProfileKeyPath() {
    return std::wstring(kSettingsRoot) + std::wstring(kAutoProfileKeyName);
}

inline std::wstring LightKeyPath() {
    return std::wstring(kSettingsRoot) + std::wstring(kLightKeyName);
}

}  // namespace device
