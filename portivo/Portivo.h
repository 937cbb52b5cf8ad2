#pragma once
// Portivo.dll's exports. Both programs bind ordinals 2, 3 and 4; every export also has its name.
#include <windows.h>

#include "portivo/DeviceSpec.h"

extern "C" {

int WINAPI InitDriver(HWND window, DeviceSpec* specs, int count);                // @2
int WINAPI SetKbdFeatures(int vid, int pid, int page, int usage, BYTE* report);  // @3
int WINAPI GetKbdFeatures(int vid, int pid, int page, int usage, BYTE* buffer);  // @4
int WINAPI GetIndexStr(int vid, int pid, int page, int usage, int index, WCHAR* buffer,
                       int sizeBytes);  // @5
int WINAPI GetManufacturerStr(int vid, int pid, int page, int usage, WCHAR* buffer,
                              int sizeBytes);  // @6
int WINAPI GetProductStr(int vid, int pid, int page, int usage, WCHAR* buffer,
                         int sizeBytes);  // @7
int WINAPI GetSerialNumStr(int vid, int pid, int page, int usage, WCHAR* buffer,
                           int sizeBytes);  // @8
int WINAPI GetPhysicalDesc(int vid, int pid, int page, int usage, BYTE* buffer,
                           int sizeBytes);                                       // @9
int WINAPI GetFirmwareVer(int vid, int pid, int page, int usage, int* version);  // @10

}  // extern "C"

namespace portivo {

// For callers that bind by ordinal at run time.
using InitDriverFn = int(WINAPI*)(HWND, DeviceSpec*, int);
using FeatureFn = int(WINAPI*)(int, int, int, int, BYTE*);
using IndexStrFn = int(WINAPI*)(int, int, int, int, int, WCHAR*, int);
using StringFn = int(WINAPI*)(int, int, int, int, WCHAR*, int);
using PhysicalDescFn = int(WINAPI*)(int, int, int, int, BYTE*, int);
using FirmwareVerFn = int(WINAPI*)(int, int, int, int, int*);

// GetProcAddress by ordinal, typed; nullptr when the export is missing.
template <typename Fn>
Fn BindOrdinal(HMODULE library, WORD ordinal) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal))));
}

enum Ordinal : WORD {
    kOrdInitDriver = 2,
    kOrdSetKbdFeatures = 3,
    kOrdGetKbdFeatures = 4,
    kOrdGetIndexStr = 5,
    kOrdGetManufacturerStr = 6,
    kOrdGetProductStr = 7,
    kOrdGetSerialNumStr = 8,
    kOrdGetPhysicalDesc = 9,
    kOrdGetFirmwareVer = 10,
};

}  // namespace portivo
