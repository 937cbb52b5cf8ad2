#pragma once
// The collections Portivo has found, in the order they were found.
#include <cstdint>
#include <optional>
#include <vector>

#include "portivo/HidPlatform.h"

namespace portivo {

// Paths are kept in buffers of this many UTF-16 units, terminator included.
inline constexpr std::size_t kPathUnits = 512;

struct DeviceIds {
    std::int32_t vendorId = 0;
    std::int32_t productId = 0;
    std::int32_t usagePage = 0;
    std::int32_t usage = 0;
    bool operator==(const DeviceIds&) const = default;
};

struct ListEntry {
    Path path;  // upper case
    DeviceIds ids;
};

// Letters a to z in upper case; nothing when the path does not fit a path buffer.
std::optional<Path> UpperCasePath(const Path& path);

class DeviceList {
  public:
    explicit DeviceList(HidPlatform& platform) : platform_(platform) {}

    // HidDevListAdd: appends one entry; duplicate paths are allowed on purpose (a collection that
    // matches two records is listed twice). A path that does not fit is dropped silently.
    void HidDevListAdd(const Path& path, const DeviceIds& ids);

    // HidDevListDel: removes every entry whose path equals the given one, ignoring the case of
    // a..z. Returns the ids of the last removed entry, or nothing when no entry was removed.
    std::optional<DeviceIds> HidDevListDel(const Path& path);

    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const std::vector<ListEntry>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

  private:
    HidPlatform& platform_;
    std::vector<ListEntry> entries_;
};

}  // namespace portivo
