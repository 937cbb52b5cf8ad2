// Button-record text from anywhere (the store, a macro file, the editors): whatever comes in,
// exactly 82 bytes come out, the repeat mode is one the mouse knows, the written text reads
// back as the same record, and parsing into the profile image touches only that record.
#include <algorithm>

#include "device/ButtonRecord.h"
#include "fuzz/FuzzInput.h"

using device::ButtonRecord;
using device::EepromImage;
using device::FormatButtonRecord;
using device::FormatButtonRecordCompact;
using device::InitialRecordTexts;
using device::kButtonRecordSize;
using device::kEepromImageSize;
using device::kRepeatModeByte;
using device::kRepeatTimes;
using device::kRepeatUntilPressed;
using device::kRepeatWhileHeld;
using device::ParseButtonRecord;
using device::ParseButtonRecordText;
using device::ProfileHasLeftButton;
using device::ProfileRecordTexts;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const int offset = static_cast<int>(static_cast<std::int16_t>(in.Word()));
    const bool raw = in.Byte() & 1;
    const std::wstring text = raw ? in.Text(in.Left() / 2) : in.TokenText(in.Left());

    const ButtonRecord record = ParseButtonRecordText(text);
    const std::uint8_t mode = record[kRepeatModeByte];
    Require(mode == kRepeatTimes || mode == kRepeatWhileHeld || mode == kRepeatUntilPressed);

    const std::wstring formatted = FormatButtonRecord(record);
    Require(formatted.size() == 245);
    Require(ParseButtonRecordText(formatted) == record);
    Require(ParseButtonRecordText(FormatButtonRecordCompact(record)) == record);

    EepromImage image;
    image.fill(0x5A);
    const std::uint8_t stored = ParseButtonRecord(image, offset, text);
    const bool fits = offset >= 0 && offset + kButtonRecordSize <= kEepromImageSize;
    for (int i = 0; i < kEepromImageSize; ++i) {
        const bool inside = fits && i >= offset && i < offset + kButtonRecordSize;
        Require(inside ? image[i] == record[i - offset] : image[i] == 0x5A);
    }
    if (fits) Require(stored == mode);

    ProfileRecordTexts texts = InitialRecordTexts();
    texts[static_cast<std::size_t>(offset & 3)] = text;
    const bool left = ProfileHasLeftButton(texts);
    // "c0" as the first token of the fuzzed record is the only way to get a left button here.
    Require(left == (text.substr(0, text.find(L' ')) == L"c0"));
    return 0;
}
