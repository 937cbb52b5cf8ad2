#include <gtest/gtest.h>

#include <filesystem>

#include "macro/MacroCommands.h"
#include "macro/MacroDialogs.h"
#include "macro/MacroExpansion.h"
#include "macro/MacroFile.h"
#include "macro/MacroRecorder.h"
#include "macro/MacroStore.h"
#include "tests/native/macro/MacroTestKit.h"
#include "macro/MacroText.h"
#include "platform/MemorySettingsStore.h"

using macro::AcceptNewMacroName;
using macro::ApplyMacro;
using macro::ChooseStoredMacro;
using macro::CommandMarkText;
using macro::CommandSlots;
using macro::ExpandMacro;
using macro::FileOutcome;
using macro::kMacroCommands;
using macro::LoadMacroFile;
using macro::MacroDocument;
using macro::MacroImage;
using macro::MacroImageText;
using macro::MacroLanguage;
using macro::MacroRecorder;
using macro::MarkLast;
using macro::NewMacroOutcome;
using macro::ReadStoredMacro;
using macro::RepeatOption;
using macro::SaveMacroFile;
using macro::StoredMacro;
using macro::WriteRepeatOption;

namespace {


device::ButtonRecord Record(std::initializer_list<std::uint8_t> lead, std::uint8_t mode,
                            std::uint8_t count) {
    device::ButtonRecord r{};
    std::copy(lead.begin(), lead.end(), r.begin());
    r[80] = mode;
    r[81] = count;
    return r;
}

StoredMacro Stored(const MacroImage& image, std::wstring state = L"a0", std::wstring times = L"1",
                   std::wstring mark = L"") {
    return {MacroImageText(image), std::move(mark), std::move(state), std::move(times)};
}

TEST(Expansion, EveryCommandAsTheEditorStoresIt) {
    for (const auto& command : kMacroCommands) {
        // Inserted into an empty list and applied: the code twice, the end marker after it.
        MacroImage image = Slots({{command.code, command.code}});
        MarkLast(image, 1, true);
        CommandSlots commands;
        commands[0] = true;
        for (const std::wstring& mark : {CommandMarkText(image, commands), std::wstring()}) {
            const auto result = ExpandMacro(Stored(image, L"a0", L"1", mark), L"m");
            ASSERT_TRUE(result.ok) << command.code;
            const auto e = command.Expansion();
            EXPECT_TRUE(std::equal(e.begin(), e.end(), result.record.begin())) << command.code;
            EXPECT_EQ(result.record[e.size()], 0x00);
            EXPECT_EQ(result.record[e.size() + 1], 0x40);
            EXPECT_EQ(result.record[80], 0xA0);
            EXPECT_EQ(result.record[81], 0x01);
            // The text is what the write routine reads back into the same bytes.
            EXPECT_EQ(device::ParseButtonRecordText(result.recordText), result.record);
        }
    }
}

// Ctrl+C recorded, stored, chosen again, saved to a file, loaded and assigned: a key
// combination from start to end, never a mouse click.
TEST(Expansion, RecordedCtrlCStaysAKeyCombination) {
    platform::MemorySettingsStore store;
    TableKeyNames names;
    MacroDocument document;
    ASSERT_EQ(AcceptNewMacroName(store, L"CopyKeys", document).outcome, NewMacroOutcome::Created);
    MacroRecorder recorder;
    std::wstring time2 = L"0";
    recorder.Start(document);
    std::uint32_t tick = 10000;
    for (std::uint32_t word : {Press(0x1D), Press(0x2E), Release(0x2E), Release(0x1D)}) {
        ASSERT_TRUE(recorder.HandleKeyMessage(document, word, tick, time2, names));
        tick += 150;
    }
    recorder.Stop(document);
    EXPECT_EQ(document.rows[0].caption, L"Ctrl  press");
    ASSERT_TRUE(ApplyMacro(store, document));
    ASSERT_TRUE(WriteRepeatOption(store, L"CopyKeys", RepeatOption::Once));

    const device::ButtonRecord expected =
        Record({0xE0, 0x01, 0x06, 0x01, 0x06, 0x81, 0xE0, 0xC0}, 0xA0, 0x01);
    EXPECT_EQ(ExpandMacro(ReadStoredMacro(store, L"CopyKeys"), L"CopyKeys").record, expected);

    // Chosen again in the editor, it shows keys, counts as keys, and applies the same.
    MacroDocument again;
    ASSERT_TRUE(ChooseStoredMacro(store, L"CopyKeys", again, names, kWords).ok);
    EXPECT_EQ(again.rows[0].caption, L"Ctrl  press");
    EXPECT_EQ(again.rows[3].caption, L"Ctrl  release");
    ASSERT_TRUE(ApplyMacro(store, again));
    EXPECT_EQ(ExpandMacro(ReadStoredMacro(store, L"CopyKeys"), L"CopyKeys").record, expected);

    // Through a macro file and back into the store.
    const auto path = (std::filesystem::temp_directory_path() / "CopyKeys-expansion.Q1M").wstring();
    ASSERT_EQ(SaveMacroFile(again, path).outcome, FileOutcome::Done);
    MacroDocument fromFile;
    ASSERT_EQ(LoadMacroFile(fromFile, path, names, kWords).outcome, FileOutcome::Done);
    std::filesystem::remove(path);
    EXPECT_EQ(fromFile.macroName, L"CopyKeys-expansion");
    fromFile.macroName = L"CopyKeys";
    ASSERT_TRUE(ApplyMacro(store, fromFile));
    EXPECT_EQ(ExpandMacro(ReadStoredMacro(store, L"CopyKeys"), L"CopyKeys").record, expected);

    // Stored before the mark existed, the same bytes read as the codes say: L Button clicks.
    auto legacy = ReadStoredMacro(store, L"CopyKeys");
    legacy.commandMark.clear();
    EXPECT_EQ(ExpandMacro(legacy, L"CopyKeys").record,
              Record({0x99, 0x01, 0x99, 0x81, 0x06, 0x01, 0x06, 0x81, 0x99, 0x01, 0x99, 0x81}, 0xA0,
                     0x01));
}

TEST(Expansion, RepeatModesAndCounts) {
    const MacroImage a = Slots({{0x04, 0x00}, {0x04, 0x80}});
    auto once = ExpandMacro(Stored(a), L"A");
    EXPECT_EQ(once.record, Record({0x04, 0x00, 0x04, 0x80}, 0xA0, 0x01));
    EXPECT_EQ(once.recordText.substr(0, 12), L"04 00 04 80 ");
    EXPECT_EQ(once.recordText.substr(once.recordText.size() - 6), L" a0 01");

    // Copy with "When Press & Hold": the following slots move up by six bytes.
    const MacroImage copy = Slots({{0xD2, 0x00}, {0x04, 0x00}, {0x04, 0xC0}});
    EXPECT_EQ(ExpandMacro(Stored(copy, L"a1"), L"C").record,
              Record({0xE0, 0x00, 0x06, 0x00, 0x06, 0x81, 0xE0, 0x81, 0x04, 0x00, 0x04, 0xC0}, 0xA1,
                     0x01));

    EXPECT_EQ(ExpandMacro(Stored(a, L"a0", L"12"), L"A").record[81], 0x0C);
    EXPECT_EQ(ExpandMacro(Stored(a, L"a0", L"254"), L"A").record[81], 0xFE);
    EXPECT_EQ(ExpandMacro(Stored(a, L"a0", L"300"), L"A").record[81], 0xFE);
    EXPECT_EQ(ExpandMacro(Stored(a, L"a0", L""), L"A").record[81], 0x00);
    EXPECT_EQ(ExpandMacro(Stored(a, L"A2", L"3"), L"A").record[80], 0xA2);
    EXPECT_EQ(ExpandMacro(Stored(a, L"b5", L"3"), L"A").record[80], 0xA0);
    // Without a repeat state the count has nothing to count.
    EXPECT_EQ(ExpandMacro(Stored(a, L"", L"5"), L"A").record,
              Record({0x04, 0x00, 0x04, 0x80}, 0xA0, 0));

    // A name with no key: all events zero.
    platform::MemorySettingsStore store;
    const auto none = ExpandMacro(ReadStoredMacro(store, L""), L"");
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(none.record, Record({}, 0xA0, 0));
}

TEST(Expansion, NeverPastTheEventBytes) {
    // 38 keys and a Copy need 84 bytes: refused, not cut.
    MacroImage image = PressesAndReleases(38);
    image[76] = 0xD2;
    const auto tooLong = ExpandMacro(Stored(image), L"Long");
    EXPECT_FALSE(tooLong.ok);
    EXPECT_NE(tooLong.error.find(L"\"Long\""), std::wstring::npos);
    EXPECT_TRUE(tooLong.recordText.empty());

    // 36 keys and a Copy fill the 80 bytes; the end marker the Apply put after the command has
    // no room and is dropped, the events are all there.
    MacroImage full = PressesAndReleases(36);
    full[72] = 0xD2;
    full[73] = 0xD2;
    MarkLast(full, 37, true);
    EXPECT_EQ(full[75], 0x40);
    const auto fits = ExpandMacro(Stored(full), L"Full");
    ASSERT_TRUE(fits.ok);
    EXPECT_EQ(fits.record[72], 0xE0);
    EXPECT_EQ(fits.record[79], 0x81);
    EXPECT_EQ(fits.record[80], 0xA0);

    // An attribute that happens to equal a command code is a delay, not a command.
    const MacroImage release = Slots({{0x04, 0x00}, {0x04, 0xD0}});
    EXPECT_EQ(ExpandMacro(Stored(release), L"R").record,
              Record({0x04, 0x00, 0x04, 0xD0}, 0xA0, 0x01));

    // A text that is not hex cannot be assigned; too many tokens are ignored past 82.
    EXPECT_FALSE(ExpandMacro({L"4 0 x ", L"", L"a0", L"1"}, L"X").ok);
    std::wstring many = MacroImageText(release);
    for (int i = 0; i < 400; ++i) many += L"d2 ";
    EXPECT_TRUE(ExpandMacro({many, L"", L"a0", L"1"}, L"M").ok);
}

}  // namespace
