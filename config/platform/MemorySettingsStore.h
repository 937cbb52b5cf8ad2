#pragma once
// An in-memory SettingsStore with the registry's rules: case-insensitive key and value names,
// missing user keys created on open, the machine hive read only (tests seed it directly).
#include <map>
#include <memory>
#include <variant>

#include "platform/SettingsStore.h"

namespace platform {

class MemorySettingsStore final : public SettingsStore {
  public:
    MemorySettingsStore();
    ~MemorySettingsStore() override;

    std::unique_ptr<SettingsKey> OpenKey(SettingsHive hive, std::wstring_view path) override;
    bool KeyExists(SettingsHive hive, std::wstring_view path) const override;
    std::vector<std::wstring> SubkeyNames(SettingsHive hive, std::wstring_view path) const override;
    bool DeleteKeyTree(SettingsHive hive, std::wstring_view path) override;

    // Test seeding: writes a value into either hive, creating the key.
    void Seed(SettingsHive hive, std::wstring_view path, std::wstring_view name,
              std::wstring_view value);
    void Seed(SettingsHive hive, std::wstring_view path, std::wstring_view name,
              std::int32_t value);
    std::size_t KeyCount() const;

    using Value = std::variant<std::wstring, std::int32_t>;
    struct NamedValue {
        std::wstring name;
        Value value;
    };
    struct Key {
        std::wstring path;                          // as first created, without outer backslashes
        std::map<std::wstring, NamedValue> values;  // by folded name
    };

  private:
    class OpenedKey;
    Key* Find(SettingsHive hive, std::wstring_view path);
    const Key* Find(SettingsHive hive, std::wstring_view path) const;
    const std::shared_ptr<Key>& Create(SettingsHive hive, std::wstring_view path);

    // Keys by hive and folded path; every ancestor of a key exists as a key too.
    std::map<std::pair<SettingsHive, std::wstring>, std::shared_ptr<Key>> keys_;
};

}  // namespace platform
