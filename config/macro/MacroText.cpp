#include "macro/MacroText.h"

#include <array>
#include <cwchar>

namespace macro {

std::wstring MacroImageText(const MacroImage& image) {
    return device::FormatButtonRecordCompact(image) + L' ';
}

KeysParse ParseMacroKeys(std::wstring_view text) {
    KeysParse result;
    std::size_t written = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size() && written < result.image.size(); ++i) {
        if (text[i] != L' ') continue;
        const auto token = text.substr(start, i - start);
        start = i + 1;
        const auto value = device::ParseHexToken(token);
        if (!value) {
            result.ok = false;
            result.error = L"'0x" + std::wstring(token) + L"' is not a valid integer value.";
            return result;
        }
        result.image[written++] = *value;
    }
    return result;
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (auto b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::wstring CommandMarkText(const MacroImage& image, const CommandSlots& commands) {
    wchar_t buffer[64];
    std::swprintf(buffer, std::size(buffer), L"1 %llx %08x",
                  static_cast<unsigned long long>(commands.to_ullong()),
                  static_cast<unsigned>(Crc32(image)));
    return buffer;
}

CommandSlots CommandSlotsFromMark(const MacroImage& image, std::wstring_view mark) {
    const CommandSlots byCode = CommandSlotsByCode(image);
    // Three tokens: version, slots, CRC.
    std::array<std::wstring_view, 3> tokens;
    std::size_t count = 0, start = 0;
    for (std::size_t i = 0; i <= mark.size(); ++i) {
        if (i < mark.size() && mark[i] != L' ') continue;
        if (i > start) {
            if (count == tokens.size()) return byCode;
            tokens[count++] = mark.substr(start, i - start);
        }
        start = i + 1;
    }
    if (count != 3 || tokens[0] != L"1" || tokens[1].size() > 11 || tokens[2].size() > 8)
        return byCode;
    auto hex = [](std::wstring_view t, unsigned long long& out) {
        out = 0;
        for (wchar_t c : t) {
            const auto d = device::ParseHexToken(std::wstring_view(&c, 1));
            if (!d) return false;
            out = out * 16 + *d;
        }
        return !t.empty();
    };
    unsigned long long slots = 0, crc = 0;
    if (!hex(tokens[1], slots) || !hex(tokens[2], crc)) return byCode;
    if (crc != Crc32(image) || (slots >> kMacroSlotCount) != 0) return byCode;
    return NormaliseCommandSlots(image, CommandSlots(slots));
}

}  // namespace macro
