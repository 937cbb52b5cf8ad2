#pragma once
// Macro files (".Q1M", 1668 bytes, little-endian): a 32-byte header of 16 UTF-16 units, then the
// macro record: a 100-byte data area (the 82 image bytes, zeros after), a 512-byte name part
// (256 UTF-16 units) and 1024 reserved bytes. The reserved area may carry a signed block with the
// command slots; files without it read as they always did.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "macro/KeyTables.h"
#include "macro/MacroCommands.h"
#include "macro/MacroDocument.h"

namespace macro {

inline constexpr int kMacroFileHeaderSize = 32;
inline constexpr int kMacroDataAreaSize = 100;
inline constexpr int kMacroNameUnits = 256;
inline constexpr int kMacroReservedSize = 1024;
inline constexpr int kMacroRecordSize =
    kMacroDataAreaSize + 2 * kMacroNameUnits + kMacroReservedSize;
inline constexpr int kMacroFileSize = kMacroFileHeaderSize + kMacroRecordSize;
static_assert(kMacroRecordSize == 1636 && kMacroFileSize == 1668);

// The record as the file holds it.
struct MacroRecord {
    std::array<std::uint8_t, kMacroDataAreaSize> data{};
    std::array<std::uint16_t, kMacroNameUnits> name{};  // UTF-16, ending with a zero unit
    std::array<std::uint8_t, kMacroReservedSize> reserved{};
};

static_assert(sizeof(MacroRecord) == kMacroRecordSize);

using MacroFileBytes = std::array<std::uint8_t, kMacroFileSize>;

// The name in UTF-16 units; false when it does not fit the name part with its zero unit.
bool PutRecordName(MacroRecord& record, std::wstring_view name);
std::wstring RecordName(const MacroRecord& record);

// The file's bytes for an image, its command slots and a name that fits.
MacroFileBytes EncodeMacroFile(const MacroImage& image, const CommandSlots& commands,
                               const MacroRecord& record);

struct DecodedMacroFile {
    bool ok = false;
    MacroImage image{};
    CommandSlots commands;
    std::wstring error;
};
// Only header units 0-3 and 5 are compared; the image must be complete (a file that ends inside
// it is refused); the rest of a short file reads as zero; the name part is not used.
DecodedMacroFile DecodeMacroFile(std::span<const std::uint8_t> bytes);

// The part of a path after its last backslash (or slash) without its last four characters;
// empty when there is no separator or four characters or fewer follow it.
std::wstring MacroNameFromPath(std::wstring_view path);

enum class FileOutcome { Done, Nothing, Failed };
struct MacroFileResult {
    FileOutcome outcome = FileOutcome::Nothing;
    std::wstring error;  // for Failed: what to tell the user
};

// Save: commits the end marker (without the command step), then writes the file at `path`
// (nothing for an empty path: a cancelled dialog). The file is written beside the target and
// then put in its place, so a failed save never leaves a truncated file.
MacroFileResult SaveMacroFile(MacroDocument& document, std::wstring_view path);

// Load: reads the file at `path`; on success the image, the command slots, the record name (from
// the path) and the rows are replaced. A missing file or a wrong header changes nothing and is
// Failed with the text to show; an empty path (a cancelled dialog) is Nothing.
MacroFileResult LoadMacroFile(MacroDocument& document, std::wstring_view path,
                              const KeyNames& names, const MacroLanguage& language);

}  // namespace macro
