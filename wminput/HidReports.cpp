#include "wminput/HidReports.h"

#include <algorithm>
#include <cstring>

namespace wminput {

namespace {

std::uint32_t ReadDword(std::span<const std::uint8_t> packet, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, packet.data() + at, sizeof value);
    return value;
}

}  // namespace

std::vector<std::vector<std::uint8_t>> SplitHidReports(std::span<const std::uint8_t> packet,
                                                       const HidPacketLayout& layout,
                                                       std::size_t minBytes) {
    std::vector<std::vector<std::uint8_t>> reports;
    const std::size_t fieldsEnd =
        std::max({layout.sizeAt + 4, layout.countAt + 4, layout.reportsAt});
    if (packet.size() < fieldsEnd) return reports;
    const std::size_t size = ReadDword(packet, layout.sizeAt);
    const std::size_t count = ReadDword(packet, layout.countAt);
    if (size == 0 || count == 0 || count > (packet.size() - layout.reportsAt) / size)
        return reports;
    reports.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto bytes = packet.subspan(layout.reportsAt + i * size, size);
        std::vector<std::uint8_t> report(std::max(size, minBytes), 0);
        std::copy(bytes.begin(), bytes.end(), report.begin());
        reports.push_back(std::move(report));
    }
    return reports;
}

}  // namespace wminput
