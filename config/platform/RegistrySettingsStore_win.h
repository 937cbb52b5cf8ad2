#pragma once
// SettingsStore over the Windows registry: HKEY_CURRENT_USER with full access and keys created
// when missing, HKEY_LOCAL_MACHINE read only; strings as REG_SZ, integers as REG_DWORD.
#include "platform/SettingsStore.h"

namespace platform {

class RegistrySettingsStore final : public SettingsStore {
  public:
    std::unique_ptr<SettingsKey> OpenKey(SettingsHive hive, std::wstring_view path) override;
    bool KeyExists(SettingsHive hive, std::wstring_view path) const override;
    std::vector<std::wstring> SubkeyNames(SettingsHive hive, std::wstring_view path) const override;
    bool DeleteKeyTree(SettingsHive hive, std::wstring_view path) override;
};

}  // namespace platform
