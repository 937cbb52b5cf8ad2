#include <gtest/gtest.h>

#include "macro/MacroHooks.h"
#include "macro/MacroNumbers.h"
#include "macro/MacroRecorder.h"
#include "tests/native/macro/MacroTestKit.h"

using macro::CeilTenth;
using macro::DecodeKeystroke;
using macro::DelayMode;
using macro::DelayUnitsOf;
using macro::FormatWhole;
using macro::KeyTransition;
using macro::kIconPress;
using macro::kIconRelease;
using macro::kMsgKeyDown;
using macro::kMsgKeyUp;
using macro::kMsgSysKeyDown;
using macro::kMsgSysKeyUp;
using macro::LowLevelHookDecision;
using macro::LowLevelHookState;
using macro::MacroDocument;
using macro::MacroImage;
using macro::MacroRecorder;
using macro::ReadNumber;
using macro::SlotAttribute;
using macro::SlotCode;
using macro::ThreadHookDecision;

namespace {

// A recording session: the document, the recorder and the default-delay field.
struct Session {
    TableKeyNames names;
    MacroDocument document;
    MacroRecorder recorder;
    std::wstring time2 = L"0";
    std::uint32_t tick = 5000;

    Session() {
        document.macroName = L"Test";
        document.recordName = L"old";
        document.image.fill(0x77);
        document.rows.resize(3);
        recorder.Start(document);
    }
    bool Key(std::uint32_t word, std::uint32_t after = 0) {
        tick += after;
        return recorder.HandleKeyMessage(document, word, tick, time2, names);
    }
};

TEST(Recording, PressAndReleaseOfAWithTheirDelays) {
    Session s;
    EXPECT_EQ(s.document.macroName, L"Test");  // Record keeps the name field, empties the rest
    EXPECT_EQ(s.document.recordName, L"");
    EXPECT_EQ(s.document.image, MacroImage{});
    EXPECT_TRUE(s.document.rows.empty());

    EXPECT_TRUE(s.Key(Press(0x1E)));
    EXPECT_FALSE(s.Key(Repeat(0x1E), 100));  // auto-repeats add nothing
    EXPECT_EQ(s.document.RowCount(), 1);
    EXPECT_TRUE(s.Key(Release(0x1E), 250));
    ASSERT_EQ(s.document.RowCount(), 2);
    EXPECT_EQ(s.document.rows[0].caption, L"A  press");
    EXPECT_EQ(s.document.rows[0].icon, kIconPress);
    EXPECT_EQ(s.document.rows[0].delayText, L"300");  // 350 ms, whole steps of 100
    EXPECT_EQ(s.document.rows[1].caption, L"A  release");
    EXPECT_EQ(s.document.rows[1].icon, kIconRelease);
    EXPECT_EQ(s.document.rows[1].delayText, L"");
    s.recorder.Stop(s.document);
    EXPECT_EQ(s.document.rows[1].delayText, L"0");
    EXPECT_EQ(s.document.image, Slots({{0x04, 0x03}, {0x04, 0xC0}}));
    EXPECT_EQ(s.recorder.WritePos(), 3);
}

TEST(Recording, KeysThatAreIgnored) {
    Session s;
    // Released during the recording, pressed before it: nothing, but the held count goes down.
    EXPECT_FALSE(s.Key(Release(0x1E)));
    EXPECT_EQ(s.recorder.HeldKeys(), -1);
    // A scan code the table does not know, and F13, which the mouse cannot send: neither takes
    // a slot, so no slot is left without a row after a reload.
    EXPECT_FALSE(s.Key(Press(0x55)));
    EXPECT_FALSE(s.Key(Press(0x5D)));
    EXPECT_FALSE(s.Key(Release(0x5D)));
    EXPECT_TRUE(s.document.rows.empty());
    EXPECT_EQ(s.document.image, MacroImage{});

    // Eleven keys held at once: the eleventh press adds nothing.
    Session held;
    for (std::uint8_t scan = 0x10; scan <= 0x1A; ++scan) held.Key(Press(scan), 10);
    EXPECT_EQ(held.document.RowCount(), 10);
    EXPECT_EQ(held.recorder.HeldKeys(), 11);
    EXPECT_EQ(SlotCode(held.document.image, 9), 0x13);  // P; [ (0x1A) was the eleventh
    // Its release is not recorded either: its code is nowhere in the image.
    EXPECT_FALSE(held.Key(Release(0x1A)));
    EXPECT_TRUE(held.Key(Release(0x10)));
}

TEST(Recording, PrintScreenRightAltAndLongDelays) {
    Session s;
    EXPECT_TRUE(s.Key(Release(0x37, true)));  // a release without its press is kept
    EXPECT_TRUE(s.Key(Press(0x37, true), 9000));
    EXPECT_TRUE(s.Key(Release(0x37, true), 100));
    EXPECT_EQ(s.document.rows[0].caption, L"Print Screen  release");
    EXPECT_EQ(s.document.rows[0].delayText, L"6300");  // 9 s held at 6.3 s
    EXPECT_EQ(s.document.image, Slots({{0x46, 0xBF}, {0x46, 0x01}, {0x46, 0x80}}));

    // The low-level hook reports the right Alt's press without the extended flag: left Alt.
    LowLevelHookState down;
    const auto decision = LowLevelHookDecision(kMsgSysKeyDown, 0xA5, 0x38, 0x21, down);
    ASSERT_TRUE(decision.post);
    EXPECT_EQ(DecodeKeystroke(decision.lParam).keyCode, 0xE2);
    EXPECT_TRUE(s.Key(decision.lParam, 50));
    EXPECT_EQ(SlotCode(s.document.image, 3), 0xE2);
    // Its release through a system key-up releases that Alt: the macro does not hold it down.
    EXPECT_TRUE(s.Key(LowLevelHookDecision(kMsgSysKeyUp, 0xA5, 0x38, 0x81, down).lParam, 50));
    EXPECT_EQ(SlotCode(s.document.image, 4), 0xE2);
    EXPECT_EQ(SlotAttribute(s.document.image, 4), 0x80);
}

TEST(Recording, DelayModes) {
    Session s;
    s.recorder.SetDelayMode(DelayMode::Default);
    s.time2 = L"250";
    s.Key(Press(0x1E));
    s.Key(Release(0x1E), 2000);
    EXPECT_EQ(s.time2, L"300");
    EXPECT_EQ(s.document.rows[0].delayText, L"300");
    EXPECT_EQ(SlotAttribute(s.document.image, 0), 3);

    // 0 and an emptied field both give 100 ms, and the field shows it; an emptied field must
    // not stop every keystroke while the hooks hold the keyboard.
    for (const wchar_t* field : {L"0", L"", L"abc"}) {
        s.time2 = field;
        EXPECT_TRUE(s.Key(Press(0x1E), 10)) << field;
        EXPECT_EQ(s.time2, L"100");
        EXPECT_EQ(s.document.rows[s.document.RowCount() - 2].delayText, L"100");
        EXPECT_EQ(SlotAttribute(s.document.image, s.document.RowCount() - 2) & 0x3F, 1);
        s.Key(Release(0x1E), 10);
    }
    s.time2 = L"9999";
    s.Key(Press(0x1E));
    EXPECT_EQ(s.time2, L"6300");
    EXPECT_EQ(SlotAttribute(s.document.image, s.document.RowCount() - 2) & 0x3F, 63);

    Session ignore;
    ignore.recorder.SetDelayMode(DelayMode::Ignore);
    ignore.Key(Press(0x1E));
    ignore.Key(Release(0x1E), 3000);
    EXPECT_EQ(ignore.document.rows[0].delayText, L"0");
    EXPECT_EQ(SlotAttribute(ignore.document.image, 0), 0);
    EXPECT_EQ(ignore.time2, L"0");  // the field is only read in the default mode
}

TEST(Recording, FortiethEventIsTheLast) {
    Session s;
    for (int i = 0; i < 25; ++i) {
        s.Key(Press(0x1E), 100);
        s.Key(Release(0x1E), 100);
    }
    EXPECT_EQ(s.document.RowCount(), 40);
    EXPECT_EQ(s.recorder.WritePos(), 79);
    s.recorder.Stop(s.document);
    EXPECT_EQ(s.document.image[78], 0x04);
    EXPECT_EQ(s.document.image[79], 0xC0);
    EXPECT_EQ(s.document.image[80], 0);
    EXPECT_EQ(s.document.image[81], 0);
    EXPECT_TRUE(s.document.commands.none());
}

TEST(Numbers, CeilTenthAndFieldTexts) {
    EXPECT_FLOAT_EQ(CeilTenth(0.25f), 0.3f);
    EXPECT_FLOAT_EQ(CeilTenth(0.305f), 0.3f);  // within 0.01 s of a tenth: stays
    EXPECT_FLOAT_EQ(CeilTenth(0.32f), 0.4f);
    EXPECT_FLOAT_EQ(CeilTenth(-1.0f), -1.0f);
    EXPECT_EQ(FormatWhole(CeilTenth(0.7f) * 1000.0f), L"700");
    EXPECT_EQ(DelayUnitsOf(CeilTenth(0.7f)), 7);
    EXPECT_EQ(ReadNumber(L" 250 "), 250.0f);
    EXPECT_EQ(ReadNumber(L"-1.5"), -1.5f);
    EXPECT_FALSE(ReadNumber(L""));
    EXPECT_FALSE(ReadNumber(L"1e3"));
    EXPECT_FALSE(ReadNumber(L"."));
}

TEST(Hooks, ThreadHookDecisions) {
    for (std::uint32_t vk : {0x09u, 0x12u, 0x2Eu}) {
        const auto d = ThreadHookDecision(vk, Press(0x0F));
        EXPECT_TRUE(d.consume);
        EXPECT_FALSE(d.post);
    }
    const auto d = ThreadHookDecision(0x41, Repeat(0x1E));
    EXPECT_TRUE(d.consume);
    EXPECT_TRUE(d.post);
    EXPECT_EQ(d.wParam, 0x41u);
    EXPECT_EQ(d.lParam, Repeat(0x1E));
}

TEST(Hooks, LowLevelHookDecisions) {
    LowLevelHookState down;
    // Other scan codes and other messages pass on.
    EXPECT_FALSE(LowLevelHookDecision(kMsgKeyDown, 0x41, 0x1E, 0, down).consume);
    EXPECT_FALSE(LowLevelHookDecision(0x102, 0x09, 0x0F, 0, down).consume);

    // Left Ctrl: down, auto-repeat dropped, up.
    auto d = LowLevelHookDecision(kMsgKeyDown, 0xA2, 0x1D, 0x00, down);
    EXPECT_TRUE(d.consume && d.post);
    EXPECT_EQ(d.lParam, 0x001D0001u);
    d = LowLevelHookDecision(kMsgKeyDown, 0xA2, 0x1D, 0x00, down);
    EXPECT_TRUE(d.consume);
    EXPECT_FALSE(d.post);
    d = LowLevelHookDecision(kMsgKeyUp, 0xA2, 0x1D, 0x80, down);
    EXPECT_EQ(d.wParam, kMsgKeyUp);
    EXPECT_EQ(d.lParam, 0xC01D0001u);
    // An up never seen down is consumed without a word.
    d = LowLevelHookDecision(kMsgKeyUp, 0xA2, 0x1D, 0x80, down);
    EXPECT_TRUE(d.consume);
    EXPECT_FALSE(d.post);

    // Right Ctrl: extended only when the flags are exactly "extended".
    d = LowLevelHookDecision(kMsgKeyDown, 0xA3, 0x1D, 0x01, down);
    EXPECT_EQ(d.lParam, 0x011D0001u);
    EXPECT_EQ(DecodeKeystroke(d.lParam).keyCode, 0xE4);
    d = LowLevelHookDecision(kMsgKeyUp, 0xA3, 0x1D, 0x81, down);
    EXPECT_EQ(d.lParam, 0xC11D0001u);
    EXPECT_EQ(DecodeKeystroke(d.lParam).transition, KeyTransition::Release);
    d = LowLevelHookDecision(kMsgKeyDown, 0x2C, 0x37, 0x11, down);  // injected: not "extended"
    EXPECT_EQ(d.lParam, 0x00370001u);

    // A release goes out as its press did: the right Alt pressed with the Alt flag is the left
    // Alt through a key-up and a system key-up alike; pressed with the extended flag alone it is
    // the right Alt on both ways.
    LowLevelHookDecision(kMsgSysKeyDown, 0xA5, 0x38, 0x21, down);
    EXPECT_EQ(LowLevelHookDecision(kMsgKeyUp, 0xA5, 0x38, 0x81, down).lParam, 0xC0380001u);
    LowLevelHookDecision(kMsgSysKeyDown, 0xA5, 0x38, 0x21, down);
    EXPECT_EQ(LowLevelHookDecision(kMsgSysKeyUp, 0xA5, 0x38, 0x81, down).lParam, 0xC0380001u);
    LowLevelHookDecision(kMsgKeyDown, 0xA5, 0x38, 0x01, down);
    EXPECT_EQ(LowLevelHookDecision(kMsgKeyUp, 0xA5, 0x38, 0x81, down).lParam, 0xC1380001u);

    for (std::uint32_t scan : {0x0Fu, 0x53u, 0x5Bu}) {
        LowLevelHookState fresh;
        EXPECT_TRUE(LowLevelHookDecision(kMsgKeyDown, 0x10 + scan, scan, 0x01, fresh).post);
    }
}

TEST(Hooks, DecodingAKeystrokeWord) {
    auto key = DecodeKeystroke(Press(0x2E));
    EXPECT_EQ(key.scanCode, 0x2E);
    EXPECT_FALSE(key.extended);
    EXPECT_EQ(key.transition, KeyTransition::Press);
    EXPECT_EQ(key.keyCode, 0x06);
    key = DecodeKeystroke(Repeat(0x1C, true) | 0x20000000u);
    EXPECT_TRUE(key.extended);
    EXPECT_EQ(key.transition, KeyTransition::Repeat);
    EXPECT_EQ(key.keyCode, 0x58);
    EXPECT_EQ(DecodeKeystroke(Release(0x5D)).usage, 0x68);
    EXPECT_EQ(DecodeKeystroke(Release(0x5D)).keyCode, 0);
}

}  // namespace
