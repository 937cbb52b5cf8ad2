// The registry store under Wine, checked through the registry API itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "device/ProfileStore.h"
#include "device/RecordTemplates.h"
#include "platform/RegistrySettingsStore_win.h"
#include "device/SettingsLayout.h"

using device::DefaultDescription;
using device::DefaultRecordText;
using device::kFunctionDefault;
using device::kFunctionSingleCommand;
using device::LoadProfile;
using device::MainState;
using device::SaveProfile;
using device::SingleCommandRecordText;

using platform::RegistrySettingsStore;
using platform::SettingsHive;
using platform::SettingsValueKind;

namespace {

struct RawValue {
    DWORD type = 0;
    std::wstring text;
    DWORD number = 0;
    bool found = false;
};

RawValue QueryRaw(HKEY root, const std::wstring& path, const wchar_t* name) {
    RawValue v;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return v;
    BYTE data[4096] = {};
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key, name, nullptr, &v.type, data, &size) == ERROR_SUCCESS) {
        v.found = true;
        if (v.type == REG_SZ) v.text = reinterpret_cast<const wchar_t*>(data);
        if (v.type == REG_DWORD && size == 4) std::memcpy(&v.number, data, 4);
    }
    RegCloseKey(key);
    return v;
}

class RegistryStore : public testing::Test {
  protected:
    // A private tree per run, removed afterwards.
    void SetUp() override {
        root_ = L"SOFTWARE\\TavrineStoreTest" + std::to_wstring(GetCurrentProcessId());
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, root_.c_str());
    }
    std::wstring root_;
    RegistrySettingsStore store_;
};

TEST_F(RegistryStore, StringsAreRegSzAndIntegersRegDword) {
    auto key = store_.OpenKey(SettingsHive::CurrentUser, L"\\" + root_ + L"\\a\\b\\");
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->WriteString(L"keys", L"c0 40 00"));
    EXPECT_TRUE(key->WriteInteger(L"StateID", -2));

    const auto s = QueryRaw(HKEY_CURRENT_USER, root_ + L"\\a\\b", L"keys");
    EXPECT_EQ(s.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(s.text, L"c0 40 00");
    const auto n = QueryRaw(HKEY_CURRENT_USER, root_ + L"\\a\\b", L"StateID");
    EXPECT_EQ(n.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(n.number, 0xFFFFFFFEu);

    EXPECT_EQ(key->ReadString(L"KEYS"), L"c0 40 00");
    EXPECT_EQ(key->ReadInteger(L"StateID"), -2);
    EXPECT_EQ(key->KindOf(L"keys"), SettingsValueKind::String);
    EXPECT_EQ(key->KindOf(L"StateID"), SettingsValueKind::Integer);
    EXPECT_FALSE(key->ReadInteger(L"keys"));
    EXPECT_FALSE(key->ReadString(L"StateID"));
    EXPECT_FALSE(key->ValueExists(L"missing"));
    EXPECT_EQ(store_.SubkeyNames(SettingsHive::CurrentUser, root_),
              std::vector<std::wstring>{L"a"});
}

TEST_F(RegistryStore, StringsWithoutTerminatorAndLongStringsReadExactly) {
    auto key = store_.OpenKey(SettingsHive::CurrentUser, root_);
    ASSERT_TRUE(key);
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, root_.c_str(), 0, KEY_SET_VALUE, &raw),
              ERROR_SUCCESS);
    const wchar_t unterminated[] = {L'c', L'0', L' ', L'4', L'0'};
    RegSetValueExW(raw, L"keys", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated),
                   sizeof(unterminated));
    RegCloseKey(raw);
    EXPECT_EQ(key->ReadString(L"keys"), L"c0 40");

    const std::wstring longText(20000, L'f');
    EXPECT_TRUE(key->WriteString(L"long", longText));
    EXPECT_EQ(key->ReadString(L"long"), longText);
}

TEST_F(RegistryStore, MachineHiveIsReadOnlyAndNeverCreated) {
    const std::wstring missing =
        L"SOFTWARE\\TavrineNoSuchKey" + std::to_wstring(GetCurrentProcessId());
    EXPECT_FALSE(store_.OpenKey(SettingsHive::LocalMachine, missing));
    EXPECT_FALSE(store_.KeyExists(SettingsHive::LocalMachine, missing));
    auto existing = store_.OpenKey(SettingsHive::LocalMachine,
                                   L"\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\");
    ASSERT_TRUE(existing);
    EXPECT_TRUE(existing->ReadString(L"CurrentVersion").has_value());
    EXPECT_FALSE(existing->WriteString(L"TavrineTest", L"x"));
    EXPECT_FALSE(existing->ValueExists(L"TavrineTest"));
    EXPECT_FALSE(store_.DeleteKeyTree(SettingsHive::LocalMachine, L"SOFTWARE\\Microsoft"));
}

TEST_F(RegistryStore, DeleteKeyTreeRemovesEverythingBelow) {
    store_.OpenKey(SettingsHive::CurrentUser, root_ + L"\\x\\y\\z")->WriteInteger(L"v", 1);
    EXPECT_TRUE(store_.DeleteKeyTree(SettingsHive::CurrentUser, root_ + L"\\x"));
    EXPECT_FALSE(store_.KeyExists(SettingsHive::CurrentUser, root_ + L"\\x"));
    EXPECT_TRUE(store_.KeyExists(SettingsHive::CurrentUser, root_));
    EXPECT_FALSE(store_.DeleteKeyTree(SettingsHive::CurrentUser, root_ + L"\\x"));
}

// The layout the rest of the system (and the user's later runs) rely on.
TEST(RegistryLayout, SaveAndLoadProfileIndexTwo) {
    RegistrySettingsStore store;
    MainState state;
    for (int b = 0; b < 5; ++b) {
        state.recordTexts[b] = DefaultRecordText(b);
        state.slotTable[2][b] = {std::wstring(DefaultDescription(b)), kFunctionDefault};
    }
    state.recordTexts[3] = SingleCommandRecordText(6);
    state.slotTable[2][3] = {L"Forward", kFunctionSingleCommand};
    state.lightState = {0, 1};
    ASSERT_TRUE(SaveProfile(store, 2, state));

    const std::wstring middle = L"SOFTWARE\\Tavrine5502\\profile2\\Mbutton";
    const auto keys = QueryRaw(HKEY_CURRENT_USER, middle, L"keys");
    EXPECT_EQ(keys.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(keys.text, DefaultRecordText(2));
    EXPECT_EQ(QueryRaw(HKEY_CURRENT_USER, middle, L"DES").text, L"Middle button");
    const auto kind = QueryRaw(HKEY_CURRENT_USER, middle, L"StateID");
    EXPECT_EQ(kind.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(kind.number, 3u);
    const auto side =
        QueryRaw(HKEY_CURRENT_USER, L"SOFTWARE\\Tavrine5502\\profile2\\XB1button", L"DES");
    EXPECT_EQ(side.text, L"Forward");
    const auto wheel = QueryRaw(HKEY_CURRENT_USER, L"SOFTWARE\\Tavrine5502\\LIGHT", L"WheelLight");
    const auto logo = QueryRaw(HKEY_CURRENT_USER, L"SOFTWARE\\Tavrine5502\\LIGHT", L"LogoLight");
    EXPECT_EQ(wheel.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(wheel.number, 0u);
    EXPECT_EQ(logo.number, 1u);

    MainState loaded;
    ASSERT_TRUE(LoadProfile(store, 2, loaded));
    EXPECT_EQ(loaded.recordTexts, state.recordTexts);
    EXPECT_EQ(loaded.slotTable[2][3].description, L"Forward");
    EXPECT_EQ(loaded.slotTable[2][3].kind, kFunctionSingleCommand);
    EXPECT_EQ(loaded.lightState.LogoLight, 1);
}

}  // namespace
