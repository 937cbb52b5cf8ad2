#include "osd/Listener_win.h"

#include "osd/WindowProc_win.h"

#include <array>

#include "common/DeviceIds.h"
#include "portivo/Portivo.h"
#include "osd/core/PopupPicture.h"
#include "osd/RawInput_win.h"
#include "osd/resource.h"

namespace vistrel {

namespace {

// Each query is paced by a busy wait, not a sleep: the mouse needs the time between the request
// and the read, and the program has nothing else to do meanwhile. The performance counter measures
// it: the tick count moves in steps of up to 16 ms on Windows, which would make a 13 ms wait
// anything from nothing to 16 ms.
void BusyWait(DWORD milliseconds) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const LONGLONG ticks = frequency.QuadPart * milliseconds / 1000;
    do {
        QueryPerformanceCounter(&now);
    } while (now.QuadPart - start.QuadPart < ticks);
}

void Post(const Notice& notice) {
    const std::wstring windowClass(notice.windowClass);
    const std::wstring caption(notice.caption);
    if (HWND target = FindWindowW(windowClass.c_str(), caption.c_str())) {
        PostMessageW(target, notice.message, static_cast<WPARAM>(notice.wParam),
                     static_cast<LPARAM>(notice.lParam));
    }
}

}  // namespace

Listener::~Listener() {
    if (hwnd_) DestroyWindow(hwnd_);  // its popup goes with it
}

bool Listener::Create(HINSTANCE instance, const Identity& identity) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = OwnedWindowProc<Listener>;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VISTREL));
    windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDC_VISTREL);
    windowClass.lpszClassName = identity.className.c_str();
    if (!RegisterClassExW(&windowClass)) return false;
    hwnd_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, identity.className.c_str(),
                            identity.caption.c_str(), WS_CAPTION, 0, 0, 5, 5, nullptr, nullptr,
                            instance, this);
    if (!hwnd_) return false;
    UpdateWindow(hwnd_);
    return true;
}

bool Listener::RegisterRawInput() const {
    UINT count = 0;
    if (GetRawInputDeviceList(nullptr, &count, sizeof(RAWINPUTDEVICELIST)) != 0) return false;
    std::array<RAWINPUTDEVICE, 4> devices = {{
        {0x0007, 0x0003, RIDEV_INPUTSINK, hwnd_},
        {kQueryUsagePage, 0xFF00, RIDEV_INPUTSINK, hwnd_},
        {kQueryUsagePage, kQueryUsage, RIDEV_INPUTSINK, hwnd_},
        {0x0001, 0x0002, RIDEV_INPUTSINK, hwnd_},  // any mouse: its side buttons
    }};
    if (RegisterRawInputDevices(devices.data(), static_cast<UINT>(devices.size()),
                                sizeof(RAWINPUTDEVICE))) {
        return true;
    }
    // One entry the system refuses must not cost the others: register them one by one.
    bool all = true;
    for (const auto& device : devices)
        all = RegisterRawInputDevices(&device, 1, sizeof device) && all;
    return all;
}

LRESULT Listener::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (const auto request = RequestForMessage(msg)) {
        if (request->query) {
            AnswerQuery(*request->query, false);
        } else {
            popup_.Hide();
            ShowPopup(request->kind);
        }
        return 0;
    }
    switch (msg) {
        case WM_INPUT:
            OnRawInput(reinterpret_cast<HRAWINPUT>(lParam));
            DefWindowProcW(hwnd_, msg, wParam, lParam);  // lets the system release the packet
            return 0;
        case WM_TIMER:
            KillTimer(hwnd_, kHideTimer);
            popup_.Hide();
            return 0;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDM_ABOUT:
                    return 0;
                case IDM_EXIT:
                    DestroyWindow(hwnd_);
                    return 0;
                default:
                    return DefWindowProcW(hwnd_, msg, wParam, lParam);
            }
        case WM_CLOSE:
            return 1;  // the listener stays; the program ends by "/q" or Exit
        case WM_DESTROY:
            KillTimer(hwnd_, kHideTimer);
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            // The window is gone: nothing may reach this object through it any more.
            const LRESULT result = DefWindowProcW(hwnd_, msg, wParam, lParam);
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            return result;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(hwnd_, &paint);
            EndPaint(hwnd_, &paint);
            return 0;
        }
        default:
            return DefWindowProcW(hwnd_, msg, wParam, lParam);
    }
}

void Listener::OnRawInput(HRAWINPUT handle) {
    const std::vector<BYTE> packet = ReadRawInputPacket(handle);
    const auto header = PacketHeader(packet);
    if (!header) return;
    if (header->dwType == RIM_TYPEHID) {
        if (!IsHidDevice(header->hDevice, common::DeviceVendorId, common::DeviceProductId)) return;
        const auto report = FirstHidReport(packet);
        if (const auto query = QueryForEventReport(report)) AnswerQuery(*query, true);
    } else if (header->dwType == RIM_TYPEMOUSE) {
        const auto flags = MouseButtonFlags(packet);
        const PopupKind kind = flags ? KindForMouseButtons(*flags) : PopupKind::None;
        if (kind == PopupKind::None) return;
        popup_.Hide();
        ShowPopup(kind);
    }
}

void Listener::AnswerQuery(Query query, bool notify) {
    const FeatureBuffer answer = RunQuery(query);
    const PopupKind kind = ApplyAnswer(query, answer, state_);
    if (notify) {
        if (const auto notice = NoticeAfter(query, state_)) Post(*notice);
    }
    ShowPopup(kind);
}

FeatureBuffer Listener::RunQuery(Query query) {
    popup_.Hide();
    FeatureBuffer buffer = QueryRequest(query);
    SetKbdFeatures(common::DeviceVendorId, common::DeviceProductId, kQueryUsagePage, kQueryUsage,
                   buffer.data());
    BusyWait(kQueryWaitMilliseconds);
    buffer = AnswerBuffer();
    GetKbdFeatures(common::DeviceVendorId, common::DeviceProductId, kQueryUsagePage, kQueryUsage,
                   buffer.data());
    BusyWait(kQueryWaitMilliseconds);
    return buffer;
}

void Listener::ShowPopup(PopupKind kind) {
    popup_.Show(PictureFor(kind, state_));
    SetTimer(hwnd_, kHideTimer, kPopupMilliseconds, nullptr);  // a running timer starts anew
}

}  // namespace vistrel
