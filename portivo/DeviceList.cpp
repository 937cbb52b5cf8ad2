#include "portivo/DeviceList.h"

#include "portivo/DebugText.h"

namespace portivo {

std::optional<Path> UpperCasePath(const Path& path) {
    if (path.size() >= kPathUnits) return std::nullopt;
    Path upper = path;
    for (char16_t& c : upper) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return upper;
}

void DeviceList::HidDevListAdd(const Path& path, const DeviceIds& ids) {
    auto upper = UpperCasePath(path);
    if (!upper) return;
    platform_.Debug(u"HidDevListAdd() -> " + *upper + u"\n");
    entries_.push_back(ListEntry{std::move(*upper), ids});
}

std::optional<DeviceIds> DeviceList::HidDevListDel(const Path& path) {
    auto upper = UpperCasePath(path);
    if (!upper) return std::nullopt;
    std::optional<DeviceIds> removed;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->path == *upper) {
            platform_.Debug(u"HidDevListDel() -> " + it->path + u"\n");
            removed = it->ids;
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    return removed;
}

}  // namespace portivo
