#include "vmouse/tool/DeviceInstall_win.h"

#include <windows.h>
// clang-format off
#include <setupapi.h>
#include <devguid.h>
#include <newdev.h>
// clang-format on

#include <cstdio>
#include <vector>

#include "common/DeviceIds.h"

#include "vmouse/tool/HidEnum_win.h"

namespace vmtool {
namespace {

// Multi-string: the one hardware id the .inf matches.
constexpr wchar_t kHardwareIds[] = L"ROOT\\TavrineVirtualMouse\0";
constexpr wchar_t kHardwareId[] = L"ROOT\\TavrineVirtualMouse";
const GUID kSystemClass = {
    0x4d36e97d, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

class DeviceSet {
  public:
    DeviceSet() : set_(SetupDiCreateDeviceInfoList(&kSystemClass, nullptr)) {}
    ~DeviceSet() {
        if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
    }
    DeviceSet(const DeviceSet&) = delete;
    DeviceSet& operator=(const DeviceSet&) = delete;
    HDEVINFO get() const { return set_; }

  private:
    HDEVINFO set_;
};

bool Register(RootDevice device, std::wstring& error) {
    DeviceSet set;
    if (set.get() == INVALID_HANDLE_VALUE) {
        error = Win32ErrorText(L"SetupDiCreateDeviceInfoList");
        return false;
    }
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    const std::wstring id = InstanceId(device);
    if (!SetupDiCreateDeviceInfoW(set.get(), id.c_str(), &kSystemClass, L"Tavrine virtual mouse",
                                  nullptr, 0, &info)) {
        if (GetLastError() == ERROR_DEVINST_ALREADY_EXISTS) return true;
        error = Win32ErrorText((L"SetupDiCreateDeviceInfoW " + id).c_str());
        return false;
    }
    if (!SetupDiSetDeviceRegistryPropertyW(set.get(), &info, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(kHardwareIds),
                                           sizeof kHardwareIds)) {
        error = Win32ErrorText(L"SetupDiSetDeviceRegistryPropertyW");
        return false;
    }
    if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set.get(), &info)) {
        error = Win32ErrorText(L"DIF_REGISTERDEVICE");
        return false;
    }
    return true;
}

bool Remove(RootDevice device, std::wstring& error) {
    DeviceSet set;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    const std::wstring id = InstanceId(device);
    if (!SetupDiOpenDeviceInfoW(set.get(), id.c_str(), nullptr, 0, &info))
        return true;  // not there
    if (!SetupDiCallClassInstaller(DIF_REMOVE, set.get(), &info)) {
        error = Win32ErrorText((L"DIF_REMOVE " + id).c_str());
        return false;
    }
    return true;
}

}  // namespace

std::wstring InstanceId(RootDevice device) {
    wchar_t id[64];
    swprintf(id, 64, L"ROOT\\VID_%04X&PID_%04X&COL%02d\\0000", common::DeviceVendorId,
             common::DeviceProductId, static_cast<int>(device));
    return id;
}

bool IsRegistered(RootDevice device) {
    DeviceSet set;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    return SetupDiOpenDeviceInfoW(set.get(), InstanceId(device).c_str(), nullptr, 0, &info) !=
           FALSE;
}

bool InstallDevices(const std::wstring& infPath, bool withMouse, std::wstring& error) {
    if (GetFileAttributesW(infPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = L"driver description not found: " + infPath;
        return false;
    }
    std::vector<RootDevice> devices = {RootDevice::Control};
    if (withMouse) {
        devices.push_back(RootDevice::WriteCollection);
        devices.push_back(RootDevice::ReadCollection);
    }
    for (RootDevice d : devices) {
        if (!Register(d, error)) return false;
    }
    BOOL reboot = FALSE;
    if (!UpdateDriverForPlugAndPlayDevicesW(nullptr, kHardwareId, infPath.c_str(),
                                            INSTALLFLAG_FORCE, &reboot)) {
        error = Win32ErrorText(L"UpdateDriverForPlugAndPlayDevicesW");
        return false;
    }
    return true;
}

bool RemoveDevices(bool mouse, bool control, std::wstring& error) {
    bool ok = true;
    if (mouse) {
        ok = Remove(RootDevice::WriteCollection, error) && ok;
        ok = Remove(RootDevice::ReadCollection, error) && ok;
    }
    if (control) ok = Remove(RootDevice::Control, error) && ok;
    return ok;
}

std::wstring InfBesideProgram() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    const size_t slash = dir.find_last_of(L"\\/");
    dir = slash == std::wstring::npos ? L"." : dir.substr(0, slash);
    return dir + L"\\tavrine_vmouse.inf";
}

}  // namespace vmtool
