#pragma once
// Where the five 410-byte profile images lie in the mouse's EEPROM: ROMAddress[p][k].
#include <array>
#include <cstdint>

namespace device {

inline constexpr int kProfileCount = 5;
inline constexpr int kProfileImageSize = 410;
inline constexpr std::uint32_t kProfileAreaStart = 0x0010;

using ROMAddressTable = std::array<std::array<std::uint32_t, kProfileImageSize>, kProfileCount>;

namespace detail {
constexpr ROMAddressTable MakeROMAddress() {
    ROMAddressTable table{};
    for (int p = 0; p < kProfileCount; ++p)
        for (int k = 0; k < kProfileImageSize; ++k)
            table[p][k] = kProfileAreaStart + static_cast<std::uint32_t>(kProfileImageSize * p + k);
    return table;
}
}  // namespace detail

inline constexpr ROMAddressTable ROMAddress = detail::MakeROMAddress();

static_assert(ROMAddress[0][0] == 0x0010 && ROMAddress[1][0] == 0x01AA &&
              ROMAddress[4][409] == 0x0811);

}  // namespace device
