#include "cli/MouseReads.h"

#include <algorithm>

namespace cli {

using device::CommandReport;
using device::DeviceReportState;
using device::kMaxCommandData;
using device::kQueryWait;
using device::kReportRead;
using device::kReportStateIdle;
using device::MakeReadRequest;
using device::ReadAnswer;
using device::SendCommand;

using platform::DeviceChannel;
using platform::Waits;

namespace {

std::wstring TryRead(DeviceChannel& channel, Waits& waits, DeviceReportState& state,
                     std::uint16_t address, std::uint8_t count, std::vector<std::uint8_t>& out) {
    state.value = kReportStateIdle;
    if (SendCommand(channel, MakeReadRequest(address, count)) != 1)
        return L"the mouse did not take the read request for " + HexWord(address);
    waits.Wait(kQueryWait);
    CommandReport answer{};
    if (ReadAnswer(channel, answer) != 1)
        return L"the mouse gave no answer for " + HexWord(address);
    // Bytes 1 to 3 are the mouse's business; this mouse repeats the request there. An answer
    // that repeats another request is stale or noise; one that leaves them 0 is taken.
    const bool echoes = answer[1] != 0 || answer[2] != 0 || answer[3] != 0;
    const bool matches =
        answer[1] == (address & 0xFF) && answer[2] == (address >> 8) && answer[3] == count;
    if (answer[0] != kReportRead || (echoes && !matches))
        return L"the mouse's answer for " + HexWord(address) + L" is not an answer to it";
    out.assign(answer.begin() + 4, answer.begin() + 4 + count);
    return {};
}

}  // namespace

std::wstring HexWord(std::uint16_t value) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text = L"0x";
    for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
    return text;
}

MouseRead ReadMouse(DeviceChannel& channel, Waits& waits, DeviceReportState& state,
                    std::uint16_t address, std::uint8_t count) {
    MouseRead read;
    if (count < 1 || count > kMaxCommandData) {
        read.error = L"a read of " + std::to_wstring(count) + L" bytes cannot be asked for";
        return read;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        read.error = TryRead(channel, waits, state, address, count, read.bytes);
        if (read.ok()) return read;
    }
    read.bytes.clear();
    return read;
}

MouseRead ReadMouseRange(DeviceChannel& channel, Waits& waits, DeviceReportState& state,
                         std::uint16_t address, std::size_t length) {
    MouseRead range;
    range.bytes.reserve(length);
    std::size_t done = 0;
    while (done < length) {
        const auto count = static_cast<std::uint8_t>(
            std::min<std::size_t>(length - done, static_cast<std::size_t>(kMaxCommandData)));
        const auto at = static_cast<std::uint16_t>(address + done);
        MouseRead part = ReadMouse(channel, waits, state, at, count);
        if (!part.ok()) {
            range.bytes.clear();
            range.error = part.error;
            return range;
        }
        range.bytes.insert(range.bytes.end(), part.bytes.begin(), part.bytes.end());
        done += count;
    }
    return range;
}

}  // namespace cli
