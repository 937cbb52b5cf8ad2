#pragma once

#include <optional>
#include <string>

#include "ui/LanguageTables.h"

namespace tavrine::ui {

inline constexpr int kLanguageBufferChars = 512;

// The text of `number` in section "LNG" of InstallPath + "\lang\UILANG.ini", read afresh at every
// call; nothing when the file, the key or its text is missing or empty, when there is no
// installation folder, or when the number is outside 1..LastLanguageNumber(). Longer texts are cut
// at 511 characters.
std::optional<std::wstring> LanguageText(const std::wstring& installPath, int number);

// A lookup bound to one installation folder, to hand to the forms.
LanguageLookup LanguageLookupFor(std::wstring installPath);

}  // namespace tavrine::ui
