#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tavrine::ui {

struct FileDialogOptions {
    std::wstring filter{};  // "Macro files|*.Q1M|All files|*.*"; empty: no filter
    std::wstring defaultExtension{};
    std::wstring initialFolder{};
    std::wstring fileName{};
    std::wstring title{};
};

// The chosen path (at most 511 characters, the dialog's buffer of 512), or nothing when the user
// cancelled or the path did not fit.
std::optional<std::wstring> ShowOpenFileDialog(HWND owner, const FileDialogOptions& options);
std::optional<std::wstring> ShowSaveFileDialog(HWND owner, const FileDialogOptions& options);

inline constexpr int kFileDialogBufferChars = 512;

}  // namespace tavrine::ui
