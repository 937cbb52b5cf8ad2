#pragma once
// The 16-byte command report, the two collections that carry it, and the query pattern.
#include <array>
#include <cstdint>
#include <span>

#include "platform/DeviceChannel.h"
#include "device/DeviceReportState.h"
#include "platform/Waits.h"

namespace device {

// Byte 0 report id, 1-2 address (little-endian), 3 count, 4-15 data.
using CommandReport = platform::FeatureReport;

inline constexpr std::uint8_t kReportWrite = 3;
inline constexpr std::uint8_t kReportRead = 4;
inline constexpr int kVendorUsagePage = 0xFF00;
inline constexpr int kWriteUsage = 0xFF00;  // collection of write reports
inline constexpr int kReadUsage = 0x0002;   // collection of read requests and answers
inline constexpr int kMaxCommandData = 12;

inline constexpr std::uint16_t kAddressActiveProfile = 0x0005;
inline constexpr std::uint16_t kAddressLevelAndLights = 0x0007;
inline constexpr std::uint16_t kAddressLiveProfile = 0xFF02;
inline constexpr std::uint16_t kAddressApply = 0xFF06;
inline constexpr auto kQueryWait = std::chrono::milliseconds{3};

// A write of up to 12 bytes at address; bytes beyond 12 are not taken.
CommandReport MakeWriteCommand(std::uint16_t address, std::span<const std::uint8_t> data);
// A write report whose count byte differs from the data it carries (the last profile chunk
// carries 12 buffer bytes of which only the first count are meant).
CommandReport MakeWriteCommand(std::uint16_t address, std::uint8_t count,
                               std::span<const std::uint8_t> data);
CommandReport MakeReadRequest(std::uint16_t address, std::uint8_t count);
// 03 06 FF 01 01: the mouse takes over what was written into its EEPROM.
CommandReport MakeApplyCommand();

// Sends by report id: 4 to the read collection, 3 to the write collection, anything else
// nowhere (0). Hands back the library's result.
int SendCommand(platform::DeviceChannel& channel, const CommandReport& report);
// Prepares 4 and fifteen zeros and fetches the answer into buffer.
int ReadAnswer(platform::DeviceChannel& channel, CommandReport& buffer);

// The read pattern: idle the report state, request, wait 3 ms, read the answer. With no mouse
// the answer stays 4 and zeros.
CommandReport Query(platform::DeviceChannel& channel, platform::Waits& waits,
                    DeviceReportState& state, std::uint16_t address, std::uint8_t count);

// Answer bytes are taken as signed 8-bit values where a number is formed from them.
constexpr int SignedByte(std::uint8_t value) { return static_cast<std::int8_t>(value); }

}  // namespace device
