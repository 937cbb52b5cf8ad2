// The .Q1M reader on arbitrary bytes, and the rows of whatever it accepts.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "macro/MacroFile.h"
#include "fuzz/MacroInvariants.h"

using macro::DecodedMacroFile;
using macro::DecodeMacroFile;
using macro::EncodeMacroFile;
using macro::KeyNames;
using macro::kMacroFileHeaderSize;
using macro::kMacroImageSize;
using macro::MacroDocument;
using macro::MacroFileBytes;
using macro::MacroLanguage;
using macro::MacroRecord;
using macro::RebuildRows;

namespace {

class NumberNames final : public KeyNames {
  public:
    std::wstring KeyNameText(std::uint32_t word) const override {
        return std::to_wstring(word >> 16);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A first byte with bit 0 set puts a valid header before the rest, so that the reader's
    // later parts are reached at once; otherwise the input is the file as it stands.
    std::vector<std::uint8_t> bytes(data, data + size);
    if (size > 0 && (data[0] & 1)) {
        bytes.erase(bytes.begin());
        const std::uint8_t header[14] = {0x2E, 0, 0x51, 0, 0x51, 0, 0x31, 0, 0, 0, 0x4D, 0, 1, 0};
        bytes.insert(bytes.begin(), std::begin(header), std::end(header));
        if (bytes.size() > 14 + 18) std::fill(bytes.begin() + 14, bytes.begin() + 32, 0);
    }
    const DecodedMacroFile file = DecodeMacroFile(bytes);
    if (!file.ok) return 0;
    Require(bytes.size() >= kMacroFileHeaderSize + kMacroImageSize);
    MacroDocument document;
    document.image = file.image;
    document.commands = file.commands;
    RebuildRows(document, NumberNames{}, MacroLanguage::BuiltIn());
    RequireRowsAreSlots(document);

    // What is written reads back the same.
    MacroRecord record;
    const MacroFileBytes written = EncodeMacroFile(document.image, document.commands, record);
    const DecodedMacroFile again = DecodeMacroFile(written);
    Require(again.ok && again.image == document.image && again.commands == document.commands);
    return 0;
}
