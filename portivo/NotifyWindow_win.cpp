#include "portivo/NotifyWindow_win.h"

#include <dbt.h>
#include "common/HidHeaders_win.h"

#include <cstddef>
#include <new>

#include "portivo/DeviceAccess.h"

namespace portivo {
namespace {

constexpr wchar_t kClassName[] = L"HKUSBClass";
constexpr wchar_t kWindowName[] = L"HKUSBKEYMSG";

void RegisterForDeviceChanges(HWND window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    static_assert(sizeof filter == 32);
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    HidD_GetHidGuid(&filter.dbcc_classguid);
    // All interface classes: the handlers sort out what matters by opening each interface.
    if (!RegisterDeviceNotificationW(
            window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE | DEVICE_NOTIFY_ALL_INTERFACE_CLASSES)) {
        ExitProcess(1);
    }
}

const wchar_t* EventName(WORD event) {
    switch (event) {
        case 0x0007:
            return L"DBT_DEVNODES_CHANGED\n";
        case 0x0017:
            return L"DBT_QUERYCHANGECONFIG\n";
        case 0x0018:
            return L"DBT_CONFIGCHANGED\n";
        case 0x0019:
            return L"DBT_CONFIGCHANGECANCELED\n";
        case 0x8000:
            return L"DBT_DEVICEARRIVAL\n";
        case 0x8001:
            return L"DBT_DEVICEQUERYREMOVE\n";
        case 0x8002:
            return L"DBT_DEVICEQUERYREMOVEFAILED\n";
        case 0x8003:
            return L"DBT_DEVICEREMOVEPENDING\n";
        case 0x8004:
            return L"DBT_DEVICEREMOVECOMPLETE\n";
        case 0x8005:
            return L"DBT_DEVICETYPESPECIFIC\n";
        case 0x8006:
            return L"DBT_CUSTOMEVENT\n";
        case 0xFFFF:
            return L"DBT_USERDEFINED\n";
        default:
            return nullptr;
    }
}

// The interface name of a device-interface broadcast, never read past the broadcast's own size.
bool InterfaceName(LPARAM lParam, Path& name) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return false;
    const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    constexpr std::size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (header->dbch_size <= offset) return false;
    const std::size_t maxUnits = (header->dbch_size - offset) / sizeof(wchar_t);
    const auto* text = reinterpret_cast<const char16_t*>(broadcast->dbcc_name);
    std::size_t length = 0;
    while (length < maxUnits && text[length] != 0) ++length;
    name.assign(text, length);
    return true;
}

void OnDeviceChange(DeviceAccess& access, WPARAM wParam, LPARAM lParam) {
    const WORD event = LOWORD(wParam);
    if (const wchar_t* text = EventName(event)) OutputDebugStringW(text);
    Path name;
    if (event == DBT_DEVICEARRIVAL && InterfaceName(lParam, name)) access.OnArrival(name);
    if (event == DBT_DEVICEREMOVECOMPLETE && InterfaceName(lParam, name)) access.OnRemoval(name);
}

LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* access = reinterpret_cast<DeviceAccess*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    try {
        switch (message) {
            case WM_CREATE: {
                const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
                SetWindowLongPtrW(window, GWLP_USERDATA,
                                  reinterpret_cast<LONG_PTR>(create->lpCreateParams));
                RegisterForDeviceChanges(window);
                return 0;
            }
            case WM_DESTROY:
                if (access) access->OnWindowDestroyed();
                PostQuitMessage(0);
                return 0;
            case WM_PAINT: {
                PAINTSTRUCT paint;
                BeginPaint(window, &paint);
                EndPaint(window, &paint);
                return 0;
            }
            case WM_DEVICECHANGE:
                if (access) OnDeviceChange(*access, wParam, lParam);
                return 0;
            default:
                break;
        }
    } catch (const std::bad_alloc&) {
        ExitProcess(1);  // no memory for a list entry
    } catch (...) {
        return 0;  // nothing may unwind into the system's dispatcher
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool CreateNotifyWindow(HINSTANCE module, DeviceAccess& access) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = NotifyWindowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass)) return false;
    HWND window = CreateWindowExW(0, kClassName, kWindowName, WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, module, &access);
    return window != nullptr;
}

}  // namespace portivo
