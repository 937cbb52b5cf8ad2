#include "ui/FileDialog.h"

#include <commdlg.h>

#include <array>

#include "ui/Application.h"
#include "ui/DialogFilter.h"

namespace tavrine::ui {
namespace {

std::optional<std::wstring> Run(HWND owner, const FileDialogOptions& options, bool save) {
    std::array<wchar_t, kFileDialogBufferChars> buffer{};
    // A preset name longer than the buffer is cut, never copied past its end.
    options.fileName.copy(buffer.data(), buffer.size() - 1);
    const std::wstring filter =
        options.filter.empty() ? std::wstring() : DialogFilter(options.filter);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = options.initialFolder.empty() ? nullptr : options.initialFolder.c_str();
    ofn.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
    ofn.lpstrDefExt = options.defaultExtension.empty() ? nullptr : options.defaultExtension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR |
                OFN_PATHMUSTEXIST | (save ? 0 : OFN_FILEMUSTEXIST);
    const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) {
        if (const DWORD error = CommDlgExtendedError())
            DebugLine(L"file dialog failed: " + std::to_wstring(error));
        return std::nullopt;
    }
    buffer.back() = L'\0';
    return std::wstring(buffer.data());
}

}  // namespace

std::optional<std::wstring> ShowOpenFileDialog(HWND owner, const FileDialogOptions& options) {
    return Run(owner, options, false);
}

std::optional<std::wstring> ShowSaveFileDialog(HWND owner, const FileDialogOptions& options) {
    return Run(owner, options, true);
}

}  // namespace tavrine::ui
