#pragma once
// The HID reports packed into one raw-input packet, split within the bytes actually read.
// Portable, so the splitting is fuzzed natively; the offsets come from the RAWINPUT layout of the
// build (they differ between 32- and 64-bit Windows).
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace wminput {

struct HidPacketLayout {
    std::size_t sizeAt;     // RAWINPUT.data.hid.dwSizeHid
    std::size_t countAt;    // RAWINPUT.data.hid.dwCount
    std::size_t reportsAt;  // RAWINPUT.data.hid.bRawData
};

// Each report of the packet, zero-padded to at least minBytes. Nothing when the packet is too
// short for its counts, or a count is 0: the counts are never trusted beyond the bytes read.
std::vector<std::vector<std::uint8_t>> SplitHidReports(std::span<const std::uint8_t> packet,
                                                       const HidPacketLayout& layout,
                                                       std::size_t minBytes);

}  // namespace wminput
