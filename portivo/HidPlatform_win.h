#pragma once
// The Win32 side of Portivo's platform: SetupDi, HidD/HidP, device files, posted messages and the
// debug output.
#include <windows.h>
#include <setupapi.h>

#include "portivo/HidPlatform.h"

namespace portivo {

class Win32HidPlatform final : public HidPlatform {
  public:
    bool BeginInterfaceSet() override;
    InterfaceResult InterfaceAt(std::uint32_t index, Path& path) override;
    void EndInterfaceSet() override;

    DeviceHandle Open(const Path& path, OpenMode mode) override;
    void Close(DeviceHandle handle) override;
    bool QueryCollection(DeviceHandle handle, CollectionInfo& info) override;

    bool SetFeature(DeviceHandle handle, const std::uint8_t* report, std::size_t length) override;
    bool GetFeature(DeviceHandle handle, std::uint8_t* buffer, std::size_t length) override;
    bool GetString(DeviceHandle handle, StringKind kind, std::uint32_t index, void* buffer,
                   std::uint32_t size) override;

    void Post(std::uintptr_t window, std::uint32_t message, std::uint32_t wParam) override;
    void Debug(const std::u16string& text) override;

  private:
    HDEVINFO set_ = INVALID_HANDLE_VALUE;
    GUID hidGuid_{};
};

}  // namespace portivo
