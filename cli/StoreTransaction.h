#pragma once
// All-or-nothing changes to a SettingsStore: the keys a change will touch are copied first, and
// if any write fails they are put back as they were (keys that did not exist are deleted again).
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "platform/SettingsStore.h"

namespace cli {

class StoreTransaction {
  public:
    explicit StoreTransaction(platform::SettingsStore& store) : store_(store) {}

    // Copies a key (its values, and whether it existed) before the first change to it. Returns
    // false when it cannot be read; the change must not start then.
    bool Keep(std::wstring_view path);
    // Puts every kept key back as it was. True when all of it could be put back.
    bool Restore();

  private:
    struct Kept {
        std::wstring path;
        bool existed = false;
        std::vector<std::pair<std::wstring, std::variant<std::wstring, std::int32_t>>> values;
    };
    platform::SettingsStore& store_;
    std::vector<Kept> kept_;
};

}  // namespace cli
