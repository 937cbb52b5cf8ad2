#include "macro/MacroFile.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "macro/MacroRows.h"
#include "macro/MacroText.h"

namespace macro {

namespace {

constexpr std::array<std::uint16_t, 16> kHeader = {
    0x002E, 0x0051, 0x0051, 0x0031, 0x0000, 0x004D, 0x0001, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr int kNameOffset = kMacroFileHeaderSize + kMacroDataAreaSize;
constexpr int kReservedOffset = kNameOffset + 2 * kMacroNameUnits;

// The signed block at the start of the reserved area: magic, command slots (8 bytes), CRC-32
// over the magic, the slots and the 82 image bytes.
constexpr std::array<std::uint8_t, 4> kMarkMagic = {'T', 'v', 'C', 'm'};
constexpr int kMarkSize = 16;

std::uint32_t MarkCrc(const std::uint8_t* block12, std::span<const std::uint8_t> image) {
    std::vector<std::uint8_t> bytes(block12, block12 + 12);
    bytes.insert(bytes.end(), image.begin(), image.end());
    return Crc32(bytes);
}

void Put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v & 0xFF);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint16_t Get16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::u16string ToUtf16(std::wstring_view text) {
    std::u16string out;
    for (wchar_t wc : text) {
        const auto c = static_cast<std::uint32_t>(wc);
        if constexpr (sizeof(wchar_t) == 2) {
            out.push_back(static_cast<char16_t>(c));
        } else if (c >= 0x10000 && c <= 0x10FFFF) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c <= 0xFFFF ? c : 0xFFFD));
        }
    }
    return out;
}

std::wstring FromUtf16(std::u16string_view units) {
    std::wstring out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t c = units[i];
        if constexpr (sizeof(wchar_t) != 2) {
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
                ++i;
            }
        }
        out.push_back(static_cast<wchar_t>(c));
    }
    return out;
}

std::filesystem::path FsPath(std::wstring_view path) {
    return std::filesystem::path(std::wstring(path));
}

}  // namespace

bool PutRecordName(MacroRecord& record, std::wstring_view name) {
    const std::u16string units = ToUtf16(name);
    if (units.size() >= record.name.size()) return false;
    record.name.fill(0);
    std::copy(units.begin(), units.end(), record.name.begin());
    return true;
}

std::wstring RecordName(const MacroRecord& record) {
    std::u16string units;
    for (auto u : record.name) {
        if (!u) break;
        units.push_back(static_cast<char16_t>(u));
    }
    return FromUtf16(units);
}

MacroFileBytes EncodeMacroFile(const MacroImage& image, const CommandSlots& commands,
                               const MacroRecord& record) {
    MacroFileBytes bytes{};
    for (std::size_t i = 0; i < kHeader.size(); ++i) Put16(&bytes[2 * i], kHeader[i]);
    std::copy(image.begin(), image.end(), bytes.begin() + kMacroFileHeaderSize);
    for (int i = 0; i < kMacroNameUnits; ++i)
        Put16(&bytes[static_cast<std::size_t>(kNameOffset + 2 * i)],
              record.name[static_cast<std::size_t>(i)]);
    std::uint8_t* mark = &bytes[kReservedOffset];
    std::copy(kMarkMagic.begin(), kMarkMagic.end(), mark);
    const auto slots = commands.to_ullong();
    for (int i = 0; i < 8; ++i) mark[4 + i] = static_cast<std::uint8_t>(slots >> (8 * i));
    const auto crc = MarkCrc(mark, image);
    for (int i = 0; i < 4; ++i) mark[12 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    return bytes;
}

DecodedMacroFile DecodeMacroFile(std::span<const std::uint8_t> bytes) {
    DecodedMacroFile file;
    if (bytes.size() < kMacroFileHeaderSize) {
        file.error = L"The file is not a macro file.";
        return file;
    }
    for (int unit : {0, 1, 2, 3, 5}) {
        if (Get16(&bytes[static_cast<std::size_t>(2 * unit)]) !=
            kHeader[static_cast<std::size_t>(unit)]) {
            file.error = L"The file is not a macro file.";
            return file;
        }
    }
    if (bytes.size() < kMacroFileHeaderSize + kMacroImageSize) {
        file.error = L"The macro file is incomplete.";
        return file;
    }
    std::copy_n(bytes.begin() + kMacroFileHeaderSize, kMacroImageSize, file.image.begin());
    file.commands = CommandSlotsByCode(file.image);
    if (bytes.size() >= static_cast<std::size_t>(kReservedOffset + kMarkSize)) {
        const std::uint8_t* mark = &bytes[kReservedOffset];
        std::uint32_t crc = 0;
        for (int i = 0; i < 4; ++i) crc |= std::uint32_t{mark[12 + i]} << (8 * i);
        unsigned long long slots = 0;
        for (int i = 0; i < 8; ++i)
            slots |= static_cast<unsigned long long>(mark[4 + i]) << (8 * i);
        if (std::equal(kMarkMagic.begin(), kMarkMagic.end(), mark) &&
            crc == MarkCrc(mark, file.image) && (slots >> kMacroSlotCount) == 0)
            file.commands = NormaliseCommandSlots(file.image, CommandSlots(slots));
    }
    file.ok = true;
    return file;
}

std::wstring MacroNameFromPath(std::wstring_view path) {
    const auto separator = path.find_last_of(L"\\/");
    if (separator == std::wstring_view::npos) return {};
    const auto leaf = path.substr(separator + 1);
    if (leaf.size() <= 4) return {};
    return std::wstring(leaf.substr(0, leaf.size() - 4));
}

MacroFileResult SaveMacroFile(MacroDocument& document, std::wstring_view path) {
    MacroFileResult result;
    MarkLast(document.image, document.RowCount(), false);
    if (path.empty()) return result;
    MacroRecord record;
    if (!PutRecordName(record, document.macroName)) {
        result.outcome = FileOutcome::Failed;
        result.error = L"The macro name is too long for a macro file (at most 255 characters).";
        return result;
    }
    const MacroFileBytes bytes = EncodeMacroFile(document.image, document.commands, record);
    const std::filesystem::path target = FsPath(path);
    std::filesystem::path temporary = target;
    temporary += L".saving";
    auto fail = [&](std::wstring_view why) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        result.outcome = FileOutcome::Failed;
        result.error = L"The macro file \"" + std::wstring(path) + L"\" could not be saved: " +
                       std::wstring(why);
        return result;
    };
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return fail(L"the folder cannot be written to.");
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) return fail(L"the disk did not take the whole file.");
    }
    std::error_code error;
    if (std::filesystem::file_size(temporary, error) != bytes.size() || error)
        return fail(L"the disk did not take the whole file.");
    std::filesystem::rename(temporary, target, error);
    if (error) return fail(L"the file cannot be replaced.");
    result.outcome = FileOutcome::Done;
    return result;
}

MacroFileResult LoadMacroFile(MacroDocument& document, std::wstring_view path,
                              const KeyNames& names, const MacroLanguage& language) {
    MacroFileResult result;
    if (path.empty()) return result;
    std::ifstream in(FsPath(path), std::ios::binary);
    if (!in) {
        result.outcome = FileOutcome::Failed;
        result.error = L"The macro file could not be opened: " + std::wstring(path);
        return result;
    }
    std::vector<std::uint8_t> bytes(kMacroFileSize);
    in.read(reinterpret_cast<char*>(bytes.data()), kMacroFileSize);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    const DecodedMacroFile file = DecodeMacroFile(bytes);
    if (!file.ok) {
        // Refused before anything changes, and the user is told why.
        result.outcome = FileOutcome::Failed;
        result.error = L"This is not a macro file, so nothing was loaded: " + std::wstring(path);
        return result;
    }
    const std::wstring name = MacroNameFromPath(path);
    MacroRecord record;
    if (!PutRecordName(record, name)) {
        result.outcome = FileOutcome::Failed;
        result.error = L"The file name is too long for a macro name (at most 255 characters).";
        return result;
    }
    document.image = file.image;
    document.commands = file.commands;
    document.recordName = name;
    RebuildRows(document, names, language);
    result.outcome = FileOutcome::Done;
    return result;
}

}  // namespace macro
