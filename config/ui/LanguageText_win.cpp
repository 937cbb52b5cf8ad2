#include "ui/LanguageText.h"

#include <windows.h>

#include <array>

#include "ui/SkinPaths.h"

namespace tavrine::ui {

std::optional<std::wstring> LanguageText(const std::wstring& installPath, int number) {
    if (number < 1 || number > LastLanguageNumber()) return std::nullopt;
    const std::wstring file = LanguageFilePath(installPath);
    if (file.empty()) return std::nullopt;
    const std::wstring key = std::to_wstring(number);  // decimal, no leading zeros
    std::array<wchar_t, kLanguageBufferChars> buffer{};
    // The reader stops at the buffer's size and always terminates: a longer text is cut at 511.
    const DWORD n = GetPrivateProfileStringW(L"LNG", key.c_str(), L"", buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.c_str());
    const std::size_t length = std::min<std::size_t>(n, buffer.size() - 1);
    if (length == 0) return std::nullopt;
    return std::wstring(buffer.data(), length);
}

LanguageLookup LanguageLookupFor(std::wstring installPath) {
    return [path = std::move(installPath)](int number) { return LanguageText(path, number); };
}

}  // namespace tavrine::ui
