// The EEPROM outlives the driver, as a real one outlives power: its image is kept as the binary
// value "Eeprom" of the service's Parameters key.
#include "vmouse/model/ControlProtocol.h"
#include "vmouse/driver/DriverState.h"

namespace vmdriver {
namespace {

constexpr size_t kPathChars = 400;
wchar_t gPathBuffer[kPathChars];
UNICODE_STRING gParametersPath;
constexpr wchar_t kParametersSuffix[] = L"\\Parameters";
wchar_t gValueNameBuffer[] = L"Eeprom";

uint32_t gPersistedGeneration = 0;
// One writer of the stored image at a time: the worker's tick and the report that changed the
// EEPROM both persist. A synchronization event, signalled while free.
KEVENT gPersistLock;
uint8_t gSnapshot[vmouse::kEepromSize];
// Room for KEY_VALUE_PARTIAL_INFORMATION's header and the image.
uint8_t gQueryBuffer[64 + vmouse::kEepromSize];

UNICODE_STRING ValueName() {
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, gValueNameBuffer);
    return name;
}

NTSTATUS OpenParameters(HANDLE& key, bool create) {
    if (gParametersPath.Length == 0) return STATUS_OBJECT_NAME_NOT_FOUND;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &gParametersPath,
                               OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, nullptr, nullptr);
    if (create)
        return ZwCreateKey(&key, KEY_ALL_ACCESS, &attributes, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           nullptr);
    return ZwOpenKey(&key, KEY_READ, &attributes);
}

bool WriteImage(const uint8_t* image, size_t size) {
    HANDLE key = nullptr;
    if (!NT_SUCCESS(OpenParameters(key, true))) return false;
    UNICODE_STRING name = ValueName();
    const NTSTATUS status = ZwSetValueKey(key, &name, 0, REG_BINARY, const_cast<uint8_t*>(image),
                                          static_cast<ULONG>(size));
    ZwClose(key);
    return NT_SUCCESS(status);
}

}  // namespace

void InitEepromStore(PUNICODE_STRING registryPath) {
    KeInitializeEvent(&gPersistLock, SynchronizationEvent, TRUE);
    gParametersPath.Buffer = gPathBuffer;
    gParametersPath.Length = 0;
    gParametersPath.MaximumLength = sizeof gPathBuffer;
    const size_t suffixChars = sizeof kParametersSuffix / sizeof(wchar_t) - 1;
    if (registryPath == nullptr || registryPath->Buffer == nullptr) return;
    const size_t chars = registryPath->Length / sizeof(wchar_t);
    if (chars + suffixChars + 1 > kPathChars) return;  // no persistence rather than a cut path
    for (size_t i = 0; i < chars; ++i) gPathBuffer[i] = registryPath->Buffer[i];
    for (size_t i = 0; i < suffixChars; ++i) gPathBuffer[chars + i] = kParametersSuffix[i];
    gPathBuffer[chars + suffixChars] = L'\0';
    gParametersPath.Length = static_cast<USHORT>((chars + suffixChars) * sizeof(wchar_t));
}

bool LoadEepromImage(uint8_t* image, size_t size) {
    HANDLE key = nullptr;
    if (!NT_SUCCESS(OpenParameters(key, false))) return false;
    UNICODE_STRING name = ValueName();
    ULONG resultLength = 0;
    const NTSTATUS status = ZwQueryValueKey(key, &name, KeyValuePartialInformation, gQueryBuffer,
                                            sizeof gQueryBuffer, &resultLength);
    ZwClose(key);
    if (!NT_SUCCESS(status)) return false;
    const auto* info = reinterpret_cast<const KEY_VALUE_PARTIAL_INFORMATION*>(gQueryBuffer);
    // A value of another type or size is not an image of this EEPROM.
    if (info->Type != REG_BINARY || info->DataLength != size ||
        FIELD_OFFSET(KEY_VALUE_PARTIAL_INFORMATION, Data) + size > sizeof gQueryBuffer)
        return false;
    for (size_t i = 0; i < size; ++i) image[i] = info->Data[i];
    return true;
}

void PersistIfChanged() {
    if (KeGetCurrentIrql() != PASSIVE_LEVEL) return;  // registry calls need passive level
    KeWaitForSingleObject(&gPersistLock, Executive, KernelMode, FALSE, nullptr);
    KIRQL irql;
    KeAcquireSpinLock(&gShared.lock, &irql);
    const uint32_t generation = gShared.mouse.EepromGeneration();
    const bool changed = generation != gPersistedGeneration;
    if (changed) {
        const uint8_t* eeprom = gShared.mouse.Eeprom();
        for (size_t i = 0; i < vmouse::kEepromSize; ++i) gSnapshot[i] = eeprom[i];
    }
    KeReleaseSpinLock(&gShared.lock, irql);
    if (changed) {
        const bool ok = WriteImage(gSnapshot, sizeof gSnapshot);
        if (ok) gPersistedGeneration = generation;
        KeAcquireSpinLock(&gShared.lock, &irql);
        if (ok)
            gShared.hostFlags &= ~vmouse::kHostPersistFailed;
        else
            gShared.hostFlags |= vmouse::kHostPersistFailed;
        KeReleaseSpinLock(&gShared.lock, irql);
    }
    KeSetEvent(&gPersistLock, IO_NO_INCREMENT, FALSE);
}

}  // namespace vmdriver
