#include "wminput/WmInput.h"

#include "wminput/HidReports.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr wchar_t kSinkClass[] = L"WmInputReportSink";
constexpr std::size_t kMinReportBytes = 8;
constexpr int kMaxCollections = 16;

// One sink per process, on the thread of the first registration: raw input arrives there.
HWND g_sink = nullptr;
HWND g_target = nullptr;

void Deliver(HRAWINPUT handle) {
    UINT size = 0;
    if (GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 ||
        size < sizeof(RAWINPUTHEADER)) {
        return;
    }
    std::vector<BYTE> buffer(size);
    if (GetRawInputData(handle, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) != size) {
        return;
    }
    RAWINPUTHEADER header;
    std::memcpy(&header, buffer.data(), sizeof header);
    if (header.dwType != RIM_TYPEHID) return;
    // Never trust the counts beyond what the system actually handed over.
    constexpr wminput::HidPacketLayout kLayout{offsetof(RAWINPUT, data.hid.dwSizeHid),
                                               offsetof(RAWINPUT, data.hid.dwCount),
                                               offsetof(RAWINPUT, data.hid.bRawData)};
    auto reports = wminput::SplitHidReports(buffer, kLayout, kMinReportBytes);
    if (reports.empty()) return;

    RID_DEVICE_INFO info{};
    info.cbSize = sizeof info;
    UINT infoSize = sizeof info;
    if (GetRawInputDeviceInfoW(header.hDevice, RIDI_DEVICEINFO, &info, &infoSize) ==
            static_cast<UINT>(-1) ||
        info.dwType != RIM_TYPEHID) {
        return;
    }
    DWORD ids[2] = {info.hid.dwVendorId, info.hid.dwProductId};

    for (auto& report : reports) {
        if (!g_target) break;
        // Sent, so both pointers stay valid while the target handles the report.
        SendMessageW(g_target, wminput::kMsgDeviceReport, reinterpret_cast<WPARAM>(ids),
                     reinterpret_cast<LPARAM>(report.data()));
    }
}

LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INPUT) {
        try {
            Deliver(reinterpret_cast<HRAWINPUT>(lParam));
        } catch (...) {
            // A report that cannot be delivered is dropped; nothing unwinds into the system.
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND Sink() {
    if (g_sink) return g_sink;
    const auto module = reinterpret_cast<HINSTANCE>(&__ImageBase);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = SinkProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kSinkClass;
    RegisterClassExW(&windowClass);
    g_sink = CreateWindowExW(0, kSinkClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module,
                             nullptr);
    return g_sink;
}

}  // namespace

extern "C" int WINAPI RegisterDeviceReports(HWND target, const WORD* usagePages, const WORD* usages,
                                            int count) {
    if (!target || !usagePages || !usages || count <= 0 || count > kMaxCollections) return 0;
    HWND sink = Sink();
    if (!sink) return 0;
    g_target = target;
    int registered = 0;
    // One at a time: a collection the system refuses must not keep the others from working.
    for (int i = 0; i < count; ++i) {
        RAWINPUTDEVICE device{};
        device.usUsagePage = usagePages[i];
        device.usUsage = usages[i];
        device.dwFlags = RIDEV_INPUTSINK;
        device.hwndTarget = sink;
        if (RegisterRawInputDevices(&device, 1, sizeof device)) ++registered;
    }
    return registered == count ? 1 : 0;
}
