// Portivo's device-list rules over arbitrary interface lists and arrival/removal notifications
// (paths of any length and case, matching and foreign collections, failing opens and queries),
// mixed with the report operations that walk the list. After every step: no handle is left
// open, every entry's path is upper case and fits a path buffer, a removed path is gone, and
// the messages posted name a record that exists (or none).
#include <algorithm>
#include <memory>

#include "portivo/DeviceAccess.h"
#include "tests/native/portivo/FakeHidPlatform.h"
#include "fuzz/FuzzInput.h"

namespace {

using portivo::Path;
using portivo::testing::FakeHidPlatform;

constexpr DeviceSpec kSpecs[] = {{0x1D57, 0x5502, 0xFF00, 0xFF00},
                                 {0x1D57, 0x5502, 0xFF00, 0x0002},
                                 {0x1D57, 0x5502, 0x0007, 0x0003},
                                 {0x1D57, 0x5502, 0xFF00, 0xFF00}};

// Paths from a small alphabet, so that equal paths in other case and near misses are common.
Path FuzzPath(FuzzInput& in) {
    static constexpr char16_t kLetters[] = u"\\?#HIDhidVv_15&cC0";
    std::size_t length = in.Byte();
    if (length == 0xFF) length = portivo::kPathUnits - 2 + in.Byte() % 4;  // around the limit
    Path path;
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t b = in.Byte();
        path.push_back(b < 0xF0 ? kLetters[b % (std::size(kLetters) - 1)]
                                : static_cast<char16_t>(in.Word()));
    }
    return path;
}

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

Path UpperOf(const Path& path) {
    Path up = path;
    std::transform(up.begin(), up.end(), up.begin(), Upper);
    return up;
}

void RequireListSound(const portivo::DeviceAccess& access, const FakeHidPlatform& hid,
                      std::uint32_t specCount) {
    Require(hid.openHandles == 0);
    for (const auto& entry : access.List().Entries()) {
        Require(entry.path.size() < portivo::kPathUnits);
        Require(entry.path == UpperOf(entry.path));
    }
    for (const auto& post : hid.posted) {
        Require(post.window == 7);
        if (post.message == portivo::kMsgNoCollectionLeft)
            Require(post.wParam == portivo::kNoRecord);
        else
            Require(post.wParam < specCount);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    FakeHidPlatform hid;
    portivo::DeviceAccess access(hid);
    std::vector<Path> paths;

    for (int n = in.Byte() % 8; n > 0; --n) {
        const Path path = FuzzPath(in);
        const std::uint8_t kind = in.Byte();
        const DeviceSpec& like = kSpecs[kind % 3];
        auto& c = hid.Add(path, static_cast<std::uint16_t>(kind & 0x80 ? in.Word() : like.vendorId),
                          static_cast<std::uint16_t>(like.productId),
                          static_cast<std::uint16_t>(like.usagePage),
                          static_cast<std::uint16_t>(kind & 0x40 ? in.Word() : like.usage));
        // The exported calls take a caller's buffer of the mouse's report length (16).
        c.info.featureReportLength = static_cast<std::uint16_t>(in.Byte() % 17);
        const std::uint8_t faults = in.Byte();
        c.openFails = faults & 1;
        c.readWriteFails = faults & 2;
        c.queryFails = faults & 4;
        c.reportFails = faults & 8;
        c.text = std::u16string(faults >> 4, u'T');
        paths.push_back(path);
    }
    const std::uint8_t setup = in.Byte();
    hid.setFails = setup & 1;
    if (setup & 2) hid.enumFailsAt = {in.Byte() % 8u, in.Byte() % 8u};
    const std::int32_t specCount = static_cast<std::int32_t>((setup >> 2) % 5);
    if (!access.Register(7, kSpecs, specCount)) return 0;
    access.InitialSearch();
    RequireListSound(access, hid, static_cast<std::uint32_t>(specCount));

    while (!in.Empty()) {
        const std::uint8_t op = in.Byte();
        Path path = op & 0x80 || paths.empty() ? FuzzPath(in) : paths[in.Byte() % paths.size()];
        if (op & 0x40) std::transform(path.begin(), path.end(), path.begin(), Upper);
        const DeviceSpec& wanted = kSpecs[in.Byte() % 3];
        switch (op % 6) {
            case 0:
                access.OnArrival(path);
                break;
            case 1:
                access.OnRemoval(path);
                if (path.size() < portivo::kPathUnits) {
                    for (const auto& entry : access.List().Entries())
                        Require(entry.path != UpperOf(path));
                }
                break;
            case 2: {
                std::uint8_t report[16] = {3};
                access.SetKbdFeatures(wanted.vendorId, wanted.productId, wanted.usagePage,
                                      wanted.usage, report);
                break;
            }
            case 3: {
                std::uint8_t buffer[16] = {4};
                access.GetKbdFeatures(wanted.vendorId, wanted.productId, wanted.usagePage,
                                      wanted.usage, buffer);
                break;
            }
            case 4: {
                const std::uint32_t bytes = in.Byte() % 9;
                auto buffer = std::make_unique<std::uint8_t[]>(bytes ? bytes : 1);
                access.GetString(static_cast<portivo::StringKind>(in.Byte() % 5), wanted.vendorId,
                                 wanted.productId, wanted.usagePage, wanted.usage, in.Byte(),
                                 buffer.get(), bytes);
                break;
            }
            default:
                if (in.Byte() & 1) {
                    access.OnWindowDestroyed();
                    Require(access.List().Empty());
                } else {
                    std::uint32_t version = 0;
                    access.GetFirmwareVer(wanted.vendorId, wanted.productId, wanted.usagePage,
                                          wanted.usage, &version);
                }
                break;
        }
        RequireListSound(access, hid, static_cast<std::uint32_t>(specCount));
    }
    return 0;
}
