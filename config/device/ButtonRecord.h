#pragma once
// The 82-byte button record, its hex-text form, and the profile write buffer it is parsed into.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/EEPROMAddress.h"

namespace device {

inline constexpr int kButtonCount = 5;
inline constexpr int kButtonRecordSize = 82;
inline constexpr int kRepeatModeByte = 80;
inline constexpr int kRepeatCountByte = 81;
inline constexpr std::uint8_t kRepeatTimes = 0xA0;
inline constexpr std::uint8_t kRepeatWhileHeld = 0xA1;
inline constexpr std::uint8_t kRepeatUntilPressed = 0xA2;
inline constexpr std::uint8_t kAttrRelease = 0x80;
inline constexpr std::uint8_t kAttrLast = 0x40;
inline constexpr int kEepromImageSize = kProfileImageSize * kProfileCount;  // 2050

using ButtonRecord = std::array<std::uint8_t, kButtonRecordSize>;
using EepromImage = std::array<std::uint8_t, kEepromImageSize>;
// The five hex-text records of one profile, in button order.
using ProfileRecordTexts = std::array<std::wstring, kButtonCount>;

// Offset of a button's record within a profile image.
constexpr int ButtonRecordOffset(int button) { return button * kButtonRecordSize; }

// One hexadecimal token of any length, kept to its low 8 bits; nothing when it is empty or holds
// a character that is not a hex digit. The one rule for every hex text of records and macros.
std::optional<std::uint8_t> ParseHexToken(std::wstring_view token);

// Reads up to 82 white-space separated hexadecimal numbers, stopping at the first token that
// is not one; numbers not read are 0, each keeps its low 8 bits, and a repeat mode other than
// A0..A2 becomes A0. Any text length, token count or token length is safe.
ButtonRecord ParseButtonRecordText(std::wstring_view text);
// 82 two-digit lower-case numbers separated by single spaces (245 characters).
std::wstring FormatButtonRecord(const ButtonRecord& record);
// The macro store's form: lower case without leading zeros ("0" for zero).
std::wstring FormatButtonRecordCompact(const ButtonRecord& record);

// Parses text into image[offset .. offset + 81] and returns byte 80 as stored. An offset that
// would not leave room for a whole record stores nothing.
std::uint8_t ParseButtonRecord(EepromImage& image, int offset, std::wstring_view text);

// True when the first token (the characters before the first space) of at least one record is
// exactly "c0": some button keeps the left-button function.
bool ProfileHasLeftButton(const ProfileRecordTexts& texts);

// Every record text starts as 82 numbers "00".
ProfileRecordTexts InitialRecordTexts();

}  // namespace device
