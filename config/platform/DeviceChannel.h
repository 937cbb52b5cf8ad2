#pragma once
// The path to the mouse's vendor collections: one 16-byte feature report out, one in.
#include <array>
#include <cstdint>

namespace platform {

using FeatureReport = std::array<std::uint8_t, 16>;

class DeviceChannel {
  public:
    virtual ~DeviceChannel() = default;
    // Sends the report to the collection (vid, pid, usage page, usage); 1 when it was accepted.
    virtual int SetFeature(int vendorId, int productId, int usagePage, int usage,
                           const FeatureReport& report) = 0;
    // Fetches a report from the collection into buffer (byte 0 holds the wanted report id on
    // entry); 1 when a report was delivered. The buffer is left untouched otherwise.
    virtual int GetFeature(int vendorId, int productId, int usagePage, int usage,
                           FeatureReport& buffer) = 0;
};

}  // namespace platform
