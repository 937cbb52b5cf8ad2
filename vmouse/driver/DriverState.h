#pragma once
// State shared by the parts of the driver: one mouse model behind one lock, and the device
// objects that serve its collections (one per collection in Wine 8.0, one for all elsewhere).
#include "vmouse/driver/HidMinidriver.h"
#include "vmouse/model/ReportDescriptors.h"
#include "vmouse/model/VirtualMouse.h"

namespace vmdriver {

struct MiniExtension {
    vmouse::DeviceRole role;
    bool started;
    bool removed;
    LIST_ENTRY pendingReads;  // IOCTL_HID_READ_REPORT requests waiting for an input report
    PDEVICE_OBJECT fdo;
};

constexpr size_t kMaxDevices = 8;

struct Shared {
    vmouse::VirtualMouse mouse;
    KSPIN_LOCK lock = 0;
    MiniExtension* devices[kMaxDevices] = {};
    uint8_t controlAnswer[vmouse::kControlReportSize] = {};
    uint32_t hostFlags = 0;  // kHostEepromLoaded, kHostPersistFailed
};

// Touched only with lock held (except during DriverEntry, before any device exists).
extern Shared gShared;

inline MiniExtension* MiniOf(PDEVICE_OBJECT fdo) {
    return static_cast<MiniExtension*>(
        static_cast<hidport::DeviceExtension*>(fdo->DeviceExtension)->MiniDeviceExtension);
}
inline PDEVICE_OBJECT LowerOf(PDEVICE_OBJECT fdo) {
    return static_cast<hidport::DeviceExtension*>(fdo->DeviceExtension)->NextDeviceObject;
}

// Which collections are being served, as the control channel reports them. Lock held.
uint32_t HostFlagsLocked();

// Read queue (ReadQueue_win.cpp).
NTSTATUS QueueRead(MiniExtension* ext, PIRP irp);
// Hands queued input reports to waiting reads; discards them while no device takes input.
void DeliverInputs();
// Completes every waiting read of one device (or of all, ext = nullptr) with status.
void CompleteReads(MiniExtension* ext, NTSTATUS status);

// Internal IOCTLs from hidclass (Ioctl_win.cpp).
NTSTATUS DispatchInternalIoctl(PDEVICE_OBJECT fdo, PIRP irp);

// EEPROM image in the service's Parameters key (EepromStore_win.cpp).
void InitEepromStore(PUNICODE_STRING registryPath);
bool LoadEepromImage(uint8_t* image, size_t size);
// Writes the image when it changed: from the worker's tick and, so that nothing taken is lost
// when Wine stops, after each feature report. Callers are serialised by a synchronization event
// (Wine 8.0's kernel mutexes cannot be relied on for that).
void PersistIfChanged();

}  // namespace vmdriver
