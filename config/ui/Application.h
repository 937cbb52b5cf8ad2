#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace tavrine::ui {

// The program-wide title used by the standard error report.
void SetApplicationTitle(std::wstring title);
const std::wstring& ApplicationTitle();

// The standard error report: an exception that reaches a window procedure or the entry point is
// shown here. The default shows a message box; tests put their own reporter in its place.
using ErrorReporter = std::function<void(const std::wstring& message)>;
void SetErrorReporter(ErrorReporter reporter);
void ReportException(std::exception_ptr error) noexcept;

// One line to the system debug output.
void DebugLine(std::wstring_view text) noexcept;

// UTF-8 (as exceptions carry it) to UTF-16.
std::wstring Widen(std::string_view text);

// Message loop helpers: run until told to terminate, or handle what is queued now.
int RunMessageLoop();
void ProcessMessages();
void Terminate(int exitCode = 0);

}  // namespace tavrine::ui
