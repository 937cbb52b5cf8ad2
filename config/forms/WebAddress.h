#pragma once
// The maker's on-line user-profile page, opened by the main window's web picture. The host is
// configuration: change it here when the site moves.
#include <string_view>

namespace tavrine::forms {

inline constexpr std::wstring_view kMakerWebHost = L"https://www.tavrine.example";
inline constexpr std::wstring_view kMakerLoginPage =
    L"https://www.tavrine.example/userprofile/login.aspx";
static_assert(kMakerLoginPage.substr(0, kMakerWebHost.size()) == kMakerWebHost);

}  // namespace tavrine::forms
