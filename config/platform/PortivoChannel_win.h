#pragma once
// DeviceChannel over Portivo.dll's SetKbdFeatures (ordinal 3) and GetKbdFeatures (ordinal 4).
#include <windows.h>

#include <memory>

#include "platform/DeviceChannel.h"

namespace platform {

class PortivoChannel final : public DeviceChannel {
  public:
    // Same signature as the DLL's exports (standard calling convention).
    using FeatureFn = int(WINAPI*)(int, int, int, int, BYTE*);

    // For a program linked to the library at load time: pass its imports.
    PortivoChannel(FeatureFn setFeatures, FeatureFn getFeatures)
        : set_(setFeatures), get_(getFeatures) {}
    // Binds ordinals 3 and 4 of Portivo.dll found beside the program; null when it is missing.
    static std::unique_ptr<PortivoChannel> Bind();

    int SetFeature(int vendorId, int productId, int usagePage, int usage,
                   const FeatureReport& report) override;
    int GetFeature(int vendorId, int productId, int usagePage, int usage,
                   FeatureReport& buffer) override;

  private:
    FeatureFn set_;
    FeatureFn get_;
};

}  // namespace platform
