// Entry, device life cycle and the worker thread of the virtual mouse's HID minidriver.
#include "vmouse/model/ControlProtocol.h"
#include "vmouse/driver/DriverState.h"

namespace vmdriver {

constinit Shared gShared;

namespace {

constexpr LONGLONG kTickMs = 10;
// hidclass (Wine 8.0) removes a collection only after its read thread has come back from the
// read it keeps pending here, so waiting reads are handed back this often and re-sent by it.
constexpr unsigned kRecycleReadsTicks = 5;

HANDLE gWorker = nullptr;
volatile uint32_t gLastTickMs = 0;
KEVENT gStop;

// The performance counter: Wine 8.0's KeQueryInterruptTime does not count in 100 ns units.
uint32_t ClockMs(void*) {
    LARGE_INTEGER frequency;
    const LARGE_INTEGER now = KeQueryPerformanceCounter(&frequency);
    if (frequency.QuadPart <= 0) return 0;
    return static_cast<uint32_t>(static_cast<ULONGLONG>(now.QuadPart) * 1000 /
                                 static_cast<ULONGLONG>(frequency.QuadPart));
}

void NTAPI Worker(PVOID) {
    LARGE_INTEGER timeout;
    timeout.QuadPart = -10000 * kTickMs;
    unsigned tick = 0;
    while (KeWaitForSingleObject(&gStop, Executive, KernelMode, FALSE, &timeout) ==
           STATUS_TIMEOUT) {
        gLastTickMs = ClockMs(nullptr);
        DeliverInputs();  // also releases acknowledgements the delay fault held back
        if (++tick % kRecycleReadsTicks == 0) CompleteReads(nullptr, STATUS_DEVICE_NOT_READY);
        PersistIfChanged();  // the only writer of the stored image while it runs
    }
    PsTerminateSystemThread(STATUS_SUCCESS);
}

NTSTATUS NTAPI ForwardDone(PDEVICE_OBJECT, PIRP, PVOID context) {
    KeSetEvent(static_cast<PKEVENT>(context), IO_NO_INCREMENT, FALSE);
    return STATUS_MORE_PROCESSING_REQUIRED;
}

// Passes an IRP down, waits for it and completes it here.
NTSTATUS ForwardAndWait(PDEVICE_OBJECT fdo, PIRP irp) {
    KEVENT done;
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    IoCopyCurrentIrpStackLocationToNext(irp);
    IoSetCompletionRoutine(irp, ForwardDone, &done, TRUE, TRUE, TRUE);
    if (IoCallDriver(LowerOf(fdo), irp) == STATUS_PENDING)
        KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, nullptr);
    const NTSTATUS status = irp->IoStatus.Status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

NTSTATUS PassDown(PDEVICE_OBJECT fdo, PIRP irp) {
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(LowerOf(fdo), irp);
}

// The device id of the PDO below, e.g. ROOT\VID_1D57&PID_5502&COL01, chooses the collection.
vmouse::DeviceRole QueryRole(PDEVICE_OBJECT pdo) {
    KEVENT done;
    IO_STATUS_BLOCK io{};
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    PIRP irp = IoBuildSynchronousFsdRequest(IRP_MJ_PNP, pdo, nullptr, 0, nullptr, &done, &io);
    if (irp == nullptr) return vmouse::DeviceRole::Combined;
    irp->IoStatus.Status = STATUS_NOT_SUPPORTED;
    PIO_STACK_LOCATION stack = IoGetNextIrpStackLocation(irp);
    stack->MinorFunction = IRP_MN_QUERY_ID;
    stack->Parameters.QueryId.IdType = BusQueryDeviceID;
    if (IoCallDriver(pdo, irp) == STATUS_PENDING)
        KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, nullptr);
    if (!NT_SUCCESS(io.Status) || io.Information == 0) return vmouse::DeviceRole::Combined;
    auto* id = reinterpret_cast<wchar_t*>(io.Information);
    const vmouse::DeviceRole role = vmouse::RoleFromDeviceId(id, 200);
    ExFreePool(id);
    return role;
}

NTSTATUS NTAPI AddDevice(PDRIVER_OBJECT, PDEVICE_OBJECT fdo) {
    MiniExtension* ext = MiniOf(fdo);
    ext->role = QueryRole(
        static_cast<hidport::DeviceExtension*>(fdo->DeviceExtension)->PhysicalDeviceObject);
    ext->started = false;
    ext->removed = false;
    ext->fdo = fdo;
    InitializeListHead(&ext->pendingReads);
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    bool placed = false;
    for (MiniExtension*& slot : gShared.devices) {
        if (slot == nullptr) {
            slot = ext;
            placed = true;
            break;
        }
    }
    KeReleaseSpinLock(&gShared.lock, irql);
    if (!placed) return STATUS_INSUFFICIENT_RESOURCES;
    fdo->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

void SetStarted(MiniExtension* ext, bool started, bool removed) {
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    ext->started = started;
    ext->removed = removed;
    KeReleaseSpinLock(&gShared.lock, irql);
}

void Forget(MiniExtension* ext) {
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    for (MiniExtension*& slot : gShared.devices) {
        if (slot == ext) slot = nullptr;
    }
    KeReleaseSpinLock(&gShared.lock, irql);
}

NTSTATUS NTAPI DispatchPnp(PDEVICE_OBJECT fdo, PIRP irp) {
    MiniExtension* ext = MiniOf(fdo);
    switch (IoGetCurrentIrpStackLocation(irp)->MinorFunction) {
        case IRP_MN_START_DEVICE: {
            const NTSTATUS status = ForwardAndWait(fdo, irp);
            if (NT_SUCCESS(status)) SetStarted(ext, true, false);
            return status;
        }
        case IRP_MN_SURPRISE_REMOVAL:
            SetStarted(ext, false, true);
            CompleteReads(ext, STATUS_DELETE_PENDING);
            irp->IoStatus.Status = STATUS_SUCCESS;
            return PassDown(fdo, irp);
        case IRP_MN_REMOVE_DEVICE:
            SetStarted(ext, false, true);
            CompleteReads(ext, STATUS_DELETE_PENDING);
            Forget(ext);
            irp->IoStatus.Status = STATUS_SUCCESS;
            return PassDown(fdo, irp);
        default:
            return PassDown(fdo, irp);
    }
}

NTSTATUS NTAPI DispatchPower(PDEVICE_OBJECT fdo, PIRP irp) {
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(LowerOf(fdo), irp);
}

NTSTATUS NTAPI DispatchInternal(PDEVICE_OBJECT fdo, PIRP irp) {
    return DispatchInternalIoctl(fdo, irp);
}

void NTAPI Unload(PDRIVER_OBJECT) {
    KeSetEvent(&gStop, IO_NO_INCREMENT, FALSE);
    if (gWorker != nullptr) {
        ZwWaitForSingleObject(gWorker, FALSE, nullptr);
        ZwClose(gWorker);
        gWorker = nullptr;
    }
    PersistIfChanged();
}

}  // namespace

uint32_t HostFlagsLocked() {
    uint32_t flags = gShared.hostFlags;
    if (gLastTickMs != 0 && ClockMs(nullptr) - gLastTickMs < 500) flags |= vmouse::kHostWorkerAlive;
    for (const MiniExtension* ext : gShared.devices) {
        if (ext == nullptr || !ext->started) continue;
        if (ext->role == vmouse::DeviceRole::WriteCollection) flags |= vmouse::kHostWriteStarted;
        if (ext->role == vmouse::DeviceRole::ReadCollection) flags |= vmouse::kHostReadStarted;
        if (ext->role == vmouse::DeviceRole::Combined) flags |= vmouse::kHostCombinedStarted;
    }
    return flags;
}

}  // namespace vmdriver

extern "C" NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    using namespace vmdriver;
    KeInitializeSpinLock(&gShared.lock);
    gShared.mouse.SetClock(ClockMs, nullptr);
    InitEepromStore(registryPath);
    static uint8_t image[vmouse::kEepromSize];
    if (LoadEepromImage(image, sizeof image) && gShared.mouse.LoadEeprom(image, sizeof image))
        gShared.hostFlags |= vmouse::kHostEepromLoaded;
    PersistIfChanged();

    KeInitializeEvent(&gStop, NotificationEvent, FALSE);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, nullptr, OBJ_KERNEL_HANDLE, nullptr, nullptr);
    if (!NT_SUCCESS(PsCreateSystemThread(&gWorker, THREAD_ALL_ACCESS, &attributes, nullptr, nullptr,
                                         Worker, nullptr)))
        gWorker = nullptr;

    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = DispatchInternal;
    driver->MajorFunction[IRP_MJ_PNP] = DispatchPnp;
    driver->MajorFunction[IRP_MJ_POWER] = DispatchPower;
    driver->DriverExtension->AddDevice = AddDevice;
    driver->DriverUnload = Unload;

    hidport::MinidriverRegistration registration{};
    registration.Revision = hidport::kHidRevision;
    registration.DriverObject = driver;
    registration.RegistryPath = registryPath;
    registration.DeviceExtensionSize = sizeof(MiniExtension);
    registration.DevicesArePolled = FALSE;
    return HidRegisterMinidriver(&registration);
}
