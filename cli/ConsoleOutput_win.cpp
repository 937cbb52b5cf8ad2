#include "cli/ConsoleOutput_win.h"

#include <windows.h>

#include <string>

#include "cli/Utf8.h"

namespace cli {

namespace {

void Write(DWORD which, std::string_view utf8) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        // A console shows any language's text through the wide call, whatever its code page.
        const std::wstring wide = FromUtf8(utf8);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    DWORD written = 0;
    WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

}  // namespace

void WriteOut(std::string_view utf8) { Write(STD_OUTPUT_HANDLE, utf8); }

void WriteError(std::wstring_view line) { Write(STD_ERROR_HANDLE, ToUtf8(line) + "\n"); }

}  // namespace cli
