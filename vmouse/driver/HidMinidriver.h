#pragma once
// The HID minidriver interface. mingw-w64 has no hidport.h, and its ddk/hidclass.h gives the
// minidriver IOCTLs wrong values, so the documented definitions are declared here.
// In C++ the compiler's intrinsics and wdm.h both define these two; keep wdm.h's.
#define __INTRINSIC_DEFINED_InterlockedBitTestAndSet
#define __INTRINSIC_DEFINED_InterlockedBitTestAndReset
#include <ntddk.h>

namespace hidport {

constexpr ULONG CtlCode(ULONG function, ULONG method) {
    return (FILE_DEVICE_KEYBOARD << 16) | (FILE_ANY_ACCESS << 14) | (function << 2) | method;
}

constexpr ULONG kGetDeviceDescriptor = CtlCode(0, METHOD_NEITHER);
constexpr ULONG kGetReportDescriptor = CtlCode(1, METHOD_NEITHER);
constexpr ULONG kReadReport = CtlCode(2, METHOD_NEITHER);
constexpr ULONG kWriteReport = CtlCode(3, METHOD_NEITHER);
constexpr ULONG kGetString = CtlCode(4, METHOD_NEITHER);
constexpr ULONG kActivateDevice = CtlCode(7, METHOD_NEITHER);
constexpr ULONG kDeactivateDevice = CtlCode(8, METHOD_NEITHER);
constexpr ULONG kGetDeviceAttributes = CtlCode(9, METHOD_NEITHER);
constexpr ULONG kSendIdleNotification = CtlCode(10, METHOD_NEITHER);
constexpr ULONG kGetFeature = CtlCode(100, METHOD_OUT_DIRECT);
constexpr ULONG kSetFeature = CtlCode(100, METHOD_IN_DIRECT);
constexpr ULONG kGetInputReport = CtlCode(104, METHOD_OUT_DIRECT);
constexpr ULONG kGetIndexedString = CtlCode(120, METHOD_OUT_DIRECT);

constexpr ULONG kStringIdManufacturer = 14;
constexpr ULONG kStringIdProduct = 15;
constexpr ULONG kStringIdSerialNumber = 16;

constexpr ULONG kHidRevision = 1;

struct MinidriverRegistration {
    ULONG Revision;
    PDRIVER_OBJECT DriverObject;
    PUNICODE_STRING RegistryPath;
    ULONG DeviceExtensionSize;
    BOOLEAN DevicesArePolled;
    UCHAR Reserved[3];
};

// What hidclass keeps in the device extension of the device object it gives the minidriver.
struct DeviceExtension {
    PDEVICE_OBJECT PhysicalDeviceObject;
    PDEVICE_OBJECT NextDeviceObject;
    PVOID MiniDeviceExtension;
};

struct DeviceAttributes {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
    USHORT Reserved[11];
};

#pragma pack(push, 1)
struct Descriptor {
    UCHAR bLength;
    UCHAR bDescriptorType;
    USHORT bcdHID;
    UCHAR bCountry;
    UCHAR bNumDescriptors;
    UCHAR bReportType;
    USHORT wReportLength;
};
#pragma pack(pop)
static_assert(sizeof(Descriptor) == 9, "HID descriptor is 9 packed bytes");

struct XferPacket {
    PUCHAR reportBuffer;
    ULONG reportBufferLen;
    UCHAR reportId;
};

constexpr UCHAR kHidDescriptorType = 0x21;
constexpr UCHAR kReportDescriptorType = 0x22;

}  // namespace hidport

extern "C" NTSTATUS NTAPI HidRegisterMinidriver(hidport::MinidriverRegistration* registration);
// Exported by the kernel, declared only in ntifs.h.
extern "C" NTSYSAPI NTSTATUS NTAPI ZwWaitForSingleObject(HANDLE handle, BOOLEAN alertable,
                                                         PLARGE_INTEGER timeout);
