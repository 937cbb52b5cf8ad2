#pragma once
// WMINPUT.DLL: delivers the HID input reports of chosen collections to a window as message 0x515.
#include <windows.h>

extern "C" {

// Ordinal 1. Registers count (usage page, usage) pairs for raw input on a hidden window of the
// calling thread; from then on each input report of such a collection is sent (not posted) to
// target as 0x515, wParam -> {vendor id, product id} (two 32-bit integers), lParam -> the report
// bytes (at least 8, zero-padded). Calling it again replaces the target and is otherwise harmless.
// Returns 1 when every pair was registered, else 0.
int WINAPI RegisterDeviceReports(HWND target, const WORD* usagePages, const WORD* usages,
                                 int count);

}  // extern "C"

namespace wminput {
inline constexpr UINT kMsgDeviceReport = 0x515;
inline constexpr WORD kOrdRegisterDeviceReports = 1;
using RegisterDeviceReportsFn = int(WINAPI*)(HWND, const WORD*, const WORD*, int);
}  // namespace wminput
