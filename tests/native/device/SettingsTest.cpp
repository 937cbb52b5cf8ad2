#include <gtest/gtest.h>

#include "tests/native/device/MouseRig.h"
#include "device/ProfileStore.h"
#include "device/RecordTemplates.h"
#include "device/SettingsLayout.h"

using device::ButtonKeyPath;
using device::DefaultRecordText;
using device::InitialRecordTexts;
using device::kFunctionDefault;
using device::kFunctionSingleCommand;
using device::kInstallKey;
using device::kMaxDescriptionLength;
using device::LightKeyPath;
using device::LoadProfile;
using device::MainState;
using device::ReadInstallPath;
using device::ReadLaunchFile;
using device::ROMAddress;
using device::SaveProfile;
using device::WriteLaunchFile;
using device::WriteSlotDescription;

using platform::ManualTimeline;
using platform::MemorySettingsStore;
using platform::SettingsHive;
using platform::SettingsValueKind;

namespace {

using namespace std::chrono_literals;

TEST(MemoryStore, BehavesLikeTheRegistry) {
    MemorySettingsStore store;
    auto key =
        store.OpenKey(SettingsHive::CurrentUser, L"\\SOFTWARE\\Tavrine5502\\profile0\\Lbutton");
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->WriteString(L"keys", L"c0 40"));
    EXPECT_TRUE(key->WriteInteger(L"StateID", 3));
    // Names are case-insensitive; outer backslashes do not matter; ancestors exist.
    auto again =
        store.OpenKey(SettingsHive::CurrentUser, L"software\\TAVRINE5502\\Profile0\\LBUTTON\\");
    EXPECT_EQ(again->ReadString(L"KEYS"), L"c0 40");
    EXPECT_TRUE(store.KeyExists(SettingsHive::CurrentUser, L"SOFTWARE\\Tavrine5502"));
    // A value of the other kind reads as missing.
    EXPECT_FALSE(again->ReadInteger(L"keys"));
    EXPECT_FALSE(again->ReadString(L"StateID"));
    EXPECT_EQ(again->KindOf(L"nothing"), SettingsValueKind::None);

    // The machine hive is read only and never created by opening.
    EXPECT_FALSE(store.OpenKey(SettingsHive::LocalMachine, kInstallKey));
    store.Seed(SettingsHive::LocalMachine, kInstallKey, L"installpath", L"C:\\Tavrine");
    auto machine = store.OpenKey(SettingsHive::LocalMachine, kInstallKey);
    EXPECT_FALSE(machine->WriteString(L"installpath", L"x"));
    EXPECT_EQ(ReadInstallPath(store), L"C:\\Tavrine");
    EXPECT_FALSE(store.DeleteKeyTree(SettingsHive::LocalMachine, kInstallKey));

    EXPECT_TRUE(store.DeleteKeyTree(SettingsHive::CurrentUser, L"SOFTWARE\\Tavrine5502\\profile0"));
    EXPECT_FALSE(
        store.KeyExists(SettingsHive::CurrentUser, L"SOFTWARE\\Tavrine5502\\profile0\\Lbutton"));
    EXPECT_TRUE(store.KeyExists(SettingsHive::CurrentUser, L"SOFTWARE\\Tavrine5502"));
    EXPECT_TRUE(key->WriteString(L"late", L"x"));  // an open key of a deleted tree stays usable
    // Opened again, the key comes back empty and so does its deleted parent, spelt as asked.
    auto back =
        store.OpenKey(SettingsHive::CurrentUser, L"SOFTWARE\\Tavrine5502\\PROFILE0\\Lbutton");
    EXPECT_FALSE(back->ValueExists(L"late"));
    EXPECT_EQ(store.SubkeyNames(SettingsHive::CurrentUser, L"software\\tavrine5502"),
              std::vector<std::wstring>{L"PROFILE0"});
    // A path of separators only names no key and creates none.
    const std::size_t keys = store.KeyCount();
    EXPECT_FALSE(store.OpenKey(SettingsHive::CurrentUser, L"\\\\"));
    EXPECT_EQ(store.KeyCount(), keys);
}

TEST(LoadProfile, ReadsSlotsRecordsAndLights) {
    MemorySettingsStore store;
    MainState state;
    store.Seed(SettingsHive::CurrentUser, ButtonKeyPath(3, 4), L"keys", L"9c 0 9c c0");
    store.Seed(SettingsHive::CurrentUser, ButtonKeyPath(3, 4), L"DES", L"Backward");
    store.Seed(SettingsHive::CurrentUser, ButtonKeyPath(3, 4), L"StateID", 2);
    store.Seed(SettingsHive::CurrentUser, ButtonKeyPath(3, 0), L"DES", std::wstring(400, L'd'));
    store.Seed(SettingsHive::CurrentUser, LightKeyPath(), L"WheelLight", 1);
    state.lightState.LogoLight = 1;

    ASSERT_TRUE(LoadProfile(store, 3, state));
    EXPECT_EQ(state.recordTexts[4], L"9c 0 9c c0");
    EXPECT_EQ(state.slotTable[3][4].description, L"Backward");
    EXPECT_EQ(state.slotTable[3][4].kind, kFunctionSingleCommand);
    EXPECT_EQ(state.recordTexts[1], L"");
    EXPECT_EQ(state.slotTable[3][1].description, L"");
    EXPECT_EQ(state.slotTable[3][0].description.size(), kMaxDescriptionLength);
    EXPECT_EQ(state.lightState.WheelLight, 1);
    EXPECT_EQ(state.lightState.LogoLight, 1);  // a lone WheelLight leaves the logo as it was

    EXPECT_FALSE(LoadProfile(store, 5, state));
    EXPECT_FALSE(LoadProfile(store, -1, state));
}

TEST(LaunchFile, StaysWhenTheSlotGetsAnotherFunction) {
    MemorySettingsStore store;
    MainState state;
    ASSERT_TRUE(WriteLaunchFile(store, 2, 3, L"C:\\tool.exe"));
    state.recordTexts = InitialRecordTexts();
    state.recordTexts[3] = DefaultRecordText(3);
    state.slotTable[2][3] = {L"", kFunctionDefault};
    ASSERT_TRUE(WriteSlotDescription(store, 2, 3, L""));
    ASSERT_TRUE(SaveProfile(store, 2, state));
    EXPECT_EQ(ReadLaunchFile(store, 2, 3), L"C:\\tool.exe");
    EXPECT_EQ(ReadLaunchFile(store, 2, 4), L"");
    EXPECT_EQ(ReadLaunchFile(store, 9, 0), L"");
    EXPECT_FALSE(WriteLaunchFile(store, 0, 5, L"x"));
}

// Texts from the store are not trusted for their size: an oversized "keys" value still writes
// its first 82 numbers and nothing else.
TEST(LoadProfile, OversizedKeysFromTheStoreWriteSafely) {
    MouseRig rig;
    std::wstring huge = L"c0 40";
    for (int i = 0; i < 400; ++i) huge += L" 1ee";
    huge += L" " + std::wstring(2000, L'7');
    rig.store.Seed(SettingsHive::CurrentUser, ButtonKeyPath(0, 0), L"keys", huge);
    LoadProfile(rig.store, 0, rig.state);
    rig.writer.Start();
    rig.RunFor(1s);
    ASSERT_EQ(rig.Writes().size(), 35u);
    const auto* left = rig.mouse.Eeprom() + ROMAddress[0][0];
    EXPECT_EQ(left[0], 0xC0);
    EXPECT_EQ(left[1], 0x40);
    for (int i = 2; i < 80; ++i) EXPECT_EQ(left[i], 0xEE) << i;
    EXPECT_EQ(left[80], 0xA0);  // 0xEE is no repeat mode
    EXPECT_EQ(left[81], 0xEE);
    EXPECT_EQ(left[82], 0x00);  // the right record (empty text) begins untouched by the rest
}

TEST(ManualTimeline, FiresDueTimersInDeadlineOrderAndWaitsFireNothing) {
    ManualTimeline t;
    std::vector<std::string> fired;
    t.Start("b", 20ms, [&] { fired.push_back("b"); });
    t.Start("a", 10ms, [&] {
        fired.push_back("a");
        t.Start("a", 5ms, [&] { fired.push_back("a2"); });  // restarted from its own callback
    });
    EXPECT_EQ(t.NextDue(), 10ms);
    t.Wait(30ms);
    EXPECT_TRUE(fired.empty());
    t.Advance(0ms);  // overdue timers fire once the thread is free again
    EXPECT_EQ(fired, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(t.DueAt("a"), 35ms);  // restarted at the moment it fired
    t.Advance(5ms);
    EXPECT_EQ(fired, (std::vector<std::string>{"a", "b", "a2"}));
    t.Start("c", 10ms, [&] { fired.push_back("c"); });
    t.Stop("c");
    EXPECT_EQ(t.NextDue(), std::nullopt);  // "c" was stopped
    t.Advance(1s);
    EXPECT_EQ(fired.size(), 3u);
}

}  // namespace
