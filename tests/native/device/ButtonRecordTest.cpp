#include <gtest/gtest.h>

#include "device/ButtonRecord.h"
#include "device/RecordTemplates.h"

using device::ButtonRecord;
using device::DefaultRecord;
using device::DefaultRecordText;
using device::EepromImage;
using device::FormatButtonRecord;
using device::FormatButtonRecordCompact;
using device::InitialRecordTexts;
using device::kEepromImageSize;
using device::kLaunchCodeTexts;
using device::kSingleCommands;
using device::LaunchCode;
using device::LaunchRecord;
using device::LaunchRecordText;
using device::ParseButtonRecord;
using device::ParseButtonRecordText;
using device::ProfileHasLeftButton;
using device::ProfileRecordTexts;
using device::SingleCommandRecord;
using device::SingleCommandRecordText;

namespace {

ButtonRecord Expected(std::initializer_list<std::uint8_t> lead, std::uint8_t mode = 0xA0,
                      std::uint8_t count = 0) {
    ButtonRecord r{};
    std::copy(lead.begin(), lead.end(), r.begin());
    r[80] = mode;
    r[81] = count;
    return r;
}

std::wstring Repeat(std::wstring_view token, int times) {
    std::wstring out;
    for (int i = 0; i < times; ++i) {
        if (i) out += L' ';
        out += token;
    }
    return out;
}

TEST(ButtonRecordText, ParsesTheFormsTheSystemWrites) {
    const std::wstring leftDefault = L"c0 40 " + Repeat(L"00", 78) + L" a0 00";
    ASSERT_EQ(leftDefault.size(), 245u);
    EXPECT_EQ(ParseButtonRecordText(leftDefault), Expected({0xC0, 0x40}));
    // Macro-store form: no leading zeros; repeat mode and count from the text.
    std::wstring compact = L"4 0 4 c0 " + Repeat(L"0", 76) + L" a0 3";
    EXPECT_EQ(ParseButtonRecordText(compact), Expected({0x04, 0x00, 0x04, 0xC0}, 0xA0, 3));
    EXPECT_EQ(ParseButtonRecordText(L"99 0 99 c0"), Expected({0x99, 0x00, 0x99, 0xC0}));
    EXPECT_EQ(ParseButtonRecordText(L""), Expected({}));
    EXPECT_EQ(ParseButtonRecordText(L"  C0\t40\r\n"), Expected({0xC0, 0x40}));
}

TEST(ButtonRecordText, RepeatModeAndWideNumbers) {
    EXPECT_EQ(ParseButtonRecordText(Repeat(L"00", 80) + L" b5 07")[80], 0xA0);
    EXPECT_EQ(ParseButtonRecordText(Repeat(L"00", 80) + L" a2 07"), Expected({}, 0xA2, 7));
    EXPECT_EQ(ParseButtonRecordText(L"1ff")[0], 0xFF);
    EXPECT_EQ(ParseButtonRecordText(Repeat(L"00", 80) + L" 1a1")[80], 0xA1);
}

TEST(ButtonRecordText, StopsAtTheFirstTokenThatIsNotHex) {
    EXPECT_EQ(ParseButtonRecordText(L"c0 40 zz 99 99"), Expected({0xC0, 0x40}));
    EXPECT_EQ(ParseButtonRecordText(L"c0 4g 99"), Expected({0xC0}));
    EXPECT_EQ(ParseButtonRecordText(L"c0 -1 99"), Expected({0xC0}));
    EXPECT_EQ(ParseButtonRecordText(L"0x10 99"), Expected({}));
}

// Text from the store is never trusted for its size.
TEST(ButtonRecordText, OversizedTextsParseToTheFirst82Numbers) {
    // 300 tokens, far beyond 255 characters: numbers 82 on are ignored.
    std::wstring many = L"c0 40 " + Repeat(L"00", 78) + L" a1 05 " + Repeat(L"ee", 216);
    ASSERT_GT(many.size(), 255u);
    EXPECT_EQ(ParseButtonRecordText(many), Expected({0xC0, 0x40}, 0xA1, 5));
    // A token thousands of digits long keeps its low 8 bits and the parse goes on after it.
    std::wstring huge(5000, L'f');
    huge += L"3c 40";
    EXPECT_EQ(ParseButtonRecordText(huge), Expected({0x3C, 0x40}));
    // A bad character deep inside a long token still stops the parse there.
    EXPECT_EQ(ParseButtonRecordText(L"c0 " + std::wstring(3000, L'1') + L"x 40"), Expected({0xC0}));
}

TEST(ButtonRecordText, FormatsAndReadsBack) {
    ButtonRecord r = Expected({0x99, 0x00, 0x99, 0x80, 0x0A}, 0xA2, 0x10);
    const std::wstring two = FormatButtonRecord(r);
    EXPECT_EQ(two.size(), 245u);
    EXPECT_EQ(two.substr(0, 18), L"99 00 99 80 0a 00 ");
    EXPECT_EQ(two.substr(two.size() - 5), L"a2 10");
    const std::wstring compact = FormatButtonRecordCompact(r);
    EXPECT_EQ(compact.substr(0, 13), L"99 0 99 80 a ");
    EXPECT_EQ(ParseButtonRecordText(two), r);
    EXPECT_EQ(ParseButtonRecordText(compact), r);
}

TEST(ParseButtonRecord, StoresIntoTheImageAndReturnsTheMode) {
    EepromImage image{};
    image.fill(0x55);
    EXPECT_EQ(ParseButtonRecord(image, 82, L"c1 40 " + Repeat(L"00", 78) + L" b5 00"), 0xA0);
    EXPECT_EQ(image[81], 0x55);
    EXPECT_EQ(image[82], 0xC1);
    EXPECT_EQ(image[83], 0x40);
    EXPECT_EQ(image[84], 0x00);
    EXPECT_EQ(image[162], 0xA0);
    EXPECT_EQ(image[164], 0x55);
    // No room for a whole record: nothing is stored.
    ParseButtonRecord(image, kEepromImageSize - 81, L"11 22");
    EXPECT_EQ(image[kEepromImageSize - 81], 0x55);
}

TEST(ProfileHasLeftButton, LooksOnlyAtExactlyC0AsFirstToken) {
    ProfileRecordTexts defaults;
    for (int b = 0; b < 5; ++b) defaults[b] = DefaultRecordText(b);
    EXPECT_TRUE(ProfileHasLeftButton(defaults));

    ProfileRecordTexts noLeft = defaults;
    noLeft[0] = SingleCommandRecordText(2);  // "Button Off"
    EXPECT_FALSE(ProfileHasLeftButton(noLeft));
    noLeft[4] = L"c0 40";  // a side button carries the left function instead
    EXPECT_TRUE(ProfileHasLeftButton(noLeft));

    for (const wchar_t* first : {L"C0 40", L"c00 40", L"0c0 40", L"99 c0 40", L" c0 40", L""}) {
        ProfileRecordTexts t = defaults;
        t[0] = first;
        EXPECT_FALSE(ProfileHasLeftButton(t)) << std::wstring(first).size();
    }
    ProfileRecordTexts onlyToken = defaults;
    onlyToken[0] = L"c0";
    EXPECT_TRUE(ProfileHasLeftButton(onlyToken));
    EXPECT_FALSE(ProfileHasLeftButton(InitialRecordTexts()));
}

TEST(Templates, LeadingBytesAndTexts) {
    EXPECT_EQ(DefaultRecord(0), Expected({0xC0, 0x40}));
    EXPECT_EQ(DefaultRecord(2), Expected({0xC2, 0x40}));
    EXPECT_EQ(DefaultRecord(4), Expected({0x00, 0x40}));
    EXPECT_EQ(kSingleCommands[4].name, L"Double Click");
    EXPECT_EQ(SingleCommandRecord(4), Expected({0x99, 0x00, 0x99, 0x80, 0x99, 0x00, 0x99, 0xC0}));
    EXPECT_EQ(SingleCommandRecordText(5).substr(0, 12), L"9c 00 9c c0 ");
    EXPECT_EQ(kSingleCommands[8].name, L"Sensitivity Down");
    EXPECT_EQ(SingleCommandRecord(8), Expected({0x98, 0x00, 0x98, 0xC0}));
    EXPECT_EQ(LaunchRecordText(1, 2).substr(0, 6), L"a7 40 ");
    EXPECT_EQ(LaunchRecord(4, 4), Expected({0xB8, 0x40}));
    EXPECT_EQ(DefaultRecordText(1), FormatButtonRecord(Expected({0xC1, 0x40})));
}

TEST(Templates, LaunchCodeTextsNameTheirSlots) {
    for (int p = 0; p < 5; ++p)
        for (int b = 0; b < 5; ++b) {
            const auto text = std::wstring(kLaunchCodeTexts[p * 5 + b]);
            EXPECT_EQ(std::stoi(text, nullptr, 16), LaunchCode(p, b)) << p << b;
        }
    EXPECT_EQ(kLaunchCodeTexts.back(), L"b8");
}

}  // namespace
