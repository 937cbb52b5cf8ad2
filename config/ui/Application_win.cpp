#include "ui/Application.h"

#include <windows.h>

#include <stdexcept>

namespace tavrine::ui {
namespace {

std::wstring& Title() {
    static std::wstring title = L"Tavrine Gaming Mouse";
    return title;
}

ErrorReporter& Reporter() {
    static ErrorReporter reporter;
    return reporter;
}

}  // namespace

void SetApplicationTitle(std::wstring title) { Title() = std::move(title); }
const std::wstring& ApplicationTitle() { return Title(); }

void SetErrorReporter(ErrorReporter reporter) { Reporter() = std::move(reporter); }

std::wstring Widen(std::string_view text) {
    if (text.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

void ReportException(std::exception_ptr error) noexcept {
    try {
        std::wstring message;
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            message = Widen(e.what());
        } catch (...) {
            message = L"Unknown error.";
        }
        if (!message.empty() && message.back() != L'.') message += L'.';
        DebugLine(L"error report: " + message);
        if (Reporter()) {
            Reporter()(message);
        } else {
            MessageBoxW(GetActiveWindow(), message.c_str(), Title().c_str(), MB_OK | MB_ICONERROR);
        }
    } catch (...) {
        // The report itself failed (out of memory): nothing sensible is left to show.
    }
}

void DebugLine(std::wstring_view text) noexcept {
    try {
        std::wstring line(text);
        line += L'\n';
        OutputDebugStringW(line.c_str());
    } catch (...) {
    }
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Keep the request for the loop that owns the program's end.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Terminate(int exitCode) { PostQuitMessage(exitCode); }

}  // namespace tavrine::ui
