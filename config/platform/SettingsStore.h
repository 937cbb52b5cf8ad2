#pragma once
// Registry-shaped settings: keys by backslash path below a hive, string and 32-bit values.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class SettingsHive {
    CurrentUser,   // full access; keys are created when missing
    LocalMachine,  // read only
};

enum class SettingsValueKind { None, String, Integer };

// One open key. Closing is dropping the object.
class SettingsKey {
  public:
    virtual ~SettingsKey() = default;
    virtual bool ValueExists(std::wstring_view name) const = 0;
    virtual SettingsValueKind KindOf(std::wstring_view name) const = 0;
    // Empty when the value is missing or of the other kind.
    virtual std::optional<std::wstring> ReadString(std::wstring_view name) const = 0;
    virtual std::optional<std::int32_t> ReadInteger(std::wstring_view name) const = 0;
    // False when the key is read only or the write failed.
    virtual bool WriteString(std::wstring_view name, std::wstring_view value) = 0;
    virtual bool WriteInteger(std::wstring_view name, std::int32_t value) = 0;
    virtual bool DeleteValue(std::wstring_view name) = 0;
    virtual std::vector<std::wstring> ValueNames() const = 0;
};

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // Paths may start and end with a backslash ("\SOFTWARE\Tavrine5502\profile0\Lbutton").
    // CurrentUser keys are created when missing; LocalMachine keys open read only or not at all.
    // Null when the key cannot be opened.
    virtual std::unique_ptr<SettingsKey> OpenKey(SettingsHive hive, std::wstring_view path) = 0;
    virtual bool KeyExists(SettingsHive hive, std::wstring_view path) const = 0;
    virtual std::vector<std::wstring> SubkeyNames(SettingsHive hive,
                                                  std::wstring_view path) const = 0;
    // Deletes the key with everything below it; false when it was not there or is read only.
    virtual bool DeleteKeyTree(SettingsHive hive, std::wstring_view path) = 0;
};

}  // namespace platform
