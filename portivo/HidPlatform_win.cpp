#include "portivo/HidPlatform_win.h"

#include "common/HidHeaders_win.h"

#include <cstdlib>
#include <memory>

namespace portivo {
namespace {

HANDLE ToHandle(DeviceHandle handle) { return reinterpret_cast<HANDLE>(handle); }

const wchar_t* AsWide(const Path& path) { return reinterpret_cast<const wchar_t*>(path.c_str()); }

constexpr NTSTATUS kHidpStatusSuccess = 0x00110000;

}  // namespace

bool Win32HidPlatform::BeginInterfaceSet() {
    HidD_GetHidGuid(&hidGuid_);
    set_ = SetupDiGetClassDevsW(&hidGuid_, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    return set_ != INVALID_HANDLE_VALUE;
}

InterfaceResult Win32HidPlatform::InterfaceAt(std::uint32_t index, Path& path) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (!SetupDiEnumDeviceInterfaces(set_, nullptr, &hidGuid_, index, &data)) {
        return GetLastError() == ERROR_NO_MORE_ITEMS ? InterfaceResult::kNoMoreItems
                                                     : InterfaceResult::kEnumFailed;
    }
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(set_, &data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return InterfaceResult::kDetailFailed;
    std::unique_ptr<void, decltype(&std::free)> memory(std::malloc(required), &std::free);
    if (!memory) return InterfaceResult::kDetailFailed;
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(memory.get());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);  // 6 in a 32-bit process
    if (!SetupDiGetDeviceInterfaceDetailW(set_, &data, detail, required, nullptr, nullptr)) {
        return InterfaceResult::kDetailFailed;
    }
    // The path is bounded by what the system allocated for it, terminated or not.
    const auto* begin = reinterpret_cast<const char16_t*>(detail->DevicePath);
    const std::size_t maxUnits =
        (required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(char16_t);
    std::size_t length = 0;
    while (length < maxUnits && begin[length] != 0) ++length;
    path.assign(begin, length);
    return InterfaceResult::kFound;
}

void Win32HidPlatform::EndInterfaceSet() {
    if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
    set_ = INVALID_HANDLE_VALUE;
}

DeviceHandle Win32HidPlatform::Open(const Path& path, OpenMode mode) {
    const DWORD access = mode == OpenMode::kQuery ? 0 : GENERIC_READ | GENERIC_WRITE;
    HANDLE handle = CreateFileW(AsWide(path), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return kNoHandle;
    return reinterpret_cast<DeviceHandle>(handle);
}

void Win32HidPlatform::Close(DeviceHandle handle) { CloseHandle(ToHandle(handle)); }

bool Win32HidPlatform::QueryCollection(DeviceHandle handle, CollectionInfo& info) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(ToHandle(handle), &preparsed)) return false;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;  // 12
    HIDP_CAPS caps{};
    const bool ok = HidD_GetAttributes(ToHandle(handle), &attributes) &&
                    HidP_GetCaps(preparsed, &caps) == kHidpStatusSuccess;
    HidD_FreePreparsedData(preparsed);
    if (!ok) return false;
    info.vendorId = attributes.VendorID;
    info.productId = attributes.ProductID;
    info.version = attributes.VersionNumber;
    info.usagePage = caps.UsagePage;
    info.usage = caps.Usage;
    info.featureReportLength = caps.FeatureReportByteLength;
    return true;
}

bool Win32HidPlatform::SetFeature(DeviceHandle handle, const std::uint8_t* report,
                                  std::size_t length) {
    // HidD_SetFeature takes a non-const buffer but only reads it.
    return HidD_SetFeature(ToHandle(handle), const_cast<std::uint8_t*>(report),
                           static_cast<ULONG>(length));
}

bool Win32HidPlatform::GetFeature(DeviceHandle handle, std::uint8_t* buffer, std::size_t length) {
    return HidD_GetFeature(ToHandle(handle), buffer, static_cast<ULONG>(length));
}

bool Win32HidPlatform::GetString(DeviceHandle handle, StringKind kind, std::uint32_t index,
                                 void* buffer, std::uint32_t size) {
    HANDLE h = ToHandle(handle);
    switch (kind) {
        case StringKind::kIndexed:
            return HidD_GetIndexedString(h, index, buffer, size);
        case StringKind::kManufacturer:
            return HidD_GetManufacturerString(h, buffer, size);
        case StringKind::kProduct:
            return HidD_GetProductString(h, buffer, size);
        case StringKind::kSerialNumber:
            return HidD_GetSerialNumberString(h, buffer, size);
        case StringKind::kPhysicalDescriptor:
            return HidD_GetPhysicalDescriptor(h, buffer, size);
    }
    return false;
}

void Win32HidPlatform::Post(std::uintptr_t window, std::uint32_t message, std::uint32_t wParam) {
    PostMessageW(reinterpret_cast<HWND>(window), message, static_cast<WPARAM>(wParam), 0);
}

void Win32HidPlatform::Debug(const std::u16string& text) {
    OutputDebugStringW(reinterpret_cast<const wchar_t*>(text.c_str()));
}

}  // namespace portivo
