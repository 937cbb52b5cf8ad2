// The virtual mouse's handling of reports from Windows. It runs inside the kernel-side driver,
// so whatever the report (any collection, length, content, control request) it must not read
// or write outside the buffers it is given: every buffer here is exactly as long as stated, on
// the heap, where the address sanitizer sees one byte too far. Its live state stays in range.
#include <memory>

#include "vmouse/model/ControlProtocol.h"
#include "fuzz/FuzzInput.h"
#include "vmouse/model/ReportDescriptors.h"
#include "vmouse/model/VirtualMouse.h"

namespace {

constexpr std::uint16_t kPages[] = {vmouse::kVendorUsagePage, vmouse::kControlUsagePage, 0x0001};
constexpr std::uint16_t kUsages[] = {vmouse::kWriteUsage, vmouse::kReadUsage, vmouse::kControlUsage,
                                     0x0002};

std::unique_ptr<std::uint8_t[]> Buffer(FuzzInput& in, std::size_t length) {
    auto bytes = std::make_unique<std::uint8_t[]>(length ? length : 1);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = in.Byte();
    return bytes;
}

void RequireLiveInRange(const vmouse::VirtualMouse& mouse) {
    const auto& live = mouse.Live();
    Require(live.activeProfile >= 1 && live.activeProfile <= vmouse::kProfileCount);
    Require(live.levelIndex < vmouse::kLevelCount);
    Require(live.pollingCode <= 2 && live.wheelLight <= 1 && live.logoLight <= 1 &&
            live.locked <= 1);
    Require(mouse.PendingInputs() <= vmouse::VirtualMouse::kOutboxCapacity);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    static vmouse::VirtualMouse mouse;  // constexpr-constructed, as in the driver
    mouse.FactoryReset();
    mouse.ClearFaults();
    for (vmouse::InputReport r{}; mouse.TakeInput(r);) {
    }
    std::uint32_t now = 0;
    mouse.SetTime(now);

    while (!in.Empty()) {
        const std::uint8_t op = in.Byte();
        const std::uint16_t page = op & 0x10 ? in.Word() : kPages[(op >> 5) % 3];
        const std::uint16_t usage = op & 0x10 ? in.Word() : kUsages[(op >> 2) & 3];
        // Mostly the real sizes, sometimes anything up to a little more than a control report.
        const std::uint8_t sizing = in.Byte();
        const std::size_t length = sizing < 0x40   ? 16
                                   : sizing < 0x60 ? vmouse::kControlReportSize
                                                   : sizing % (vmouse::kControlReportSize + 8);
        switch (op & 3) {
            case 0: {
                auto report = Buffer(in, length);
                mouse.SetFeature(page, usage, report.get(), length);
                break;
            }
            case 1: {
                auto report = std::make_unique<std::uint8_t[]>(length ? length : 1);
                report[0] = in.Byte();
                mouse.GetFeature(page, usage, report.get(), length);
                break;
            }
            case 2: {
                auto request = Buffer(in, length);
                std::uint8_t answer[vmouse::kControlReportSize];
                vmouse::HandleControlRequest(mouse, request.get(), length, in.Dword(), answer);
                break;
            }
            default: {
                now += in.Word();
                mouse.SetTime(now);
                mouse.Poll();
                vmouse::InputReport r{};
                for (int n = in.Byte() % 4; n > 0 && mouse.TakeInput(r); --n) {
                }
                break;
            }
        }
        RequireLiveInRange(mouse);
    }
    return 0;
}
