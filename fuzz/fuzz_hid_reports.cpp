// The input component's splitting of raw-input packets, in both Windows layouts: whatever the
// stated report size and count, only bytes inside the packet are read, each report comes out
// padded to 8 bytes, and the reports together are exactly the packet's report area.
#include <algorithm>
#include <cstring>
#include <memory>

#include "fuzz/FuzzInput.h"
#include "wminput/HidReports.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // RAWINPUT of 32-bit Windows (16-byte header) and of 64-bit Windows (24-byte header).
    constexpr wminput::HidPacketLayout kLayouts[] = {{16, 20, 24}, {24, 28, 32}};
    const auto& layout = kLayouts[data[0] & 1];
    // Exactly as many bytes as "were read", on the heap, so a read past them is seen.
    const std::size_t length = size - 1;
    auto packet = std::make_unique<std::uint8_t[]>(length ? length : 1);
    std::copy(data + 1, data + size, packet.get());
    const std::span<const std::uint8_t> bytes(packet.get(), length);

    const auto reports = wminput::SplitHidReports(bytes, layout, 8);
    if (reports.empty()) return 0;
    std::uint32_t stated = 0, count = 0;
    std::memcpy(&stated, bytes.data() + layout.sizeAt, 4);
    std::memcpy(&count, bytes.data() + layout.countAt, 4);
    Require(reports.size() == count && stated > 0);
    Require(layout.reportsAt + std::size_t{count} * stated <= length);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        Require(reports[i].size() == std::max<std::size_t>(stated, 8));
        Require(
            std::equal(reports[i].begin(), reports[i].begin() + stated,
                       bytes.begin() + static_cast<std::ptrdiff_t>(layout.reportsAt + i * stated)));
        Require(std::all_of(reports[i].begin() + stated, reports[i].end(),
                            [](std::uint8_t b) { return b == 0; }));
    }
    return 0;
}
