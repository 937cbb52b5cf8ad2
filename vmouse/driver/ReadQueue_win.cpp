// Input reports leave the mouse by completing hidclass's pending read requests.
#include "vmouse/driver/DriverState.h"

namespace vmdriver {
namespace {

void NTAPI CancelRead(PDEVICE_OBJECT, PIRP irp) {
    IoReleaseCancelSpinLock(irp->CancelIrql);
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    RemoveEntryList(&irp->Tail.Overlay.ListEntry);
    InitializeListHead(&irp->Tail.Overlay.ListEntry);
    KeReleaseSpinLock(&gShared.lock, irql);
    irp->IoStatus.Status = STATUS_CANCELLED;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
}

// Takes the first waiting read whose cancel routine has not started; nullptr when none.
PIRP PopRead(MiniExtension* ext) {
    while (!IsListEmpty(&ext->pendingReads)) {
        PLIST_ENTRY entry = RemoveHeadList(&ext->pendingReads);
        InitializeListHead(entry);
        PIRP irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        if (IoSetCancelRoutine(irp, nullptr) != nullptr) return irp;
        // Being cancelled: the cancel routine completes it.
    }
    return nullptr;
}

MiniExtension* InputTargetLocked() {
    for (MiniExtension* ext : gShared.devices) {
        if (ext != nullptr && ext->started && !ext->removed &&
            (ext->role == vmouse::DeviceRole::WriteCollection ||
             ext->role == vmouse::DeviceRole::Combined))
            return ext;
    }
    return nullptr;
}

}  // namespace

NTSTATUS QueueRead(MiniExtension* ext, PIRP irp) {
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    if (ext->removed) {
        KeReleaseSpinLock(&gShared.lock, irql);
        irp->IoStatus.Status = STATUS_DELETE_PENDING;
        irp->IoStatus.Information = 0;
        IoCompleteRequest(irp, IO_NO_INCREMENT);
        return STATUS_DELETE_PENDING;
    }
    IoSetCancelRoutine(irp, CancelRead);
    if (irp->Cancel && IoSetCancelRoutine(irp, nullptr) != nullptr) {
        KeReleaseSpinLock(&gShared.lock, irql);
        irp->IoStatus.Status = STATUS_CANCELLED;
        irp->IoStatus.Information = 0;
        IoCompleteRequest(irp, IO_NO_INCREMENT);
        return STATUS_CANCELLED;
    }
    IoMarkIrpPending(irp);
    InsertTailList(&ext->pendingReads, &irp->Tail.Overlay.ListEntry);
    KeReleaseSpinLock(&gShared.lock, irql);
    DeliverInputs();
    return STATUS_PENDING;
}

void DeliverInputs() {
    LIST_ENTRY done;
    InitializeListHead(&done);
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    gShared.mouse.Poll();
    MiniExtension* target = InputTargetLocked();
    vmouse::InputReport report{};
    if (target == nullptr) {
        // Nobody listens while the mouse is unplugged: what it sends then is gone, as on a wire.
        while (gShared.mouse.TakeInput(report)) {
        }
    } else {
        while (gShared.mouse.PendingInputs() > 0) {
            PIRP irp = PopRead(target);
            if (irp == nullptr) break;
            gShared.mouse.TakeInput(report);
            PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
            auto* out = static_cast<uint8_t*>(irp->UserBuffer);
            if (out != nullptr &&
                stack->Parameters.DeviceIoControl.OutputBufferLength >= vmouse::kInputReportSize) {
                for (size_t i = 0; i < vmouse::kInputReportSize; ++i) out[i] = report.bytes[i];
                irp->IoStatus.Status = STATUS_SUCCESS;
                irp->IoStatus.Information = vmouse::kInputReportSize;
            } else {
                irp->IoStatus.Status = STATUS_BUFFER_TOO_SMALL;
                irp->IoStatus.Information = 0;
            }
            InsertTailList(&done, &irp->Tail.Overlay.ListEntry);
        }
    }
    KeReleaseSpinLock(&gShared.lock, irql);
    while (!IsListEmpty(&done)) {
        PLIST_ENTRY entry = RemoveHeadList(&done);
        IoCompleteRequest(CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry), IO_NO_INCREMENT);
    }
}

void CompleteReads(MiniExtension* only, NTSTATUS status) {
    LIST_ENTRY done;
    InitializeListHead(&done);
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    for (MiniExtension* ext : gShared.devices) {
        if (ext == nullptr || (only != nullptr && ext != only)) continue;
        while (PIRP irp = PopRead(ext)) {
            irp->IoStatus.Status = status;
            irp->IoStatus.Information = 0;
            InsertTailList(&done, &irp->Tail.Overlay.ListEntry);
        }
    }
    KeReleaseSpinLock(&gShared.lock, irql);
    while (!IsListEmpty(&done)) {
        PLIST_ENTRY entry = RemoveHeadList(&done);
        IoCompleteRequest(CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry), IO_NO_INCREMENT);
    }
}

}  // namespace vmdriver
