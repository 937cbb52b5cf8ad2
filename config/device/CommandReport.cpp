#include "device/CommandReport.h"

#include <algorithm>

#include "common/DeviceIds.h"

namespace device {

CommandReport MakeWriteCommand(std::uint16_t address, std::uint8_t count,
                               std::span<const std::uint8_t> data) {
    CommandReport report{};
    report[0] = kReportWrite;
    report[1] = static_cast<std::uint8_t>(address & 0xFF);
    report[2] = static_cast<std::uint8_t>(address >> 8);
    report[3] = count;
    const auto n = std::min<std::size_t>(data.size(), kMaxCommandData);
    std::copy_n(data.begin(), n, report.begin() + 4);
    return report;
}

CommandReport MakeWriteCommand(std::uint16_t address, std::span<const std::uint8_t> data) {
    const auto n = std::min<std::size_t>(data.size(), kMaxCommandData);
    return MakeWriteCommand(address, static_cast<std::uint8_t>(n), data.first(n));
}

CommandReport MakeReadRequest(std::uint16_t address, std::uint8_t count) {
    CommandReport report{};
    report[0] = kReportRead;
    report[1] = static_cast<std::uint8_t>(address & 0xFF);
    report[2] = static_cast<std::uint8_t>(address >> 8);
    report[3] = count;
    return report;
}

CommandReport MakeApplyCommand() {
    const std::uint8_t one[] = {0x01};
    return MakeWriteCommand(kAddressApply, one);
}

int SendCommand(platform::DeviceChannel& channel, const CommandReport& report) {
    switch (report[0]) {
        case kReportRead:
            return channel.SetFeature(common::DeviceVendorId, common::DeviceProductId,
                                      kVendorUsagePage, kReadUsage, report);
        case kReportWrite:
            return channel.SetFeature(common::DeviceVendorId, common::DeviceProductId,
                                      kVendorUsagePage, kWriteUsage, report);
        default:
            return 0;
    }
}

int ReadAnswer(platform::DeviceChannel& channel, CommandReport& buffer) {
    buffer.fill(0);
    buffer[0] = kReportRead;
    return channel.GetFeature(common::DeviceVendorId, common::DeviceProductId, kVendorUsagePage,
                              kReadUsage, buffer);
}

CommandReport Query(platform::DeviceChannel& channel, platform::Waits& waits,
                    DeviceReportState& state, std::uint16_t address, std::uint8_t count) {
    state.value = kReportStateIdle;
    SendCommand(channel, MakeReadRequest(address, count));
    waits.Wait(kQueryWait);
    CommandReport answer{};
    ReadAnswer(channel, answer);
    return answer;
}

}  // namespace device
