#pragma once

#include <string>
#include <string_view>

namespace tavrine::ui {

// A file dialog filter written "Macro files (*.Q1M)|*.Q1M|All files|*.*" turned into the form the
// system dialog reads: pairs separated by NULs, closed by two NULs. A trailing '|' is ignored; an
// odd, unpaired description is dropped rather than handed over unterminated.
std::wstring DialogFilter(std::wstring_view filter);

}  // namespace tavrine::ui
