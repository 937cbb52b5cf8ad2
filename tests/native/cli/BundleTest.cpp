// Bundles: export, the file form, import into the store all or nothing, and every refusal.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/BundleJson.h"
#include "cli/BundleStore.h"
#include "cli/CliArgs.h"
#include "cli/CliOutput.h"
#include "tests/native/cli/CliTestKit.h"
#include "cli/Utf8.h"

using cli::ApplyBundle;
using cli::Bundle;
using cli::BundleParse;
using cli::BundleToJson;
using cli::CheckBundleForMouse;
using cli::CliCommand;
using cli::CliParse;
using cli::ErrorLine;
using cli::ExportBundle;
using cli::FromUtf8;
using cli::ParseBundle;
using cli::ParseCliArgs;
using cli::StoreChange;
using cli::ToUtf8;

using device::ButtonKeyPath;
using device::DefaultRecordText;
using device::kDescriptionValue;
using device::kFilePathValue;
using device::kKeysValue;
using device::kWheelLightValue;
using device::LightKeyPath;
using device::SingleCommandRecordText;

using platform::MemorySettingsStore;
using platform::SettingsHive;
using platform::SettingsKey;
using platform::SettingsStore;
using platform::SettingsValueKind;

namespace {

// A store whose writes fail from the nth one on, to see an import put everything back.
class FailingStore final : public SettingsStore {
  public:
    explicit FailingStore(MemorySettingsStore& inner) : inner_(inner) {}
    int failFrom = -1;
    int writes = 0;

    std::unique_ptr<SettingsKey> OpenKey(SettingsHive hive, std::wstring_view path) override {
        auto key = inner_.OpenKey(hive, path);
        return key ? std::make_unique<Key>(std::move(key), *this) : nullptr;
    }
    bool KeyExists(SettingsHive hive, std::wstring_view path) const override {
        return inner_.KeyExists(hive, path);
    }
    std::vector<std::wstring> SubkeyNames(SettingsHive hive,
                                          std::wstring_view path) const override {
        return inner_.SubkeyNames(hive, path);
    }
    bool DeleteKeyTree(SettingsHive hive, std::wstring_view path) override {
        return inner_.DeleteKeyTree(hive, path);
    }

  private:
    // Each write counts; the nth fails, and the writes after it (putting things back) go through.
    bool Allowed() { return failFrom < 0 || restoring || writes++ < failFrom; }
    bool Refuse() {
        restoring = true;
        return false;
    }
    class Key final : public SettingsKey {
      public:
        Key(std::unique_ptr<SettingsKey> inner, FailingStore& owner)
            : inner_(std::move(inner)), owner_(owner) {}
        bool ValueExists(std::wstring_view n) const override { return inner_->ValueExists(n); }
        SettingsValueKind KindOf(std::wstring_view n) const override { return inner_->KindOf(n); }
        std::optional<std::wstring> ReadString(std::wstring_view n) const override {
            return inner_->ReadString(n);
        }
        std::optional<std::int32_t> ReadInteger(std::wstring_view n) const override {
            return inner_->ReadInteger(n);
        }
        bool WriteString(std::wstring_view n, std::wstring_view v) override {
            return owner_.Allowed() ? inner_->WriteString(n, v) : owner_.Refuse();
        }
        bool WriteInteger(std::wstring_view n, std::int32_t v) override {
            return owner_.Allowed() ? inner_->WriteInteger(n, v) : owner_.Refuse();
        }
        bool DeleteValue(std::wstring_view n) override { return inner_->DeleteValue(n); }
        std::vector<std::wstring> ValueNames() const override { return inner_->ValueNames(); }

      private:
        std::unique_ptr<SettingsKey> inner_;
        FailingStore& owner_;
    };
    bool restoring = false;
    MemorySettingsStore& inner_;
};

template <typename Fn>
std::string Edit(const std::string& text, Fn change) {
    auto json = nlohmann::json::parse(text);
    change(json);
    return json.dump();
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(Bundle, ExportFileImportGivesTheSameStoreValueForValue) {
    MemorySettingsStore original;
    SeedUsedStore(original);
    const Bundle exported = ExportBundle(original);
    EXPECT_EQ(exported.macros.size(), 2u);
    EXPECT_EQ(exported.profiles[1].buttons[4].macro, L"Grüße");
    EXPECT_FALSE(exported.profiles[0].buttons[0].macro);
    EXPECT_EQ(exported.profiles[2].buttons[2].launchPath, L"C:\\Windows\\notepad.exe");
    // Exporting reads only: nothing was created on the way.
    const auto before = DumpStore(original);
    const std::string file = BundleToJson(exported);
    EXPECT_EQ(DumpStore(original), before);
    EXPECT_NE(file.find("\"version\": 1"), std::string::npos);
    EXPECT_NE(file.find(ToUtf8(L"Grüße")), std::string::npos);  // UTF-8 as it stands

    const BundleParse parsed = ParseBundle(file);
    ASSERT_TRUE(parsed.ok) << ToUtf8(parsed.error);
    EXPECT_EQ(parsed.bundle, exported);

    MemorySettingsStore fresh;
    const StoreChange change = ApplyBundle(fresh, parsed.bundle);
    ASSERT_TRUE(change.ok) << ToUtf8(change.error);
    EXPECT_EQ(DumpStore(fresh), before);

    // Over a store that holds other things: the slots are replaced (a value the bundle does not
    // hold goes), other macros stay.
    MemorySettingsStore used;
    used.Seed(SettingsHive::CurrentUser, ButtonKeyPath(4, 1), kFilePathValue, L"C:\\old.exe");
    used.Seed(SettingsHive::CurrentUser, macro::MacroKeyPath(L"mine"), kKeysValue, L"0 ");
    ASSERT_TRUE(ApplyBundle(used, parsed.bundle).ok);
    auto dump = DumpStore(used);
    EXPECT_EQ(dump[L"\\SOFTWARE\\Tavrine5502\\profile4\\Rbutton"].count(L"filepath"), 0u);
    EXPECT_EQ(dump.count(L"\\SOFTWARE\\Tavrine5502\\MACROS\\mine"), 1u);
}

TEST(Bundle, ImportIntoAnEmptyStoreCreatesThePerformanceDefaultsAsTheProgramWould) {
    MemorySettingsStore original;
    SeedUsedStore(original);
    original.DeleteKeyTree(SettingsHive::CurrentUser, performance::kPerformanceDefaultKey);
    MemorySettingsStore fresh;
    ASSERT_TRUE(ApplyBundle(fresh, ExportBundle(original)).ok);
    auto key = fresh.OpenKey(SettingsHive::CurrentUser, performance::kPerformanceDefaultKey);
    EXPECT_EQ(key->ReadInteger(L"DpiLevel4"), performance::kFactoryPerformance.DpiLevel4);
    EXPECT_EQ(fresh.OpenKey(SettingsHive::CurrentUser, performance::kPerformanceKey)
                  ->ReadInteger(L"DpiLevel3"),
              16);
}

TEST(Bundle, EveryDamagedFileIsRefusedWithItsReason) {
    MemorySettingsStore original;
    SeedUsedStore(original);
    const std::string good = BundleToJson(ExportBundle(original));
    const std::string record = ToUtf8(DefaultRecordText(0));
    struct Case {
        std::string file;
        std::wstring reason;
    };
    const std::vector<Case> cases = {
        {good.substr(0, good.size() / 2), L"not complete JSON"},
        {"", L"not complete JSON"},
        {"[1,2]", L"not a profile bundle"},
        {Replace(good, "\"version\": 1", "\"version\": 2"), L"version 2"},
        {Replace(good, "\"version\": 1", "\"version\": \"1\""), L"no version"},
        {Replace(good, "tavrine-profile-bundle", "other"), L"not a profile bundle"},
        {Replace(good, record, record.substr(0, record.size() - 3)),
         L"profile 1, left button: the button record holds 81 numbers instead of 82"},
        {Replace(good, record, "1ff" + record.substr(2)), L"not one byte"},
        {Replace(good, record, "zz" + record.substr(2)), L"not a hexadecimal"},
        {Replace(good, "\"macro\": \"" + ToUtf8(L"Grüße"), "\"macro\": \"gone"),
         L"profile 2, second side button: uses the macro \"gone\", which the bundle does not hold"},
        {Replace(good, "\"kind\": 3", "\"kind\": 9"), L"function kind 9 is unknown"},
        {Replace(good, "\"kind\": 3", "\"kind\": 3.5"), L"not a whole number"},
        {Replace(good, "\"DpiLevel1\": 5", "\"DpiLevel1\": 36"), L"DpiLevel1 is 36, outside 1..35"},
        {Replace(good, "\"wheel\": 0", "\"wheel\": 2"), L"neither 0"},
        {Replace(good, "\"repeatState\": \"a1\"", "\"repeatState\": \"b7\""), L"unknown repeat"},
        {Replace(good, "\"name\": \"spare\"", "\"name\": \"a\\\\b\""), L"cannot be stored"},
        {Replace(good, "\"name\": \"spare\"", "\"name\": \"" + ToUtf8(L"grüße") + "\""),
         L"in the bundle twice"},
        {Edit(good, [](nlohmann::json& j) { j["profiles"].erase(4); }), L"entries instead of 5"},
        {Edit(good, [](nlohmann::json& j) { j["profiles"][0]["buttons"][1]["keys"] = 7; }),
         L"profile 1, right button: \"keys\" is not a text"},
    };
    for (const Case& c : cases) {
        const BundleParse parse = ParseBundle(c.file);
        EXPECT_FALSE(parse.ok) << ToUtf8(c.reason);
        EXPECT_NE(parse.error.find(c.reason), std::wstring::npos)
            << ToUtf8(parse.error) << " / wanted " << ToUtf8(c.reason);
    }
    // The store is never reached by a refused bundle; ApplyBundle checks on its own too.
    Bundle bad = ExportBundle(original);
    bad.profiles[3].buttons[0].kind = 7;
    MemorySettingsStore untouched;
    untouched.Seed(SettingsHive::CurrentUser, LightKeyPath(), kWheelLightValue, 1);
    const auto before = DumpStore(untouched);
    EXPECT_FALSE(ApplyBundle(untouched, bad).ok);
    EXPECT_EQ(DumpStore(untouched), before);
}

TEST(Bundle, AWriteFailingAnywhereLeavesTheStoreAsItWas) {
    MemorySettingsStore source;
    SeedUsedStore(source);
    const Bundle bundle = ExportBundle(source);
    int total = 0;
    {
        MemorySettingsStore counting;
        FailingStore store(counting);
        store.failFrom = 1 << 30;
        ASSERT_TRUE(ApplyBundle(store, bundle).ok);
        total = store.writes;
    }
    ASSERT_GT(total, 100);
    for (int failAt : {0, 1, total / 2, total - 1}) {
        MemorySettingsStore inner;
        inner.Seed(SettingsHive::CurrentUser, ButtonKeyPath(0, 0), kKeysValue, L"old");
        inner.Seed(SettingsHive::CurrentUser, ButtonKeyPath(0, 0), kFilePathValue, L"C:\\x.exe");
        inner.Seed(SettingsHive::CurrentUser, macro::MacroKeyPath(L"spare"), kDescriptionValue,
                   L"mine");
        const auto before = DumpStore(inner);
        FailingStore store(inner);
        store.failFrom = failAt;
        const StoreChange change = ApplyBundle(store, bundle);
        EXPECT_FALSE(change.ok) << failAt;
        EXPECT_NE(change.error.find(L"nothing was changed"), std::wstring::npos);
        EXPECT_EQ(DumpStore(inner), before) << "failing at write " << failAt;
    }
}

TEST(Bundle, ForTheMouseEveryProfileNeedsALeftButtonFunction) {
    MemorySettingsStore store;
    SeedUsedStore(store);
    Bundle bundle = ExportBundle(store);
    EXPECT_EQ(CheckBundleForMouse(bundle), L"");
    bundle.profiles[3].buttons[0].keys = SingleCommandRecordText(2);  // Button Off
    EXPECT_NE(CheckBundleForMouse(bundle).find(L"Profile 4"), std::wstring::npos);
}

TEST(Cli, CommandLinesAndTheirMistakes) {
    auto parse = [](std::vector<std::wstring> words) { return ParseCliArgs(words); };
    auto dpi = parse({L"dpi", L"2", L"1600", L"--save"});
    ASSERT_TRUE(dpi.ok);
    EXPECT_EQ(dpi.args.command, CliCommand::Dpi);
    EXPECT_EQ(dpi.args.number, 2);
    EXPECT_EQ(dpi.args.dpi, 1600);
    EXPECT_TRUE(dpi.args.save);
    auto light = parse({L"light", L"logo", L"off"});
    ASSERT_TRUE(light.ok);
    EXPECT_FALSE(light.args.wheel);
    EXPECT_FALSE(light.args.on);
    auto import = parse({L"import", L"C:\\b.json", L"--write"});
    ASSERT_TRUE(import.ok);
    EXPECT_EQ(import.args.file, L"C:\\b.json");
    EXPECT_TRUE(parse({L"--help"}).ok);
    EXPECT_TRUE(parse({L"read-back", L"--json", L"--into-store"}).args.intoStore);

    for (const auto& [words, why] : std::vector<std::pair<std::vector<std::wstring>, std::wstring>>{
             {{}, L"no command"},
             {{L"flash"}, L"unknown command flash"},
             {{L"dpi"}, L"too few"},
             {{L"polling", L"500", L"1"}, L"too many"},
             {{L"dpi", L"x"}, L"not a number"},
             {{L"dpi", L"2", L"-5"}, L"not a number"},
             {{L"light", L"side", L"on"}, L"wheel or logo"},
             {{L"light", L"wheel", L"dim"}, L"on or off"},
             {{L"export", L"f", L"--write"}, L"does not take"},
             {{L"status", L"--force"}, L"unknown option --force"},
         }) {
        const CliParse p = parse(words);
        EXPECT_FALSE(p.ok);
        EXPECT_NE(p.error.find(why), std::wstring::npos) << ToUtf8(p.error);
    }
    EXPECT_EQ(ErrorLine(L"import", L"The file is not complete JSON."),
              L"tavrine: import failed: the file is not complete JSON");
    EXPECT_EQ(ErrorLine(L"dpi", L"DPI outside."), L"tavrine: dpi failed: DPI outside");
}

TEST(Cli, WideTextSurvivesUtf8BothWaysAndBrokenBytesDoNotCrash) {
    const std::wstring text = L"Grüße \u20AC \U0001F5B1";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(L"\u00FC"), "\xC3\xBC");
    EXPECT_EQ(FromUtf8("a\xC3"), L"a\uFFFD");
    EXPECT_EQ(FromUtf8("\xED\xA0\x80z"), L"\uFFFD\uFFFD\uFFFDz");  // an encoded surrogate
}
