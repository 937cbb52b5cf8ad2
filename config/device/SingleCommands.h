#pragma once
// The nine fixed commands of the pop-up list, in the list's order: the name the list shows,
// the language text that replaces it, and the leading bytes of the button record it gives.
// Everything that lists them (the pop-up's entries and height, the names the single-key dialog
// compares with, the command line's read-back, the tests) reads this one table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace device {

struct SingleCommand {
    std::wstring_view name;
    int textNumber;
    std::array<std::uint8_t, 8> lead;
    std::size_t leadLength;
};

inline constexpr std::array<SingleCommand, 9> kSingleCommands = {{
    {L"Left Button", 85, {0xC0, 0x40}, 2},
    {L"Right Button", 59, {0xC1, 0x40}, 2},
    {L"Button Off", 60, {0x00, 0x40}, 2},
    {L"Click", 61, {0x99, 0x00, 0x99, 0xC0}, 4},
    {L"Double Click", 62, {0x99, 0x00, 0x99, 0x80, 0x99, 0x00, 0x99, 0xC0}, 8},
    {L"Backward", 63, {0x9C, 0x00, 0x9C, 0xC0}, 4},
    {L"Forward", 64, {0x9D, 0x00, 0x9D, 0xC0}, 4},
    {L"Sensitivity Up", 65, {0x97, 0x00, 0x97, 0xC0}, 4},
    {L"Sensitivity Down", 66, {0x98, 0x00, 0x98, 0xC0}, 4},
}};

inline constexpr std::size_t kSingleCommandCount = kSingleCommands.size();

// Each lead fits its array and names at least one entry of two bytes.
static_assert([] {
    for (const SingleCommand& c : kSingleCommands)
        if (c.leadLength < 2 || c.leadLength > c.lead.size() || c.leadLength % 2) return false;
    return true;
}());

}  // namespace device
