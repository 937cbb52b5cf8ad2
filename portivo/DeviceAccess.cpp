#include "portivo/DeviceAccess.h"

#include "portivo/DebugText.h"

#include <algorithm>
#include <vector>

namespace portivo {
namespace {

DeviceIds IdsOf(const CollectionInfo& info) {
    return DeviceIds{info.vendorId, info.productId, info.usagePage, info.usage};
}

// Closes the handle on every way out of a scope.
class OpenDevice {
  public:
    OpenDevice(HidPlatform& platform, const Path& path, OpenMode mode)
        : platform_(platform), handle_(platform.Open(path, mode)) {}
    ~OpenDevice() {
        if (handle_ != kNoHandle) platform_.Close(handle_);
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;
    explicit operator bool() const { return handle_ != kNoHandle; }
    DeviceHandle get() const { return handle_; }

  private:
    HidPlatform& platform_;
    DeviceHandle handle_;
};

}  // namespace

bool DeviceAccess::Register(std::uintptr_t window, const DeviceSpec* specs, std::int32_t count) {
    if (registered_) return false;
    registered_ = true;
    window_ = window;
    specs_ = specs;
    count_ = count;
    return true;
}

std::uint32_t DeviceAccess::SpecCount() const {
    // A null table or a negative count names no collection rather than reading wild memory.
    if (!specs_ || count_ <= 0) return 0;
    return static_cast<std::uint32_t>(count_);
}

bool DeviceAccess::Matches(const CollectionInfo& info, std::uint32_t record) const {
    const DeviceSpec& wanted = specs_[record];
    return wanted.vendorId == info.vendorId && wanted.productId == info.productId &&
           wanted.usagePage == info.usagePage && wanted.usage == info.usage;
}

void DeviceAccess::InitialSearch() {
    if (!platform_.BeginInterfaceSet()) return;
    std::uint32_t failuresInARow = 0;
    for (std::uint32_t index = 0;; ++index) {
        Path path;
        const InterfaceResult result = platform_.InterfaceAt(index, path);
        if (result == InterfaceResult::kNoMoreItems) break;
        if (result == InterfaceResult::kDetailFailed) {
            // The search stops here and posts nothing at all, not even "none left".
            platform_.EndInterfaceSet();
            return;
        }
        if (result == InterfaceResult::kEnumFailed) {
            if (++failuresInARow >= kMaxEnumFailuresInARow) break;
            continue;
        }
        failuresInARow = 0;
        ExamineSearchPath(path);
    }
    platform_.EndInterfaceSet();
    if (list_.Empty()) platform_.Post(window_, kMsgNoCollectionLeft, kNoRecord);
}

void DeviceAccess::ExamineSearchPath(const Path& path) {
    if (path.size() >= kPathUnits) return;  // would not fit the list's path buffers
    OpenDevice device(platform_, path, OpenMode::kQuery);
    if (!device) return;
    CollectionInfo info;
    if (!platform_.QueryCollection(device.get(), info)) return;
    const std::uint32_t count = SpecCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!Matches(info, i)) continue;
        list_.HidDevListAdd(path, IdsOf(info));
        platform_.Post(window_, kMsgCollectionPresent, i);
    }
}

void DeviceAccess::OnArrival(const Path& interfaceName) {
    if (interfaceName.size() >= kPathUnits) return;
    // Probe the new interface once without access rights, then open it for reports.
    if (DeviceHandle probe = platform_.Open(interfaceName, OpenMode::kQuery); probe != kNoHandle) {
        platform_.Close(probe);
    }
    OpenDevice device(platform_, interfaceName, OpenMode::kReadWrite);
    if (!device) return;
    CollectionInfo info;
    if (!platform_.QueryCollection(device.get(), info)) return;
    platform_.Debug(FormatAscii("VID = %04x, PID = %04x, UsagePage = %04x, Usage = %04x\n",
                                info.vendorId, info.productId, info.usagePage, info.usage));
    const std::uint32_t count = SpecCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!Matches(info, i)) continue;
        platform_.Post(window_, kMsgCollectionPresent, i);
        list_.HidDevListAdd(interfaceName, IdsOf(info));
    }
}

void DeviceAccess::OnRemoval(const Path& interfaceName) {
    if (interfaceName.size() >= kPathUnits) return;
    const std::optional<DeviceIds> removed = list_.HidDevListDel(interfaceName);
    if (!removed) return;
    if (list_.Empty()) {
        platform_.Post(window_, kMsgNoCollectionLeft, kNoRecord);
        return;
    }
    const std::uint32_t count = SpecCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        const DeviceSpec& entry = specs_[i];
        if (DeviceIds{entry.vendorId, entry.productId, entry.usagePage, entry.usage} == *removed) {
            platform_.Post(window_, kMsgCollectionRemoved, i);
        }
    }
}

namespace {
// The feature calls carry no buffer size, and every caller passes this mouse's 16-byte report.
// A collection with a longer report (another device with the same ids) goes through a buffer of
// our own, so nothing past the caller's 16 bytes is ever read or written.
constexpr std::size_t kCallerReportBytes = 16;
}  // namespace

template <typename Op>
std::int32_t DeviceAccess::Walk(const DeviceIds& wanted, Op op) {
    std::int32_t result = 0;
    for (const ListEntry& entry : list_.Entries()) {
        OpenDevice device(platform_, entry.path, OpenMode::kReadWrite);
        if (!device) continue;  // gone, its removal not handled yet
        CollectionInfo info;
        if (!platform_.QueryCollection(device.get(), info)) return 0;
        if (IdsOf(info) == wanted) result = op(device.get(), info);
    }
    return result;
}

std::int32_t DeviceAccess::SetKbdFeatures(std::int32_t vid, std::int32_t pid, std::int32_t page,
                                          std::int32_t usage, const std::uint8_t* report) {
    if (!report) return 0;
    return Walk(DeviceIds{vid, pid, page, usage}, [&](DeviceHandle h, const CollectionInfo& info) {
        std::vector<std::uint8_t> whole(info.featureReportLength, 0);
        std::copy_n(report, std::min(whole.size(), kCallerReportBytes), whole.begin());
        const bool ok = platform_.SetFeature(h, whole.data(), whole.size());
        platform_.Debug(OperationLine("SetKbdFeature() to", info));
        return ok ? 1 : 0;
    });
}

std::int32_t DeviceAccess::GetKbdFeatures(std::int32_t vid, std::int32_t pid, std::int32_t page,
                                          std::int32_t usage, std::uint8_t* buffer) {
    if (!buffer) return 0;
    return Walk(DeviceIds{vid, pid, page, usage}, [&](DeviceHandle h, const CollectionInfo& info) {
        // The caller's bytes go along: the first names the report to fetch.
        std::vector<std::uint8_t> whole(info.featureReportLength, 0);
        const std::size_t shared = std::min(whole.size(), kCallerReportBytes);
        std::copy_n(buffer, shared, whole.begin());
        const bool ok = platform_.GetFeature(h, whole.data(), whole.size());
        if (ok) std::copy_n(whole.begin(), shared, buffer);
        platform_.Debug(OperationLine("GetKbdFeature() from", info));
        return ok ? 1 : 0;
    });
}

std::int32_t DeviceAccess::GetString(StringKind kind, std::int32_t vid, std::int32_t pid,
                                     std::int32_t page, std::int32_t usage, std::uint32_t index,
                                     void* buffer, std::uint32_t sizeBytes) {
    if (!buffer) return 0;
    const char* prefix = "";
    switch (kind) {
        case StringKind::kIndexed:
            prefix = "GetIndexStr() from";
            break;
        case StringKind::kManufacturer:
            prefix = "GetManufacturerStr() from";
            break;
        case StringKind::kProduct:
            prefix = "GetProductString() from";
            break;
        case StringKind::kSerialNumber:
            prefix = "GetSerialNumberString() from";
            break;
        case StringKind::kPhysicalDescriptor:
            prefix = "GetPhysicalDescriptor() from";
            break;
    }
    return Walk(DeviceIds{vid, pid, page, usage}, [&](DeviceHandle h, const CollectionInfo& info) {
        const bool ok = platform_.GetString(h, kind, index, buffer, sizeBytes);
        platform_.Debug(OperationLine(prefix, info));
        // The indexed string is echoed whatever the outcome; the others only on success. Either
        // way the echo stops at the buffer's end, terminated or not.
        if (ok || kind == StringKind::kIndexed) {
            platform_.Debug(BoundedText(buffer, sizeBytes) + u"\n");
        }
        return ok ? 1 : 0;
    });
}

std::int32_t DeviceAccess::GetFirmwareVer(std::int32_t vid, std::int32_t pid, std::int32_t page,
                                          std::int32_t usage, std::uint32_t* version) {
    if (!version) return 0;
    return Walk(DeviceIds{vid, pid, page, usage}, [&](DeviceHandle, const CollectionInfo& info) {
        *version = info.version;
        platform_.Debug(OperationLine("GetFirmwareVer() from", info));
        return 1;
    });
}

}  // namespace portivo
