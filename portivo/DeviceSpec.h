#pragma once
// The caller's description of one HID collection, and the messages Portivo posts about them.
// Portable: shared by Portivo itself, its callers and their tests.
#include <cstdint>

// Layout is part of the DLL's interface: four signed 32-bit integers, 16 bytes.
struct DeviceSpec {
    std::int32_t vendorId;
    std::int32_t productId;
    std::int32_t usagePage;
    std::int32_t usage;
};
static_assert(sizeof(DeviceSpec) == 16);

namespace portivo {

inline constexpr std::uint32_t kMsgCollectionPresent = 0x600;  // wParam: record index
inline constexpr std::uint32_t kMsgNoCollectionLeft = 0x700;   // wParam: 0xFFFFFFFF
inline constexpr std::uint32_t kMsgCollectionRemoved = 0x800;  // wParam: record index
inline constexpr std::uint32_t kNoRecord = 0xFFFFFFFF;

}  // namespace portivo
