// Vistrel's entry: one instance, the hidden listener, the device list for Portivo, raw input, the
// popup and the message loop.
#include <windows.h>

#include <optional>
#include <string>

#include "common/DeviceIds.h"
#include "osd/Gdi_win.h"
#include "osd/Listener_win.h"
#include "portivo/Portivo.h"
#include "osd/core/PopupPicture.h"
#include "device/SettingsLayout.h"
#include "osd/resource.h"

namespace {

constexpr int kStringLimit = 100;
constexpr DWORD kAppPathBytes = 512;

std::wstring LoadText(HINSTANCE instance, UINT id) {
    wchar_t text[kStringLimit] = {};
    const int length = LoadStringW(instance, id, text, kStringLimit);
    return std::wstring(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// The installation key's "AppPath" (the picture folder), read within its 512 bytes.
std::optional<std::wstring> ReadAppPath() {
    std::wstring keyName(device::kInstallKey.substr(1));  // without the leading backslash
    if (!keyName.empty() && keyName.back() == L'\\') keyName.pop_back();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t value[kAppPathBytes / sizeof(wchar_t) + 1] = {};
    DWORD size = kAppPathBytes;
    DWORD type = 0;
    const std::wstring name(device::kAppPathValue);
    const LONG status =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    // The stored text need not end in a terminator; the extra element holds one in any case.
    std::wstring path(value, size / sizeof(wchar_t));
    if (const auto end = path.find(L'\0'); end != std::wstring::npos) path.resize(end);
    return path;
}

// Portivo keeps this table for the life of the program.
DeviceSpec g_devices[2] = {
    {common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0xFF00},
    {common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0x0002},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const vistrel::Listener::Identity identity{LoadText(instance, IDC_VISTREL),
                                               LoadText(instance, IDS_APP_TITLE)};
    if (HWND running = FindWindowW(identity.className.c_str(), identity.caption.c_str())) {
        if (commandLine && std::wstring(commandLine) == L"/q") PostMessageW(running, WM_QUIT, 0, 0);
        return 0;
    }

    vistrel::GdiplusSession gdiplus;
    vistrel::Listener listener;
    if (!listener.Create(instance, identity)) return 0;

    const std::wstring imageFolder = vistrel::ImageFolderFrom(ReadAppPath());
    InitDriver(listener.Handle(), g_devices, 2);
    listener.RegisterRawInput();
    listener.Popup().Create(instance, listener.Handle(), imageFolder);

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_VISTREL));
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
