// Tests that drive the program write the real registry: the user's settings and the machine's
// installation key. Whatever was there before the tests is set aside at the start and put back
// at the end, and what the tests wrote is removed, so running them on a real machine loses nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct GuardedKey {
    HKEY root;
    const wchar_t* path;
    std::wstring backup;
    bool existed = false;
};

bool KeyExists(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool CopyTree(HKEY root, const wchar_t* from, const wchar_t* to) {
    HKEY source = nullptr, target = nullptr;
    bool ok = false;
    if (RegOpenKeyExW(root, from, 0, KEY_READ, &source) == ERROR_SUCCESS &&
        RegCreateKeyExW(root, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr) ==
            ERROR_SUCCESS) {
        ok = RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    }
    if (source) RegCloseKey(source);
    if (target) RegCloseKey(target);
    return ok;
}

class SettingsGuard final : public ::testing::Environment {
  public:
    void SetUp() override {
        const std::wstring tag = std::to_wstring(GetCurrentProcessId());
        keys_[0] = {HKEY_CURRENT_USER, L"SOFTWARE\\Tavrine5502",
                    L"SOFTWARE\\TavrineTestsSetAside\\user" + tag};
        keys_[1] = {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrine KVR-5502",
                    L"SOFTWARE\\TavrineTestsSetAside\\machine" + tag};
        for (GuardedKey& k : keys_) {
            k.existed = KeyExists(k.root, k.path) && CopyTree(k.root, k.path, k.backup.c_str());
            if (k.existed) RegDeleteTreeW(k.root, k.path);
        }
    }
    void TearDown() override {
        for (GuardedKey& k : keys_) {
            RegDeleteTreeW(k.root, k.path);
            RegDeleteKeyW(k.root, k.path);
            if (!k.existed) continue;
            CopyTree(k.root, k.backup.c_str(), k.path);
            RegDeleteTreeW(k.root, k.backup.c_str());
            RegDeleteKeyW(k.root, k.backup.c_str());
        }
        RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\TavrineTestsSetAside");
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\TavrineTestsSetAside");
    }

  private:
    GuardedKey keys_[2];
};

const auto* const kGuard = ::testing::AddGlobalTestEnvironment(new SettingsGuard);

}  // namespace
