#pragma once
// Reading raw-input packets within the sizes Windows reports, and what the listener needs of them.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vistrel {

// The whole packet behind a WM_INPUT; empty when it cannot be read.
std::vector<BYTE> ReadRawInputPacket(HRAWINPUT handle);

// The packet's header, when the packet is long enough to hold one.
std::optional<RAWINPUTHEADER> PacketHeader(std::span<const BYTE> packet);

// A HID packet's first report, within both its stated size and the bytes actually read; empty
// for anything else or for a report that would run past the packet's end.
std::span<const BYTE> FirstHidReport(std::span<const BYTE> packet);

// A mouse packet's button flags.
std::optional<std::uint16_t> MouseButtonFlags(std::span<const BYTE> packet);

// The device is a HID device with this vendor and product id.
bool IsHidDevice(HANDLE device, std::uint16_t vendorId, std::uint16_t productId);

}  // namespace vistrel
