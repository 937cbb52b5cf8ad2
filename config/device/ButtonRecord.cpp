#include "device/ButtonRecord.h"

#include <algorithm>

namespace device {

namespace {

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

constexpr wchar_t kDigits[] = L"0123456789abcdef";

}  // namespace

std::optional<std::uint8_t> ParseHexToken(std::wstring_view token) {
    if (token.empty()) return std::nullopt;
    // Only the low 8 bits are kept, so only they are accumulated: a token of any length cannot
    // overflow.
    unsigned value = 0;
    for (wchar_t c : token) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        value = ((value << 4) | static_cast<unsigned>(d)) & 0xFF;
    }
    return static_cast<std::uint8_t>(value);
}

ButtonRecord ParseButtonRecordText(std::wstring_view text) {
    ButtonRecord record{};
    std::size_t i = 0;
    for (int n = 0; n < kButtonRecordSize; ++n) {
        while (i < text.size() && IsSpace(text[i])) ++i;
        if (i == text.size()) break;
        const std::size_t start = i;
        while (i < text.size() && !IsSpace(text[i])) ++i;
        const auto value = ParseHexToken(text.substr(start, i - start));
        if (!value) break;
        record[n] = *value;
    }
    const auto mode = record[kRepeatModeByte];
    if (mode != kRepeatTimes && mode != kRepeatWhileHeld && mode != kRepeatUntilPressed)
        record[kRepeatModeByte] = kRepeatTimes;
    return record;
}

std::wstring FormatButtonRecord(const ButtonRecord& record) {
    std::wstring text;
    text.reserve(kButtonRecordSize * 3);
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (i) text.push_back(L' ');
        text.push_back(kDigits[record[i] >> 4]);
        text.push_back(kDigits[record[i] & 0xF]);
    }
    return text;
}

std::wstring FormatButtonRecordCompact(const ButtonRecord& record) {
    std::wstring text;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (i) text.push_back(L' ');
        if (record[i] >> 4) text.push_back(kDigits[record[i] >> 4]);
        text.push_back(kDigits[record[i] & 0xF]);
    }
    return text;
}

std::uint8_t ParseButtonRecord(EepromImage& image, int offset, std::wstring_view text) {
    const ButtonRecord record = ParseButtonRecordText(text);
    if (offset < 0 || offset > kEepromImageSize - kButtonRecordSize) return record[kRepeatModeByte];
    std::copy(record.begin(), record.end(), image.begin() + offset);
    return image[static_cast<std::size_t>(offset) + kRepeatModeByte];
}

bool ProfileHasLeftButton(const ProfileRecordTexts& texts) {
    return std::any_of(texts.begin(), texts.end(), [](const std::wstring& text) {
        return std::wstring_view(text).substr(0, text.find(L' ')) == L"c0";
    });
}

ProfileRecordTexts InitialRecordTexts() {
    ProfileRecordTexts texts;
    std::wstring zeros;
    zeros.reserve(kButtonRecordSize * 3);
    for (int i = 0; i < kButtonRecordSize; ++i) zeros += i ? L" 00" : L"00";
    texts.fill(zeros);
    return texts;
}

}  // namespace device
