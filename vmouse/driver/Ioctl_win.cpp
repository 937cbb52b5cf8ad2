// What hidclass asks of the minidriver: descriptors, attributes, strings, reads and features.
#include "common/DeviceIds.h"

#include "vmouse/model/ControlProtocol.h"
#include "vmouse/driver/DriverState.h"

namespace vmdriver {
namespace {

constexpr wchar_t kManufacturer[] = L"Tavrine";
constexpr wchar_t kProduct[] = L"Tavrine KVR-5502 Gaming Mouse";
constexpr wchar_t kControlProduct[] = L"Tavrine virtual mouse control";
constexpr wchar_t kSerialNumber[] = L"VM5502-000001";

template <size_t N>
NTSTATUS CopyString(const wchar_t (&text)[N], void* out, ULONG size, ULONG_PTR& written) {
    const ULONG bytes = static_cast<ULONG>(N * sizeof(wchar_t));  // terminator included
    if (out == nullptr || size < bytes) return STATUS_BUFFER_TOO_SMALL;
    auto* dst = static_cast<wchar_t*>(out);
    for (size_t i = 0; i < N; ++i) dst[i] = text[i];
    written = bytes;
    return STATUS_SUCCESS;
}

NTSTATUS GetString(const MiniExtension* ext, ULONG id, void* out, ULONG size, ULONG_PTR& written) {
    // Windows numbers the strings 14, 15, 16; Wine 8.0's hidclass sends 1, 2, 3.
    if (id >= 1 && id <= 3) id += hidport::kStringIdManufacturer - 1;
    switch (id) {
        case hidport::kStringIdManufacturer:
            return CopyString(kManufacturer, out, size, written);
        case hidport::kStringIdProduct:
            return ext->role == vmouse::DeviceRole::Control
                       ? CopyString(kControlProduct, out, size, written)
                       : CopyString(kProduct, out, size, written);
        case hidport::kStringIdSerialNumber:
            return CopyString(kSerialNumber, out, size, written);
        default:
            return STATUS_INVALID_PARAMETER;
    }
}

// Which collection a feature report belongs to on this device object.
enum class Target { Mouse, Control, None };

Target FeatureTarget(const MiniExtension* ext, UCHAR reportId, uint16_t& usagePage,
                     uint16_t& usage) {
    usagePage = vmouse::kVendorUsagePage;
    switch (ext->role) {
        case vmouse::DeviceRole::WriteCollection:
            usage = vmouse::kWriteUsage;
            return Target::Mouse;
        case vmouse::DeviceRole::ReadCollection:
            usage = vmouse::kReadUsage;
            return Target::Mouse;
        case vmouse::DeviceRole::Control:
            return reportId == vmouse::kControlReportId ? Target::Control : Target::None;
        case vmouse::DeviceRole::Combined:
            if (reportId == vmouse::kControlReportId) return Target::Control;
            if (reportId == vmouse::kWriteReportId) {
                usage = vmouse::kWriteUsage;
                return Target::Mouse;
            }
            if (reportId == vmouse::kReadReportId) {
                usage = vmouse::kReadUsage;
                return Target::Mouse;
            }
            // Unknown ids still reach the model, so they are refused there and traced.
            usage = vmouse::kWriteUsage;
            return Target::Mouse;
    }
    return Target::None;
}

NTSTATUS SetFeature(const MiniExtension* ext, PIRP irp) {
    auto* packet = static_cast<hidport::XferPacket*>(irp->UserBuffer);
    if (packet == nullptr || packet->reportBuffer == nullptr) return STATUS_INVALID_PARAMETER;
    uint16_t page = 0, usage = 0;
    const Target target = FeatureTarget(ext, packet->reportId, page, usage);
    if (target == Target::None) return STATUS_INVALID_PARAMETER;
    bool accepted = true;
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    if (target == Target::Control) {
        vmouse::HandleControlRequest(gShared.mouse, packet->reportBuffer, packet->reportBufferLen,
                                     HostFlagsLocked(), gShared.controlAnswer);
    } else {
        accepted =
            gShared.mouse.SetFeature(page, usage, packet->reportBuffer, packet->reportBufferLen);
    }
    KeReleaseSpinLock(&gShared.lock, irql);
    DeliverInputs();
    // Stored before the report completes: a change the sender has seen taken is never lost to
    // Wine stopping before the worker's next tick.
    PersistIfChanged();
    if (!accepted) return STATUS_UNSUCCESSFUL;  // the device stalls the transfer it refuses
    irp->IoStatus.Information = packet->reportBufferLen;
    return STATUS_SUCCESS;
}

NTSTATUS GetFeature(const MiniExtension* ext, PIRP irp) {
    auto* packet = static_cast<hidport::XferPacket*>(irp->UserBuffer);
    if (packet == nullptr || packet->reportBuffer == nullptr) return STATUS_INVALID_PARAMETER;
    uint16_t page = 0, usage = 0;
    const Target target = FeatureTarget(ext, packet->reportId, page, usage);
    if (target == Target::None) return STATUS_INVALID_PARAMETER;
    NTSTATUS status = STATUS_SUCCESS;
    ULONG length = 0;
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    if (target == Target::Control) {
        if (packet->reportBufferLen < vmouse::kControlReportSize) {
            status = STATUS_BUFFER_TOO_SMALL;
        } else {
            for (size_t i = 0; i < vmouse::kControlReportSize; ++i)
                packet->reportBuffer[i] = gShared.controlAnswer[i];
            length = vmouse::kControlReportSize;
        }
    } else {
        if (packet->reportBufferLen > 0) packet->reportBuffer[0] = packet->reportId;
        if (gShared.mouse.GetFeature(page, usage, packet->reportBuffer, packet->reportBufferLen))
            length = vmouse::kFeatureReportSize;
        else
            status = STATUS_UNSUCCESSFUL;
    }
    KeReleaseSpinLock(&gShared.lock, irql);
    DeliverInputs();
    irp->IoStatus.Information = length;
    return status;
}

}  // namespace

NTSTATUS DispatchInternalIoctl(PDEVICE_OBJECT fdo, PIRP irp) {
    MiniExtension* ext = MiniOf(fdo);
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG outSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
    void* out = irp->UserBuffer;
    NTSTATUS status = STATUS_NOT_SUPPORTED;
    irp->IoStatus.Information = 0;

    switch (code) {
        case hidport::kGetDeviceDescriptor: {
            if (out == nullptr || outSize < sizeof(hidport::Descriptor)) {
                status = STATUS_BUFFER_TOO_SMALL;
                break;
            }
            hidport::Descriptor d{};
            d.bLength = sizeof d;
            d.bDescriptorType = hidport::kHidDescriptorType;
            d.bcdHID = 0x0111;
            d.bNumDescriptors = 1;
            d.bReportType = hidport::kReportDescriptorType;
            d.wReportLength = static_cast<USHORT>(vmouse::ReportDescriptorSize(ext->role));
            *static_cast<hidport::Descriptor*>(out) = d;
            irp->IoStatus.Information = sizeof d;
            status = STATUS_SUCCESS;
            break;
        }
        case hidport::kGetReportDescriptor: {
            const size_t n =
                vmouse::CopyReportDescriptor(ext->role, static_cast<uint8_t*>(out), outSize);
            status = n == 0 ? STATUS_BUFFER_TOO_SMALL : STATUS_SUCCESS;
            irp->IoStatus.Information = n;
            break;
        }
        case hidport::kGetDeviceAttributes: {
            if (out == nullptr || outSize < sizeof(hidport::DeviceAttributes)) {
                status = STATUS_BUFFER_TOO_SMALL;
                break;
            }
            hidport::DeviceAttributes a{};
            a.Size = sizeof a;
            a.VendorID = common::DeviceVendorId;
            a.ProductID = common::DeviceProductId;
            a.VersionNumber = common::DeviceVersion;
            *static_cast<hidport::DeviceAttributes*>(out) = a;
            irp->IoStatus.Information = sizeof a;
            status = STATUS_SUCCESS;
            break;
        }
        case hidport::kGetString: {
            const auto id = static_cast<ULONG>(
                reinterpret_cast<ULONG_PTR>(stack->Parameters.DeviceIoControl.Type3InputBuffer) &
                0xFFFF);
            status = GetString(ext, id, out, outSize, irp->IoStatus.Information);
            break;
        }
        case hidport::kGetIndexedString: {
            // USB-style string indices: 1 manufacturer, 2 product, 3 serial number.
            const auto index = static_cast<ULONG>(
                reinterpret_cast<ULONG_PTR>(stack->Parameters.DeviceIoControl.Type3InputBuffer) &
                0xFFFF);
            void* target = irp->MdlAddress != nullptr
                               ? MmGetSystemAddressForMdlSafe(irp->MdlAddress, NormalPagePriority)
                               : out;
            if (index >= 1 && index <= 3)
                status = GetString(ext, index, target, outSize, irp->IoStatus.Information);
            else
                status = STATUS_INVALID_PARAMETER;
            break;
        }
        case hidport::kReadReport:
            return QueueRead(ext, irp);
        case hidport::kSetFeature:
            status = SetFeature(ext, irp);
            break;
        case hidport::kGetFeature:
            status = GetFeature(ext, irp);
            break;
        case hidport::kActivateDevice:
        case hidport::kDeactivateDevice:
            status = STATUS_SUCCESS;
            break;
        default:
            break;  // no output reports, no idle notification
    }
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

}  // namespace vmdriver
