#include <gtest/gtest.h>

#include <vector>

#include "macro/KeyTables.h"
#include "macro/MacroCommands.h"
#include "macro/MacroRecorder.h"
#include "macro/MacroRows.h"
#include "tests/native/macro/MacroTestKit.h"

using macro::CommandName;
using macro::CommandSlots;
using macro::CommandSlotsByCode;
using macro::EventAt;
using macro::KeyCodeOfUsage;
using macro::KeyNames;
using macro::kIconNone;
using macro::kIconPress;
using macro::kIconRelease;
using macro::kMacroSlotCount;
using macro::MacroDocument;
using macro::MacroImage;
using macro::MacroLanguage;
using macro::MacroRecorder;
using macro::MacroSlotKind;
using macro::MarkLast;
using macro::NameScanCode;
using macro::PressRuleHolds;
using macro::RebuildRows;
using macro::StoredKeyName;
using macro::UsageOfScanCode;

namespace {

TEST(KeyTables, RangesMapElementByElementAndUnsupportedUsagesStoreZero) {
    EXPECT_EQ(UsageOfScanCode(0x0B, false), 0x27);  // last of 02-0B
    EXPECT_EQ(UsageOfScanCode(0x44, false), 0x43);  // last of 3A-44
    EXPECT_EQ(UsageOfScanCode(0x1D, true), 0xE4);
    EXPECT_EQ(UsageOfScanCode(0x55, false), 0);
    EXPECT_EQ(UsageOfScanCode(0x1E, true), 0);
    EXPECT_EQ(UsageOfScanCode(0x5D, false), 0x68);  // F13: known, but the mouse cannot send it
    EXPECT_EQ(KeyCodeOfUsage(0x68), 0);
    EXPECT_EQ(KeyCodeOfUsage(0x01), 0);
    EXPECT_EQ(KeyCodeOfUsage(0x8B), 0x8B);
    EXPECT_EQ(KeyCodeOfUsage(0x8C), 0);
    EXPECT_EQ(KeyCodeOfUsage(0xE7), 0xE7);
}

// The name table is the recording table read backwards, three entries of its own aside.
TEST(KeyTables, NameTableInvertsTheRecordingTable) {
    for (int ext = 0; ext < 2; ++ext) {
        for (int scan = 1; scan < 256; ++scan) {
            const auto usage = UsageOfScanCode(static_cast<std::uint8_t>(scan), ext != 0);
            if (!usage) continue;
            const auto named = NameScanCode(usage);
            ASSERT_TRUE(named) << scan;
            EXPECT_EQ(UsageOfScanCode(named->code, named->extended), usage) << scan;
        }
    }
    auto is = [](int code, int scan, bool extended) {
        const auto named = NameScanCode(static_cast<std::uint8_t>(code));
        return named && named->code == scan && named->extended == extended;
    };
    EXPECT_TRUE(is(0x46, 0x37, true));
    EXPECT_TRUE(is(0x48, 0x46, true));
    EXPECT_TRUE(is(0x32, 0x2B, false));
    EXPECT_TRUE(is(0xE5, 0x36, false));
    EXPECT_TRUE(is(0xE0, 0x1D, false));
    EXPECT_TRUE(is(0x03, 0xFF, true));
    EXPECT_TRUE(is(0x84, 0xFF, true));
    EXPECT_TRUE(is(0xA4, 0xFF, true));
    EXPECT_TRUE(is(0xA5, 0xFE, true));
    EXPECT_TRUE(is(0xFA, 0xFE, true));
    // Every code up to 0xFA is named except 0 and the commands that are never keys.
    for (int c = 0; c <= 0xFF; ++c) {
        const bool expected = c != 0 && c <= 0xFA && !(c >= 0xD0 && c <= 0xDF);
        EXPECT_EQ(NameScanCode(static_cast<std::uint8_t>(c)).has_value(), expected) << c;
    }

    TableKeyNames names;
    EXPECT_EQ(StoredKeyName(0x04, names), L"A");
    EXPECT_EQ(StoredKeyName(0x46, names), L"Prnt Scrn");  // whatever the platform says
    EXPECT_EQ(StoredKeyName(0x55, names), L"Num *");      // keypad * is the plain 37
    EXPECT_FALSE(StoredKeyName(0xFB, names));
}

TEST(MacroImageRules, MarkLastWithAndWithoutTheCommandStep) {
    MacroImage image = Slots({{0x04, 0x43}, {0x04, 0xC0}, {0xD2, 0xD2}});
    MarkLast(image, 3, false);
    EXPECT_EQ(image[1], 0x03);
    EXPECT_EQ(image[3], 0x80);
    EXPECT_EQ(image[5], 0xD2);
    EXPECT_EQ(image[7], 0x00);
    MarkLast(image, 3, true);  // D2 | 40 is still D2: the marker follows on the next slot
    EXPECT_EQ(image[7], 0x40);
    MarkLast(image, 0, true);
    for (int s = 0; s < kMacroSlotCount; ++s) EXPECT_EQ(image[2 * s + 1] & 0x40, 0);

    // A command in slot 39 puts the marker into byte 81.
    MacroImage full{};
    for (int s = 0; s < 39; ++s) full[2 * s] = 0x04;
    full[78] = 0xE0;
    full[79] = 0xE0;
    MarkLast(full, 40, true);
    EXPECT_EQ(full[81], 0x40);
    MarkLast(full, 41, true);  // no slot after the last one: nothing written past the image
    EXPECT_EQ(full[81], 0x40);
}

TEST(MacroImageRules, TwentyPressesWithoutARelease) {
    MacroImage image{};
    for (int s = 0; s < 20; ++s) image[2 * s] = 0x04;
    EXPECT_TRUE(PressRuleHolds(image));
    image[40] = 0x05;  // the 21st press
    EXPECT_FALSE(PressRuleHolds(image));
    image[39] = 0x80;  // slot 19 now a release: 19 presses, a release, one press
    EXPECT_TRUE(PressRuleHolds(image));
    // A slot without a code counts neither way: gaps do not end a run, a bare release bit does.
    MacroImage gaps{};
    for (int s = 0; s < 21; ++s) gaps[4 * s] = 0x04;  // presses in slots 0, 2, ... 40
    EXPECT_FALSE(PressRuleHolds(gaps));
    gaps[2 * 19 + 1] = 0x80;  // slot 19, code 0
    EXPECT_TRUE(PressRuleHolds(gaps));
}

// One rebuild checks captions, icons, delays, words, commands and the compaction of slots that
// give no row, so that row i is slot i afterwards.
TEST(RebuildRows, RowsFollowTheSlotsOfALoadedImage) {
    TableKeyNames names;
    MacroDocument document;
    document.recordName = L"Loaded";
    document.image = Slots({{0x04, 0x43},    // A press, 300 ms, end mark to be cleared
                            {0x04, 0xBF},    // A release, 6300 ms
                            {0xD2, 0x00},    // Copy
                            {0x00, 0x00},    // gap
                            {0x46, 0x80},    // Print Screen release
                            {0x00, 0x05},    // a key the mouse cannot send (F13 as recorded)
                            {0xFC, 0x00},    // no name
                            {0xE0, 0x00}});  // left Ctrl or L Button
    document.commands = CommandSlotsByCode(document.image);
    document.selectedRow = 3;
    RebuildRows(document, names, MacroLanguage::BuiltIn());

    EXPECT_EQ(document.macroName, L"Loaded");
    EXPECT_EQ(document.selectedRow, -1);
    ASSERT_EQ(document.RowCount(), 5);
    EXPECT_EQ(document.rows[0].caption, L"A  press");
    EXPECT_EQ(document.rows[0].icon, kIconPress);
    EXPECT_EQ(document.rows[0].delayText, L"300");
    EXPECT_EQ(document.rows[1].caption, L"A  release");
    EXPECT_EQ(document.rows[1].icon, kIconRelease);
    EXPECT_EQ(document.rows[1].delayText, L"6300");
    EXPECT_EQ(document.rows[2].caption, L"Copy");
    EXPECT_EQ(document.rows[2].icon, kIconNone);
    EXPECT_EQ(document.rows[2].delayText, L"");
    EXPECT_EQ(document.rows[3].caption, L"Prnt Scrn  release");
    EXPECT_EQ(document.rows[3].delayText, L"0");
    // Stored without a mark, a left Ctrl reads as the L Button command.
    EXPECT_EQ(document.rows[4].caption, L"L Button");
    EXPECT_EQ(document.rows[4].kind, MacroSlotKind::Command);

    EXPECT_EQ(document.image,
              Slots({{0x04, 0x03}, {0x04, 0xBF}, {0xD2, 0x00}, {0x46, 0x80}, {0xE0, 0x00}}));
    for (int row = 0; row < document.RowCount(); ++row)
        EXPECT_EQ(EventAt(document.image, document.commands, row).kind, document.rows[row].kind);

    // With a mark saying slot 4 is a key, the same code shows as the key.
    CommandSlots mark;
    mark[2] = true;
    document.commands = mark;
    RebuildRows(document, names, MacroLanguage::BuiltIn());
    EXPECT_EQ(document.rows[4].caption, L"Ctrl  press");
    EXPECT_EQ(document.rows[4].kind, MacroSlotKind::Key);
}

TEST(RebuildRows, LanguageTextsReplaceTheWords) {
    // The words as the language file gives them: the shipped file writes the two spaces itself;
    // nothing but spaces leaves the built-in word.
    const auto language = MacroLanguage::From(
        [](int n) -> std::optional<std::wstring> {
            if (n == 69) return L"Kopieren";
            return std::nullopt;
        },
        L"  gedrückt", L"  ");
    EXPECT_EQ(CommandName(2, language), L"Kopieren");
    EXPECT_EQ(CommandName(3, language), L"Paste");
    EXPECT_EQ(CommandName(19, language), L"");
    TableKeyNames names;
    MacroDocument document;
    document.image = Slots({{0x04, 0x00}, {0x04, 0x80}, {0xD2, 0xD2}});
    RebuildRows(document, names, language);
    ASSERT_EQ(document.RowCount(), 3);
    EXPECT_EQ(document.rows[0].caption, L"A  gedrückt");
    EXPECT_EQ(document.rows[1].caption, L"A  release");
    EXPECT_EQ(document.rows[2].caption, L"Kopieren");
}

}  // namespace

// The system's names as a German Windows gives them, by keystroke word; the left and right
// modifiers differ only where the system's own name says so.
class GermanKeyNames final : public KeyNames {
  public:
    std::wstring KeyNameText(std::uint32_t word) const override {
        switch (word & 0x01FF0000u) {
            case 0x001D0000u:
                return L"Strg";
            case 0x011D0000u:
                return L"Strg-Rechts";
            case 0x002A0000u:
                return L"Umschalt";
            case 0x00360000u:
                return L"Umschalt Rechts";
            case 0x00380000u:
                return L"Alt";
            case 0x01380000u:
                return L"Alt Gr";
            case 0x015B0000u:
                return L"Linke Windows";
            case 0x01530000u:
                return L"Entf";
            case 0x001E0000u:
                return L"A";
            default:
                return L"?";
        }
    }
};

TEST(KeyNames, RowsUseTheSystemsNamesWithTheirSide) {
    const GermanKeyNames german;
    MacroDocument document;
    CommandSlots keys;  // recorded modifiers: keys, not the L/R/M Button commands
    document.image = Slots({{0xE0, 0x00},
                            {0xE4, 0x00},
                            {0xE1, 0x00},
                            {0xE5, 0x80},
                            {0xE2, 0x00},
                            {0xE6, 0x80},
                            {0xE3, 0x00},
                            {0x4C, 0x80},
                            {0x46, 0x00}});
    document.commands = keys;
    RebuildRows(document, german, MacroLanguage::BuiltIn());
    std::vector<std::wstring> captions;
    for (const auto& row : document.rows) captions.push_back(row.caption);
    EXPECT_EQ(captions, (std::vector<std::wstring>{
                            L"Strg  press", L"Strg-Rechts  press", L"Umschalt  press",
                            L"Umschalt Rechts  release", L"Alt  press", L"Alt Gr  release",
                            L"Linke Windows  press", L"Entf  release", L"Prnt Scrn  press"}));

    // Recording names a key by the word the hook posted, extended bit and all.
    MacroRecorder recorder;
    std::wstring time2 = L"0";
    recorder.Start(document);
    recorder.HandleKeyMessage(document, Press(0x1D, true), 100, time2, german);
    recorder.HandleKeyMessage(document, Press(0x1D), 200, time2, german);
    ASSERT_EQ(document.RowCount(), 2);
    EXPECT_EQ(document.rows[0].caption, L"Strg-Rechts  press");
    EXPECT_EQ(document.rows[1].caption, L"Strg  press");
}
