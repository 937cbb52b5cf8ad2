#include "osd/RawInput_win.h"

#include <cstddef>
#include <cstring>

namespace vistrel {

std::vector<BYTE> ReadRawInputPacket(HRAWINPUT handle) {
    UINT size = 0;
    if (GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 ||
        size < sizeof(RAWINPUTHEADER)) {
        return {};
    }
    std::vector<BYTE> packet(size);
    const UINT read =
        GetRawInputData(handle, RID_INPUT, packet.data(), &size, sizeof(RAWINPUTHEADER));
    if (read == static_cast<UINT>(-1) || read < sizeof(RAWINPUTHEADER)) return {};
    packet.resize(read);
    return packet;
}

std::optional<RAWINPUTHEADER> PacketHeader(std::span<const BYTE> packet) {
    if (packet.size() < sizeof(RAWINPUTHEADER)) return std::nullopt;
    RAWINPUTHEADER header;
    std::memcpy(&header, packet.data(), sizeof header);
    return header;
}

std::span<const BYTE> FirstHidReport(std::span<const BYTE> packet) {
    const auto header = PacketHeader(packet);
    constexpr std::size_t kSizeAt = offsetof(RAWINPUT, data.hid.dwSizeHid);
    constexpr std::size_t kCountAt = offsetof(RAWINPUT, data.hid.dwCount);
    constexpr std::size_t kReportsAt = offsetof(RAWINPUT, data.hid.bRawData);
    if (!header || header->dwType != RIM_TYPEHID || packet.size() < kReportsAt) return {};
    DWORD reportSize = 0, count = 0;
    std::memcpy(&reportSize, packet.data() + kSizeAt, sizeof reportSize);
    std::memcpy(&count, packet.data() + kCountAt, sizeof count);
    if (count == 0 || reportSize > packet.size() - kReportsAt) return {};
    return packet.subspan(kReportsAt, reportSize);
}

std::optional<std::uint16_t> MouseButtonFlags(std::span<const BYTE> packet) {
    const auto header = PacketHeader(packet);
    constexpr std::size_t kFlagsAt = offsetof(RAWINPUT, data.mouse.usButtonFlags);
    if (!header || header->dwType != RIM_TYPEMOUSE || packet.size() < kFlagsAt + 2) {
        return std::nullopt;
    }
    std::uint16_t flags = 0;
    std::memcpy(&flags, packet.data() + kFlagsAt, sizeof flags);
    return flags;
}

bool IsHidDevice(HANDLE device, std::uint16_t vendorId, std::uint16_t productId) {
    RID_DEVICE_INFO info{};
    info.cbSize = sizeof info;
    UINT size = sizeof info;
    if (GetRawInputDeviceInfoW(device, RIDI_DEVICEINFO, &info, &size) == static_cast<UINT>(-1)) {
        return false;
    }
    return info.dwType == RIM_TYPEHID && info.hid.dwVendorId == vendorId &&
           info.hid.dwProductId == productId;
}

}  // namespace vistrel
