#include <gtest/gtest.h>

#include "macro/MacroEditing.h"
#include "macro/MacroRows.h"
#include "tests/native/macro/MacroTestKit.h"

using macro::ChooseCommand;
using macro::CommandCapacity;
using macro::CommandSlots;
using macro::CommandSlotsByCode;
using macro::DelayDown;
using macro::DelayUp;
using macro::DeleteSelectedEvent;
using macro::EventAt;
using macro::InsertCommand;
using macro::kIconNone;
using macro::MacroDocument;
using macro::MacroImage;
using macro::MacroLanguage;
using macro::MarkLast;
using macro::MoveSelectedDown;
using macro::MoveSelectedUp;
using macro::RebuildRows;
using macro::SelectRow;
using macro::SetDelay;
using macro::SlotCode;

namespace {


// A document holding `image` as the editor shows it after a load.
MacroDocument Loaded(const MacroImage& image, const CommandSlots& commands) {
    static const TableKeyNames names;
    MacroDocument document;
    document.image = image;
    document.commands = commands;
    RebuildRows(document, names, kWords);
    return document;
}
MacroDocument Loaded(const MacroImage& image) { return Loaded(image, CommandSlotsByCode(image)); }

MacroDocument Presses(int count, std::uint8_t first = 0x04) {
    MacroImage image{};
    for (int s = 0; s < count; ++s) image[2 * s] = s == 0 ? first : 0x04;
    CommandSlots none;
    return Loaded(image, none);
}

TEST(Editing, SelectionAndTheDelayField) {
    MacroDocument document = Loaded(Slots({{0x04, 0x07}, {0xD2, 0x00}, {0x04, 0x80}}));
    auto selection = SelectRow(document, 0);
    EXPECT_TRUE(selection.insertEnabled);
    EXPECT_TRUE(selection.setDelayEnabled);
    EXPECT_EQ(selection.time1, L"700");
    selection = SelectRow(document, 1);  // a command has no delay
    EXPECT_FALSE(selection.setDelayEnabled);
    EXPECT_FALSE(selection.time1);
    EXPECT_EQ(document.selectedRow, 1);
    selection = SelectRow(document, 7);
    EXPECT_EQ(document.selectedRow, -1);
    EXPECT_FALSE(selection.setDelayEnabled);
    MacroDocument empty;
    EXPECT_FALSE(SelectRow(empty, -1).insertEnabled);

    EXPECT_EQ(DelayUp(L"6200").time1, L"6300");
    EXPECT_FALSE(DelayUp(L"6300").changed);  // 6300 is the highest the arrows reach
    EXPECT_EQ(DelayUp(L"0").time1, L"100");
    EXPECT_EQ(DelayDown(L"100").time1, L"0");
    EXPECT_FALSE(DelayDown(L"0").changed);
    EXPECT_FALSE(DelayDown(L"50").changed);
    const auto bad = DelayUp(L"");
    EXPECT_FALSE(bad.changed);
    EXPECT_FALSE(bad.error.empty());
}

TEST(Editing, SetDelayRoundsAndKeepsTheFlagBits) {
    MacroDocument document =
        Loaded(Slots({{0x04, 0x00}, {0x04, 0x85}, {0xD2, 0x00}, {0x05, 0x00}}));
    MarkLast(document.image, document.RowCount(), false);  // slot 3 carries the end bit
    SelectRow(document, 0);
    auto result = SetDelay(document, L"250");
    EXPECT_EQ(result.time1, L"300");
    EXPECT_EQ(document.rows[0].delayText, L"300");
    EXPECT_EQ(document.image[1], 0x03);
    SetDelay(document, L"9999");
    EXPECT_EQ(document.image[1], 63);
    EXPECT_EQ(document.rows[0].delayText, L"6300");
    SetDelay(document, L"700");
    EXPECT_EQ(document.image[1], 7);
    SetDelay(document, L"-40");
    EXPECT_EQ(document.image[1], 0);

    SelectRow(document, 1);  // a release that is not the last event
    SetDelay(document, L"1000");
    EXPECT_EQ(document.image[3], 0x8A);
    SelectRow(document, 3);  // the last event keeps its end bit
    SetDelay(document, L"500");
    EXPECT_EQ(document.image[7], 0x45);

    // A command row, no selection, a field that is not a number: the image stays.
    const MacroImage before = document.image;
    SelectRow(document, 2);
    EXPECT_EQ(SetDelay(document, L"800").time1, L"800");
    document.selectedRow = -1;
    EXPECT_EQ(SetDelay(document, L"900").time1, L"900");
    SelectRow(document, 0);
    EXPECT_FALSE(SetDelay(document, L"x").changed);
    EXPECT_EQ(document.image, before);
}

TEST(Editing, DeleteAndMoveKeepRowsAndSlotsTogether) {
    // 15 presses, a release, 10 presses: deleting the release would make 25 in a row.
    MacroImage image{};
    for (int s = 0; s < 26; ++s) image[2 * s] = static_cast<std::uint8_t>(0x04 + s % 20);
    image[31] = 0x80;
    MacroDocument document = Loaded(image);
    SelectRow(document, 15);
    EXPECT_FALSE(DeleteSelectedEvent(document));
    EXPECT_EQ(document.RowCount(), 26);
    EXPECT_EQ(document.image, image);
    SelectRow(document, 25);
    EXPECT_TRUE(DeleteSelectedEvent(document));
    EXPECT_EQ(document.selectedRow, -1);  // no row at 25 any more
    SelectRow(document, 0);
    EXPECT_TRUE(DeleteSelectedEvent(document));
    EXPECT_EQ(document.selectedRow, 0);
    EXPECT_EQ(document.rows[0].caption.substr(0, 4), L"sc30");  // B is now row 0 and slot 0
    EXPECT_EQ(SlotCode(document.image, 0), 0x05);
    EXPECT_EQ(document.RowCount(), 24);

    MacroDocument one = Loaded(Slots({{0x04, 0x00}}));
    SelectRow(one, 0);
    EXPECT_TRUE(DeleteSelectedEvent(one));
    EXPECT_EQ(one.RowCount(), 0);
    EXPECT_EQ(one.image, MacroImage{});
    EXPECT_FALSE(DeleteSelectedEvent(one));

    // Moving swaps both bytes and the command mark; the ends do not move.
    MacroDocument moves = Loaded(Slots({{0x04, 0x03}, {0xE0, 0x00}, {0x05, 0x85}}));
    SelectRow(moves, 0);
    EXPECT_FALSE(MoveSelectedUp(moves));
    EXPECT_TRUE(MoveSelectedDown(moves));
    EXPECT_EQ(moves.selectedRow, 1);
    EXPECT_EQ(moves.image, Slots({{0xE0, 0x00}, {0x04, 0x03}, {0x05, 0x85}}));
    EXPECT_TRUE(moves.commands[0]);
    EXPECT_FALSE(moves.commands[1]);
    EXPECT_EQ(moves.rows[0].caption, L"L Button");
    SelectRow(moves, 2);
    EXPECT_FALSE(MoveSelectedDown(moves));
    EXPECT_TRUE(MoveSelectedUp(moves));
    EXPECT_EQ(moves.image, Slots({{0xE0, 0x00}, {0x05, 0x85}, {0x04, 0x03}}));
    for (int row = 0; row < moves.RowCount(); ++row)
        EXPECT_EQ(EventAt(moves.image, moves.commands, row).kind, moves.rows[row].kind);
}

TEST(Editing, InsertingCommands) {
    MacroDocument document;
    document.chosenCommand = -1;
    EXPECT_FALSE(InsertCommand(document, kWords));
    EXPECT_EQ(ChooseCommand(document, 2, kWords), L"Copy");
    EXPECT_TRUE(InsertCommand(document, kWords));
    EXPECT_EQ(document.image, Slots({{0xD2, 0xD2}}));
    ASSERT_EQ(document.RowCount(), 1);
    EXPECT_EQ(document.rows[0].icon, kIconNone);
    EXPECT_EQ(document.selectedRow, 0);

    ChooseCommand(document, 0, kWords);
    EXPECT_TRUE(InsertCommand(document, kWords));
    // Before the selected row, which keeps its selection; the capacity check cleared D2's copy.
    EXPECT_EQ(document.image, Slots({{0xD0, 0xD0}, {0xD2, 0x00}}));
    EXPECT_EQ(document.rows[0].caption, L"Page UP");
    EXPECT_EQ(document.selectedRow, 1);
    EXPECT_EQ(document.commands.count(), 2u);

    // Rows but none selected: nothing.
    document.selectedRow = -1;
    EXPECT_FALSE(InsertCommand(document, kWords));
    EXPECT_EQ(document.RowCount(), 2);

    // Bytes 80 and 81 are not the insertion's.
    MacroDocument tail = Presses(3);
    tail.image[80] = 0x11;
    tail.image[81] = 0x22;
    SelectRow(tail, 2);
    ChooseCommand(tail, 16, kWords);
    EXPECT_TRUE(InsertCommand(tail, kWords));
    EXPECT_EQ(SlotCode(tail.image, 2), 0xE0);
    EXPECT_EQ(SlotCode(tail.image, 3), 0x04);
    EXPECT_EQ(tail.image[80], 0x11);
    EXPECT_EQ(tail.image[81], 0x22);
}

TEST(Editing, CapacityOfTheButtonRecord) {
    for (auto [rows, allowed] : {std::pair{32, true}, std::pair{35, true}, std::pair{36, false}}) {
        MacroDocument document = Presses(rows);
        SelectRow(document, 0);
        ChooseCommand(document, 2, kWords);
        EXPECT_EQ(InsertCommand(document, kWords), allowed) << rows;
        EXPECT_EQ(document.RowCount(), rows + (allowed ? 1 : 0));
    }
    // A recorded left Ctrl is a key of 2 bytes: 35 keys still take a command...
    MacroDocument recorded = Presses(35, 0xE0);
    SelectRow(recorded, 1);
    ChooseCommand(recorded, 0, kWords);
    EXPECT_TRUE(CommandCapacity(recorded));
    EXPECT_EQ(recorded.rows[0].caption, L"Ctrl  press");
    // ...while the same bytes read without a mark count it as the 4-byte L Button.
    MacroDocument legacy = Loaded(recorded.image);
    EXPECT_EQ(legacy.rows[0].caption, L"L Button");
    EXPECT_FALSE(CommandCapacity(legacy));
}

}  // namespace
