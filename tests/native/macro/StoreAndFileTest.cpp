#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "macro/MacroDialogs.h"
#include "macro/MacroFile.h"
#include "macro/MacroRecorder.h"
#include "macro/MacroRows.h"
#include "macro/MacroStore.h"
#include "tests/native/macro/MacroTestKit.h"
#include "macro/MacroText.h"
#include "platform/MemorySettingsStore.h"

using macro::AcceptNewMacroName;
using macro::ApplyMacro;
using macro::ChooseStoredMacro;
using macro::ClearLastMarks;
using macro::CommandMarkText;
using macro::CommandSlots;
using macro::CommandSlotsByCode;
using macro::CommandSlotsFromMark;
using macro::DeleteStoredMacro;
using macro::EncodeMacroFile;
using macro::FileOutcome;
using macro::kCommandSlotsValue;
using macro::kInvalidNameText;
using macro::kNameTooLongText;
using macro::LoadMacroFile;
using macro::MacroDocument;
using macro::MacroFileResult;
using macro::MacroImage;
using macro::MacroImageText;
using macro::MacroKeyPath;
using macro::MacroLanguage;
using macro::MacroNameFromPath;
using macro::MacroRecord;
using macro::MacroRecorder;
using macro::MacrosKeyPath;
using macro::NewMacroOutcome;
using macro::ParseMacroKeys;
using macro::PutRecordName;
using macro::RecordName;
using macro::RepeatCountFromText;
using macro::RepeatOption;
using macro::SaveMacroFile;
using macro::SlotCode;
using macro::StoredMacroNames;
using macro::WriteRepeatOption;

using platform::MemorySettingsStore;
using platform::SettingsHive;
using platform::SettingsKey;

namespace {

namespace fs = std::filesystem;

std::wstring Tokens(std::wstring_view token, int times) {
    std::wstring out;
    for (int i = 0; i < times; ++i) out += std::wstring(token) + L' ';
    return out;
}

TEST(MacroText, TextFormAndItsParse) {
    const MacroImage image = Slots({{0x04, 0x43}});
    const std::wstring text = MacroImageText(image);
    EXPECT_EQ(text, L"4 43 " + Tokens(L"0", 80));
    EXPECT_EQ(ParseMacroKeys(text).image, image);

    // Random images survive the round trip.
    std::mt19937 random(7);
    for (int n = 0; n < 200; ++n) {
        MacroImage any;
        for (auto& b : any) b = static_cast<std::uint8_t>(random());
        const auto parsed = ParseMacroKeys(MacroImageText(any));
        ASSERT_TRUE(parsed.ok);
        EXPECT_EQ(parsed.image, any);
    }

    // Past 82 tokens nothing is written; long tokens keep their low 8 bits; the characters after
    // the last space are no token; missing tokens are 0.
    auto parsed = ParseMacroKeys(Tokens(L"1", 82) + Tokens(L"zz", 500));
    EXPECT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.image[81], 1);
    EXPECT_EQ(ParseMacroKeys(L"1ff 0 ").image[0], 0xFF);
    EXPECT_EQ(ParseMacroKeys(L"4 0 4 80").image, Slots({{0x04, 0x00}, {0x04, 0x00}}));
    parsed = ParseMacroKeys(L"4 0 4 x0 ");
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.error, L"'0xx0' is not a valid integer value.");
    EXPECT_FALSE(ParseMacroKeys(L"4  0 ").ok);  // an empty token is no number
}

TEST(MacroText, CommandMarkBelongsToItsBytes) {
    const MacroImage image = Slots({{0xE0, 0x00}, {0x06, 0x00}, {0xE0, 0xD2}, {0xE1, 0xE1}});
    CommandSlots commands;
    commands[3] = true;
    const std::wstring mark = CommandMarkText(image, commands);
    EXPECT_EQ(CommandSlotsFromMark(image, mark), commands);
    // Without a mark, or with one made for other bytes, the codes decide.
    EXPECT_EQ(CommandSlotsFromMark(image, L""), CommandSlotsByCode(image));
    MacroImage rewritten = image;
    rewritten[3] = 0x01;
    EXPECT_EQ(CommandSlotsFromMark(rewritten, mark), CommandSlotsByCode(rewritten));
    for (const wchar_t* bad : {L"2 8 0", L"1 8", L"1 zz 0", L"1 ffffffffffff 0", L"1 8 0 0"})
        EXPECT_EQ(CommandSlotsFromMark(image, bad), CommandSlotsByCode(image)) << bad;
    // A mark cannot make a key out of a code that is only ever a command.
    CommandSlots none;
    const MacroImage copy = Slots({{0xD2, 0xD2}});
    EXPECT_TRUE(CommandSlotsFromMark(copy, CommandMarkText(copy, none))[0]);
}

struct EditorRig {
    MemorySettingsStore store;
    TableKeyNames names;
    MacroDocument document;
    MacroRecorder recorder;
    std::wstring time2 = L"0";

    void RecordPressAndRelease(std::uint8_t scan, std::uint32_t tick = 1000) {
        recorder.Start(document);
        recorder.HandleKeyMessage(document, Press(scan), tick, time2, names);
        recorder.HandleKeyMessage(document, Release(scan), tick + 200, time2, names);
        recorder.Stop(document);
    }
    std::unique_ptr<SettingsKey> Key(std::wstring_view name) {
        return store.OpenKey(SettingsHive::CurrentUser, MacroKeyPath(name));
    }
};

TEST(MacroStore, NewRecordApplyChooseAndDelete) {
    EditorRig rig;
    // New: the name is checked, its key created, the editor emptied.
    auto result = AcceptNewMacroName(rig.store, L"Test", rig.document);
    EXPECT_EQ(result.outcome, NewMacroOutcome::Created);
    EXPECT_TRUE(result.enableEditor);
    EXPECT_EQ(rig.document.macroName, L"Test");
    EXPECT_TRUE(
        rig.store.KeyExists(SettingsHive::CurrentUser, L"\\SOFTWARE\\Tavrine5502\\MACROS\\Test"));
    rig.RecordPressAndRelease(0x1E);
    ASSERT_TRUE(ApplyMacro(rig.store, rig.document));
    auto key = rig.Key(L"Test");
    const std::wstring keys = key->ReadString(L"keys").value();
    EXPECT_EQ(keys, L"4 2 4 c0 " + Tokens(L"0", 78));
    EXPECT_EQ(key->ReadString(L"DES"), L"Test");
    EXPECT_TRUE(key->ReadString(kCommandSlotsValue));
    EXPECT_EQ(StoredMacroNames(rig.store), std::vector<std::wstring>{L"Test"});

    // Choosing it again rebuilds the rows from the store.
    MacroDocument other;
    ASSERT_TRUE(ChooseStoredMacro(rig.store, L"Test", other, rig.names, kWords).ok);
    EXPECT_EQ(other.macroName, L"Test");
    EXPECT_EQ(other.recordName, L"Test");
    ASSERT_EQ(other.RowCount(), 2);
    EXPECT_EQ(other.rows[0].caption, L"A  press");
    EXPECT_EQ(other.image, Slots({{0x04, 0x02}, {0x04, 0x80}}));  // end bit cleared for editing

    // A text that does not parse leaves the editor as it was, rows and name included.
    rig.store.Seed(SettingsHive::CurrentUser, MacroKeyPath(L"Broken"), L"keys", L"4 0 zz 80 ");
    const MacroDocument before = other;
    const auto broken = ChooseStoredMacro(rig.store, L"Broken", other, rig.names, kWords);
    EXPECT_FALSE(broken.ok);
    EXPECT_NE(broken.error.find(L"0xzz"), std::wstring::npos);
    EXPECT_EQ(other.macroName, before.macroName);
    EXPECT_EQ(other.image, before.image);
    EXPECT_EQ(other.RowCount(), before.RowCount());

    // A text without its trailing space loses its last byte; a missing key reads as empty.
    rig.store.Seed(SettingsHive::CurrentUser, MacroKeyPath(L"Short"), L"keys", L"4 0 4 80");
    ASSERT_TRUE(ChooseStoredMacro(rig.store, L"Short", other, rig.names, kWords).ok);
    EXPECT_EQ(other.image, Slots({{0x04, 0x00}, {0x04, 0x00}}));
    ASSERT_TRUE(ChooseStoredMacro(rig.store, L"Nowhere", other, rig.names, kWords).ok);
    EXPECT_EQ(other.RowCount(), 0);
    EXPECT_EQ(other.macroName, L"Nowhere");

    // Delete: nothing with an empty name; otherwise the key and the editor's macro go.
    MacroDocument unnamed;
    EXPECT_FALSE(DeleteStoredMacro(rig.store, unnamed));
    EXPECT_TRUE(DeleteStoredMacro(rig.store, rig.document));
    EXPECT_EQ(rig.document.macroName, L"");
    EXPECT_EQ(rig.document.RowCount(), 0);
    EXPECT_EQ(rig.document.image, MacroImage{});
    EXPECT_FALSE(rig.store.KeyExists(SettingsHive::CurrentUser, MacroKeyPath(L"Test")));
    EXPECT_FALSE(DeleteStoredMacro(rig.store, rig.document));
}

TEST(MacroStore, ApplyWithoutAnExistingKeyAndTheCommandStep) {
    EditorRig rig;
    rig.document.macroName = L"Fire";
    rig.document.chosenCommand = 2;
    rig.document.image = Slots({{0x04, 0x00}, {0xD2, 0xD2}});
    rig.document.commands[1] = true;
    rig.document.rows.resize(2);
    ASSERT_TRUE(ApplyMacro(rig.store, rig.document));
    auto key = rig.Key(L"Fire");
    EXPECT_FALSE(key->ValueExists(L"DES"));  // the key did not exist before this Apply
    EXPECT_EQ(key->ReadString(L"keys"), L"4 0 d2 d2 0 40 " + Tokens(L"0", 76));
    // An empty name writes nothing; a name with a backslash would address another key.
    MacroDocument empty;
    EXPECT_FALSE(ApplyMacro(rig.store, empty));
    empty.macroName = L"a\\b";
    EXPECT_FALSE(ApplyMacro(rig.store, empty));
    EXPECT_FALSE(rig.store.KeyExists(SettingsHive::CurrentUser, MacroKeyPath(L"a")));

    EXPECT_TRUE(WriteRepeatOption(rig.store, L"Fire", RepeatOption::Once));
    EXPECT_EQ(rig.Key(L"Fire")->ReadString(L"RepeatTimes"), L"1");
    EXPECT_TRUE(WriteRepeatOption(rig.store, L"Fire", RepeatOption::UntilPressedAgain));
    EXPECT_EQ(rig.Key(L"Fire")->ReadString(L"RepeatState"), L"a2");
    EXPECT_EQ(rig.Key(L"Fire")->ReadString(L"RepeatTimes"), L"1");
    EXPECT_TRUE(WriteRepeatOption(rig.store, L"Fire", RepeatOption::Times, L"007"));
    EXPECT_EQ(rig.Key(L"Fire")->ReadString(L"RepeatState"), L"a0");
    EXPECT_EQ(rig.Key(L"Fire")->ReadString(L"RepeatTimes"), L"007");
}

TEST(MacroDialogRules, NewMacroNames) {
    EditorRig rig;
    rig.document.macroName = L"Old";
    for (const wchar_t* name : {L"a:b", L"x\"", L"*", L"a/b", L"<", L">", L"?", L"a\\b", L"|"}) {
        const auto result = AcceptNewMacroName(rig.store, name, rig.document);
        EXPECT_EQ(result.outcome, NewMacroOutcome::Refused) << name;
        EXPECT_EQ(result.notice, device::Notice::BadMacroName);
        EXPECT_EQ(result.message, kInvalidNameText);
        EXPECT_TRUE(result.enableEditor);
    }
    EXPECT_EQ(rig.document.macroName, L"Old");
    for (const wchar_t* name : {L"", L"   "}) {
        const auto result = AcceptNewMacroName(rig.store, name, rig.document);
        EXPECT_EQ(result.outcome, NewMacroOutcome::Empty);
        EXPECT_FALSE(result.enableEditor);
        EXPECT_EQ(result.notice, std::nullopt);
    }
    const auto tooLong = AcceptNewMacroName(rig.store, std::wstring(256, L'n'), rig.document);
    EXPECT_EQ(tooLong.notice, device::Notice::BadMacroName);
    EXPECT_EQ(tooLong.message, kNameTooLongText);
    EXPECT_EQ(rig.store.SubkeyNames(SettingsHive::CurrentUser, MacrosKeyPath()).size(), 0u);
    EXPECT_EQ(AcceptNewMacroName(rig.store, std::wstring(255, L'n'), rig.document).outcome,
              NewMacroOutcome::Created);

    rig.store.Seed(SettingsHive::CurrentUser, MacroKeyPath(L"Dup"), L"keys", L"");
    const auto exists = AcceptNewMacroName(rig.store, L"DUP", rig.document);  // names fold case
    EXPECT_EQ(exists.notice, device::Notice::MacroExists);
    EXPECT_EQ(exists.message, L"Macro Name is Exist.");
}

TEST(MacroDialogRules, RepeatCount) {
    auto count = [](const wchar_t* text) { return RepeatCountFromText(text).countText; };
    EXPECT_EQ(count(L"0"), L"1");
    EXPECT_EQ(count(L"-3"), L"1");
    EXPECT_EQ(count(L"300"), L"254");
    EXPECT_EQ(count(L"255"), L"254");
    EXPECT_EQ(count(L"254"), L"254");
    EXPECT_EQ(count(L"007"), L"007");
    EXPECT_EQ(RepeatCountFromText(L"300").edit, L"254");
    const auto empty = RepeatCountFromText(L"");
    EXPECT_FALSE(empty.ok);
    EXPECT_FALSE(empty.error.empty());
}

class MacroFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("macro-files-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::wstring Path(const std::wstring& leaf) { return (dir_ / leaf).wstring(); }
    std::vector<std::uint8_t> Bytes(const std::wstring& path) {
        std::ifstream in{fs::path(path), std::ios::binary};
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void Write(const std::wstring& path, std::span<const std::uint8_t> bytes) {
        std::ofstream out{fs::path(path), std::ios::binary};
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    fs::path dir_;
    TableKeyNames names;
};

TEST_F(MacroFiles, SaveAndLoadRoundTrip) {
    MacroDocument document;
    document.macroName = L"Fire";
    document.image = Slots({{0xE0, 0x00}, {0x06, 0x02}, {0x06, 0x80}, {0xE0, 0x80}, {0xE1, 0xE1}});
    document.commands[4] = true;
    document.rows.resize(5);
    const std::wstring path = Path(L"Fire.Q1M");
    ASSERT_EQ(SaveMacroFile(document, path).outcome, FileOutcome::Done);
    EXPECT_EQ(document.image[9], 0xE1);  // the end bit is set (E1 has it already)
    const auto bytes = Bytes(path);
    ASSERT_EQ(bytes.size(), 1668u);
    const std::vector<std::uint8_t> header = {0x2E, 0, 0x51, 0,    0x51, 0, 0x31,
                                              0,    0, 0,    0x4D, 0,    1, 0};
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
    EXPECT_TRUE(std::all_of(bytes.begin() + 14, bytes.begin() + 32, [](auto b) { return b == 0; }));
    EXPECT_TRUE(std::equal(document.image.begin(), document.image.end(), bytes.begin() + 32));
    EXPECT_TRUE(
        std::all_of(bytes.begin() + 114, bytes.begin() + 132, [](auto b) { return b == 0; }));
    EXPECT_EQ(bytes[132], 'F');  // the name part, UTF-16
    EXPECT_EQ(bytes[133], 0);
    EXPECT_EQ(bytes[138], 'e');
    EXPECT_EQ(bytes[140], 0);
    EXPECT_FALSE(fs::exists(path + L".saving"));

    MacroDocument loaded;
    loaded.macroName = L"before";
    ASSERT_EQ(LoadMacroFile(loaded, path, names, kWords).outcome, FileOutcome::Done);
    EXPECT_EQ(loaded.macroName, L"Fire");  // from the path, not the name part
    ASSERT_EQ(loaded.RowCount(), 5);
    EXPECT_EQ(loaded.rows[0].caption, L"Ctrl  press");
    EXPECT_EQ(loaded.rows[3].caption, L"Ctrl  release");
    EXPECT_EQ(loaded.rows[4].caption, L"R Button");
    MacroImage expected = document.image;
    ClearLastMarks(expected);
    EXPECT_EQ(loaded.image, expected);
    EXPECT_EQ(loaded.commands, document.commands);

    // The same file as written before the mark existed: the reserved area is zero and the codes
    // decide, as they always did. Header units 4 and 6-15 may hold anything.
    auto legacy = bytes;
    std::fill(legacy.begin() + 644, legacy.end(), 0);
    legacy[8] = 0x55;
    legacy[31] = 0x99;
    const std::wstring legacyPath = Path(L"Old.Q1M");
    Write(legacyPath, legacy);
    ASSERT_EQ(LoadMacroFile(loaded, legacyPath, names, kWords).outcome, FileOutcome::Done);
    EXPECT_EQ(loaded.macroName, L"Old");
    EXPECT_EQ(loaded.rows[0].caption, L"L Button");
    // A mark whose CRC does not match its bytes is no mark.
    auto tampered = bytes;
    tampered[32 + 2] = 0x07;
    Write(legacyPath, tampered);
    ASSERT_EQ(LoadMacroFile(loaded, legacyPath, names, kWords).outcome, FileOutcome::Done);
    EXPECT_EQ(loaded.rows[0].caption, L"L Button");
}

TEST_F(MacroFiles, RefusedFilesAndNames) {
    MacroDocument document;
    document.macroName = L"kept";
    document.image = Slots({{0x04, 0x00}});
    document.rows.resize(1);
    const MacroDocument before = document;
    const std::wstring path = Path(L"bad.Q1M");
    std::vector<std::uint8_t> bytes(1668, 0);
    bytes[0] = 0x2E;  // '.' then "QQ1" missing
    Write(path, bytes);
    const MacroFileResult bad = LoadMacroFile(document, path, names, kWords);
    EXPECT_EQ(bad.outcome, FileOutcome::Failed);
    EXPECT_NE(bad.error.find(L"not a macro file"), std::wstring::npos);
    EXPECT_EQ(LoadMacroFile(document, Path(L"missing.Q1M"), names, kWords).outcome,
              FileOutcome::Failed);
    EXPECT_EQ(LoadMacroFile(document, L"", names, kWords).outcome, FileOutcome::Nothing);
    // A file that ends inside the image is refused; one that ends after it reads with zeros.
    MacroRecord record;
    auto good = EncodeMacroFile(Slots({{0x05, 0x00}}), CommandSlots{}, record);
    Write(path, std::span(good).first(100));
    EXPECT_EQ(LoadMacroFile(document, path, names, kWords).outcome, FileOutcome::Failed);
    EXPECT_EQ(document.image, before.image);
    EXPECT_EQ(document.macroName, L"kept");
    Write(path, std::span(good).first(114));
    EXPECT_EQ(LoadMacroFile(document, path, names, kWords).outcome, FileOutcome::Done);
    EXPECT_EQ(SlotCode(document.image, 0), 0x05);

    EXPECT_EQ(MacroNameFromPath(L"C:\\Macros\\ab.Q1M"), L"ab");
    EXPECT_EQ(MacroNameFromPath(L"C:\\Macros\\.Q1M"), L"");
    EXPECT_EQ(MacroNameFromPath(L"C:\\Macros\\abcd"), L"");
    EXPECT_EQ(MacroNameFromPath(L"ab.Q1M"), L"");
    EXPECT_EQ(MacroNameFromPath(L"C:/Macros/long name.q1m"), L"long name");

    MacroRecord names256;
    EXPECT_TRUE(PutRecordName(names256, std::wstring(255, L'x')));
    EXPECT_FALSE(PutRecordName(names256, std::wstring(256, L'x')));
    EXPECT_TRUE(PutRecordName(names256, L"Zoë 🎮"));
    EXPECT_EQ(RecordName(names256), L"Zoë 🎮");
}

TEST_F(MacroFiles, AFailedSaveLeavesTheGoodFile) {
    MacroDocument document;
    document.macroName = L"Good";
    document.image = Slots({{0x04, 0x00}, {0x04, 0x80}});
    document.rows.resize(2);
    const std::wstring path = Path(L"Good.Q1M");
    ASSERT_EQ(SaveMacroFile(document, path).outcome, FileOutcome::Done);
    const auto good = Bytes(path);

    // The sibling cannot be created: the save fails, says so, and the good file stays.
    fs::create_directory(path + L".saving");
    document.image = Slots({{0x05, 0x00}});
    const auto failed = SaveMacroFile(document, path);
    EXPECT_EQ(failed.outcome, FileOutcome::Failed);
    EXPECT_NE(failed.error.find(L"Good.Q1M"), std::wstring::npos);
    EXPECT_EQ(Bytes(path), good);
    fs::remove(path + L".saving");

    // The target cannot be replaced (a folder of that name): the sibling is removed again.
    const std::wstring folder = Path(L"Folder.Q1M");
    fs::create_directory(folder);
    EXPECT_EQ(SaveMacroFile(document, folder).outcome, FileOutcome::Failed);
    EXPECT_FALSE(fs::exists(folder + L".saving"));

    // A cancelled dialog writes nothing but commits the end marker all the same.
    MacroDocument cancelled;
    cancelled.image = Slots({{0x04, 0x00}});
    cancelled.rows.resize(1);
    EXPECT_EQ(SaveMacroFile(cancelled, L"").outcome, FileOutcome::Nothing);
    EXPECT_EQ(cancelled.image[1], 0x40);
    // A name the name part cannot hold is refused, not cut.
    cancelled.macroName = std::wstring(300, L'n');
    EXPECT_EQ(SaveMacroFile(cancelled, Path(L"n.Q1M")).outcome, FileOutcome::Failed);
    EXPECT_FALSE(fs::exists(Path(L"n.Q1M")));
}

}  // namespace
