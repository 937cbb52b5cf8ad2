#pragma once
// A failure the dialogs tell the user about, shown through the program's standard error report.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "ui/Application.h"

namespace tavrine::forms {

inline void ReportFailure(const std::wstring& text) {
    const int wide = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), size, nullptr, nullptr);
    ui::ReportException(std::make_exception_ptr(std::runtime_error(utf8)));
}

}  // namespace tavrine::forms
