#pragma once
// Reads from the mouse that know when it did not answer: the request must be taken, an answer
// delivered, and an answer that names its address (as this mouse's do) must name the one asked
// for. The configuration program's query takes whatever comes; a command line must not.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "device/CommandReport.h"

namespace cli {

struct MouseRead {
    std::vector<std::uint8_t> bytes;  // count bytes from the address; empty on failure
    std::wstring error;               // why not, when empty bytes
    bool ok() const { return error.empty(); }
};

// count 1..12. One more try when the first goes wrong.
MouseRead ReadMouse(platform::DeviceChannel& channel, platform::Waits& waits,
                    device::DeviceReportState& state, std::uint16_t address, std::uint8_t count);
// Any length, in answers of up to 12 bytes; stops at the first address that is not answered.
MouseRead ReadMouseRange(platform::DeviceChannel& channel, platform::Waits& waits,
                         device::DeviceReportState& state, std::uint16_t address,
                         std::size_t length);

// "0x0010"
std::wstring HexWord(std::uint16_t value);

}  // namespace cli
