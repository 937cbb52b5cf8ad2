#include "platform/RegistrySettingsStore_win.h"

#include "platform/SettingsPath.h"

#include <windows.h>

namespace platform {

namespace {

HKEY Root(SettingsHive hive) {
    return hive == SettingsHive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

class RegistryKey final : public SettingsKey {
  public:
    RegistryKey(HKEY key, bool writable) : key_(key), writable_(writable) {}
    ~RegistryKey() override { RegCloseKey(key_); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool ValueExists(std::wstring_view name) const override { return TypeOf(name) != kMissing; }
    SettingsValueKind KindOf(std::wstring_view name) const override {
        switch (TypeOf(name)) {
            case REG_SZ:
            case REG_EXPAND_SZ:
                return SettingsValueKind::String;
            case REG_DWORD:
                return SettingsValueKind::Integer;
            default:
                return SettingsValueKind::None;
        }
    }
    std::optional<std::wstring> ReadString(std::wstring_view name) const override {
        const std::wstring n(name);
        // The value may change size between the two calls; retry a few times.
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD type = 0, size = 0;
            if (RegQueryValueExW(key_, n.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                return std::nullopt;
            if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
            std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
            DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
            const LONG rc = RegQueryValueExW(key_, n.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(text.data()), &got);
            if (rc == ERROR_MORE_DATA) continue;
            if (rc != ERROR_SUCCESS) return std::nullopt;
            // A stored string need not carry its terminator; never read past what was given.
            text.resize(got / sizeof(wchar_t));
            const auto nul = text.find(L'\0');
            if (nul != std::wstring::npos) text.resize(nul);
            return text;
        }
        return std::nullopt;
    }
    std::optional<std::int32_t> ReadInteger(std::wstring_view name) const override {
        const std::wstring n(name);
        DWORD type = 0, value = 0, size = sizeof(value);
        if (RegQueryValueExW(key_, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                             &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof(value))
            return std::nullopt;
        return static_cast<std::int32_t>(value);
    }
    bool WriteString(std::wstring_view name, std::wstring_view value) override {
        if (!writable_) return false;
        const std::wstring n(name), v(value);
        const auto bytes = static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key_, n.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                              bytes) == ERROR_SUCCESS;
    }
    bool WriteInteger(std::wstring_view name, std::int32_t value) override {
        if (!writable_) return false;
        const std::wstring n(name);
        const auto v = static_cast<DWORD>(value);
        return RegSetValueExW(key_, n.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                              sizeof(v)) == ERROR_SUCCESS;
    }
    bool DeleteValue(std::wstring_view name) override {
        if (!writable_) return false;
        const std::wstring n(name);
        return RegDeleteValueW(key_, n.c_str()) == ERROR_SUCCESS;
    }
    std::vector<std::wstring> ValueNames() const override {
        std::vector<std::wstring> names;
        std::wstring buffer(16384, L'\0');  // the registry's limit for value names
        for (DWORD i = 0;; ++i) {
            DWORD length = static_cast<DWORD>(buffer.size());
            if (RegEnumValueW(key_, i, buffer.data(), &length, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS)
                break;
            names.emplace_back(buffer.data(), length);
        }
        return names;
    }

  private:
    static constexpr DWORD kMissing = 0xFFFFFFFF;
    DWORD TypeOf(std::wstring_view name) const {
        const std::wstring n(name);
        DWORD type = 0;
        if (RegQueryValueExW(key_, n.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
            return kMissing;
        return type;
    }

    HKEY key_;
    bool writable_;
};

}  // namespace

std::unique_ptr<SettingsKey> RegistrySettingsStore::OpenKey(SettingsHive hive,
                                                            std::wstring_view path) {
    const std::wstring clean = CleanSettingsPath(path);
    if (clean.empty()) return nullptr;
    HKEY key = nullptr;
    if (hive == SettingsHive::CurrentUser) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, clean.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<RegistryKey>(key, true);
    }
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, clean.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<RegistryKey>(key, false);
}

bool RegistrySettingsStore::KeyExists(SettingsHive hive, std::wstring_view path) const {
    const std::wstring clean = CleanSettingsPath(path);
    HKEY key = nullptr;
    if (clean.empty() ||
        RegOpenKeyExW(Root(hive), clean.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::wstring> RegistrySettingsStore::SubkeyNames(SettingsHive hive,
                                                             std::wstring_view path) const {
    std::vector<std::wstring> names;
    const std::wstring clean = CleanSettingsPath(path);
    HKEY key = nullptr;
    if (clean.empty() ||
        RegOpenKeyExW(Root(hive), clean.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS)
        return names;
    wchar_t buffer[256];  // key names are at most 255 characters
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, buffer, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(buffer, length);
    }
    RegCloseKey(key);
    return names;
}

bool RegistrySettingsStore::DeleteKeyTree(SettingsHive hive, std::wstring_view path) {
    const std::wstring clean = CleanSettingsPath(path);
    if (hive != SettingsHive::CurrentUser || clean.empty() || !KeyExists(hive, clean)) return false;
    RegDeleteTreeW(HKEY_CURRENT_USER, clean.c_str());
    if (KeyExists(hive, clean)) RegDeleteKeyW(HKEY_CURRENT_USER, clean.c_str());
    return !KeyExists(hive, clean);
}

}  // namespace platform
