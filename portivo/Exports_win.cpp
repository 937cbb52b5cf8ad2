// The DLL's exported operations. Each process has one library state, made on first use; no
// exception crosses an export.
#include <new>

#include "portivo/DeviceAccess.h"
#include "portivo/HidPlatform_win.h"
#include "portivo/NotifyWindow_win.h"
#include "portivo/Portivo.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

struct LibraryState {
    portivo::Win32HidPlatform platform;
    portivo::DeviceAccess access{platform};
};

// Made on first use. Freed when the DLL is unloaded by FreeLibrary, which can only happen before
// the change watch exists (see PinModule). Not when the process ends: tearing down from
// ExitProcess is unsafe (under Wine it now and then crashed the ending process), and the system
// reclaims everything anyway.
LibraryState* g_state = nullptr;

LibraryState& State() {
    if (!g_state) g_state = new LibraryState;
    return *g_state;
}

template <typename Body>
int Guarded(Body body) {
    try {
        return body(State().access);
    } catch (const std::bad_alloc&) {
        ExitProcess(1);  // no memory for a list entry
    } catch (...) {
        return 0;
    }
}

// The notification window's procedure and its device notifications live in this module, and
// both outlast any FreeLibrary a host may call: unmapped, the next device broadcast would crash
// the host. So the watch keeps the module loaded until the process ends. Tearing the window down
// on unload instead is not sound: only its own thread may destroy it, FreeLibrary may come from
// any thread, and DllMain runs under the loader lock, where neither waiting for that thread nor
// dispatching the window's last messages is safe.
bool PinModule() {
    HMODULE self = nullptr;
    return GetModuleHandleExW(
               GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
               reinterpret_cast<LPCWSTR>(&__ImageBase), &self) != FALSE;
}

std::uint32_t SizeOrZero(int sizeBytes) {
    return sizeBytes > 0 ? static_cast<std::uint32_t>(sizeBytes) : 0;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        delete g_state;
        g_state = nullptr;
    }
    return TRUE;
}

extern "C" {

int WINAPI InitDriver(HWND window, DeviceSpec* specs, int count) {
    return Guarded([&](portivo::DeviceAccess& access) {
        if (!access.Register(reinterpret_cast<std::uintptr_t>(window), specs, count)) return 0;
        // Without the window there is no change watch, but the search still runs. A module
        // that cannot be pinned gets no window rather than one that could outlive its code.
        if (PinModule())
            portivo::CreateNotifyWindow(reinterpret_cast<HINSTANCE>(&__ImageBase), access);
        access.InitialSearch();
        return 1;
    });
}

int WINAPI SetKbdFeatures(int vid, int pid, int page, int usage, BYTE* report) {
    return Guarded([&](portivo::DeviceAccess& access) {
        return access.SetKbdFeatures(vid, pid, page, usage, report);
    });
}

int WINAPI GetKbdFeatures(int vid, int pid, int page, int usage, BYTE* buffer) {
    return Guarded([&](portivo::DeviceAccess& access) {
        return access.GetKbdFeatures(vid, pid, page, usage, buffer);
    });
}

int WINAPI GetIndexStr(int vid, int pid, int page, int usage, int index, WCHAR* buffer,
                       int sizeBytes) {
    return Guarded([&](portivo::DeviceAccess& access) {
        return access.GetString(portivo::StringKind::kIndexed, vid, pid, page, usage,
                                static_cast<std::uint32_t>(index), buffer, SizeOrZero(sizeBytes));
    });
}

int WINAPI GetManufacturerStr(int vid, int pid, int page, int usage, WCHAR* buffer, int sizeBytes) {
    return Guarded([&](portivo::DeviceAccess& access) {
        return access.GetString(portivo::StringKind::kManufacturer, vid, pid, page, usage, 0,
                                buffer, SizeOrZero(sizeBytes));
    });
}

int WINAPI GetProductStr(int vid, int pid, int page, int usage, WCHAR* buffer, int sizeBytes) {
    return Guarded([&](portivo::DeviceAccess& access) {
        return access.GetString(portivo::StringKind::kProduct, vid, pid, page, usage, 0, buffer,
                                SizeOrZero(sizeBytes));
    });
}

int WINAPI GetSerialNumStr(int vid, int pid, int page, int usage, WCHAR* buffer, int sizeBytes) {
    return Guarded([&](portivo::DeviceAccess& access) {
        return access.GetString(portivo::StringKind::kSerialNumber, vid, pid, page, usage, 0,
                                buffer, SizeOrZero(sizeBytes));
    });
}

int WINAPI GetPhysicalDesc(int vid, int pid, int page, int usage, BYTE* buffer, int sizeBytes) {
    return Guarded([&](portivo::DeviceAccess& access) {
        return access.GetString(portivo::StringKind::kPhysicalDescriptor, vid, pid, page, usage, 0,
                                buffer, SizeOrZero(sizeBytes));
    });
}

int WINAPI GetFirmwareVer(int vid, int pid, int page, int usage, int* version) {
    return Guarded([&](portivo::DeviceAccess& access) {
        return access.GetFirmwareVer(vid, pid, page, usage,
                                     reinterpret_cast<std::uint32_t*>(version));
    });
}

}  // extern "C"
