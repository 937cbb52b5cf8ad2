#pragma once
// What Portivo needs from the operating system, so that its list and walk rules run (and are
// tested) without Windows. The Win32 implementation is HidPlatform_win.
#include <cstddef>
#include <cstdint>
#include <string>

namespace portivo {

using DeviceHandle = std::uintptr_t;
inline constexpr DeviceHandle kNoHandle = 0;

// Paths are UTF-16 on Windows; the portable core keeps them as char16_t text.
using Path = std::u16string;

struct CollectionInfo {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t version = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint16_t featureReportLength = 0;
};

enum class OpenMode {
    kQuery,      // no access rights: attributes and capabilities only
    kReadWrite,  // reports
};

enum class InterfaceResult {
    kFound,         // path filled in
    kNoMoreItems,   // the set is exhausted
    kEnumFailed,    // this index failed; later ones may still work
    kDetailFailed,  // the interface detail could not be allocated or fetched
};

enum class StringKind { kIndexed, kManufacturer, kProduct, kSerialNumber, kPhysicalDescriptor };

class HidPlatform {
  public:
    virtual ~HidPlatform() = default;

    // The present HID device interfaces, walked by index between Begin and End.
    virtual bool BeginInterfaceSet() = 0;
    virtual InterfaceResult InterfaceAt(std::uint32_t index, Path& path) = 0;
    virtual void EndInterfaceSet() = 0;

    virtual DeviceHandle Open(const Path& path, OpenMode mode) = 0;
    virtual void Close(DeviceHandle handle) = 0;

    // Preparsed data, attributes and capabilities together; false when any of them fails.
    virtual bool QueryCollection(DeviceHandle handle, CollectionInfo& info) = 0;

    virtual bool SetFeature(DeviceHandle handle, const std::uint8_t* report,
                            std::size_t length) = 0;
    virtual bool GetFeature(DeviceHandle handle, std::uint8_t* buffer, std::size_t length) = 0;
    // index is used by kIndexed only; size is in bytes.
    virtual bool GetString(DeviceHandle handle, StringKind kind, std::uint32_t index, void* buffer,
                           std::uint32_t size) = 0;

    virtual void Post(std::uintptr_t window, std::uint32_t message, std::uint32_t wParam) = 0;
    virtual void Debug(const std::u16string& text) = 0;
};

}  // namespace portivo
