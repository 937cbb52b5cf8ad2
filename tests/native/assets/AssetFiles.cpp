#include "tests/native/assets/AssetFiles.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace assets_test {
namespace {

std::vector<uint8_t> Slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& d, size_t at) { return static_cast<uint16_t>(d[at] | d[at + 1] << 8); }
uint32_t Be32(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint32_t>(d[at]) << 24 | d[at + 1] << 16 | d[at + 2] << 8 | d[at + 3];
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, '\t')) out.push_back(cell);
    if (!line.empty() && line.back() == '\t') out.emplace_back();
    return out;
}

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::vector<PictureRow> ReadPictureTable(const std::filesystem::path& table) {
    std::ifstream in(table);
    if (!in) throw std::runtime_error("cannot open " + table.string());
    std::vector<std::string> header;
    std::vector<PictureRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        auto cells = SplitTabs(line);
        if (header.empty()) {
            header = cells;
            continue;
        }
        if (cells.size() != header.size()) throw std::runtime_error("bad row: " + line);
        PictureRow row;
        for (size_t i = 0; i < cells.size(); ++i) row.cells[header[i]] = cells[i];
        rows.push_back(std::move(row));
    }
    return rows;
}

std::filesystem::path PicturePath(const PictureRow& row) {
    const std::string& folder = row["folder"];
    if (folder == "-") return std::filesystem::path(TAVRINE_ASSETS_DIR) / "builtin" / row["file"];
    if (folder == ".") return std::filesystem::path(TAVRINE_PROGRAM_DIR) / row["file"];
    return std::filesystem::path(TAVRINE_PROGRAM_DIR) / folder / row["file"];
}

std::optional<Bitmap> ReadBmp(const std::filesystem::path& file) {
    const auto d = Slurp(file);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return std::nullopt;
    Bitmap bmp;
    const uint32_t offset = Le32(d, 10);
    bmp.width = static_cast<int32_t>(Le32(d, 18));
    const int32_t rawHeight = static_cast<int32_t>(Le32(d, 22));
    bmp.height = rawHeight < 0 ? -rawHeight : rawHeight;
    bmp.bitsPerPixel = Le16(d, 28);
    bmp.compression = Le32(d, 30);
    if (bmp.width <= 0 || bmp.height <= 0 || bmp.width > 16384 || bmp.height > 16384) return std::nullopt;
    if (bmp.bitsPerPixel != 24 || bmp.compression != 0) return bmp;
    const size_t stride = (static_cast<size_t>(bmp.width) * 3 + 3) & ~size_t{3};
    if (offset > d.size() || d.size() - offset < stride * bmp.height) return std::nullopt;
    bmp.pixels.resize(static_cast<size_t>(bmp.width) * bmp.height);
    for (int y = 0; y < bmp.height; ++y) {
        const int fileRow = rawHeight > 0 ? bmp.height - 1 - y : y;  // positive height: bottom-up
        const size_t base = offset + stride * fileRow;
        for (int x = 0; x < bmp.width; ++x) {
            const size_t p = base + static_cast<size_t>(x) * 3;
            bmp.pixels[static_cast<size_t>(y) * bmp.width + x] = Rgb{d[p + 2], d[p + 1], d[p]};
        }
    }
    return bmp;
}

std::optional<PngHeader> ReadPngHeader(const std::filesystem::path& file) {
    const auto d = Slurp(file);
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (d.size() < 33 || !std::equal(kSignature, kSignature + 8, d.begin())) return std::nullopt;
    if (std::string(d.begin() + 12, d.begin() + 16) != "IHDR") return std::nullopt;
    return PngHeader{Be32(d, 16), Be32(d, 20), d[24], d[25]};
}

std::vector<std::pair<int, int>> ReadIconSizes(const std::filesystem::path& file) {
    const auto d = Slurp(file);
    std::vector<std::pair<int, int>> out;
    if (d.size() < 6 || Le16(d, 0) != 0 || Le16(d, 2) != 1) return out;
    const size_t count = Le16(d, 4);
    if (d.size() < 6 + 16 * count) return out;
    for (size_t k = 0; k < count; ++k) out.emplace_back(d[6 + 16 * k] ? d[6 + 16 * k] : 256, d[7 + 16 * k] ? d[7 + 16 * k] : 256);
    return out;
}

std::optional<IniFile> ReadIni(const std::filesystem::path& file) {
    const auto d = Slurp(file);
    if (d.empty()) return std::nullopt;
    IniFile ini;
    std::string text;
    if (d.size() >= 2 && d[0] == 0xFF && d[1] == 0xFE) {
        ini.utf16WithBom = true;
        for (size_t i = 2; i + 1 < d.size(); i += 2) AppendUtf8(text, Le16(d, i));
    } else {
        text.assign(d.begin(), d.end());
    }
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            ini.sections.push_back(section);
            continue;
        }
        const auto eq = line.find('=');
        if (section == "LNG" && eq != std::string::npos) ini.entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return ini;
}

}  // namespace assets_test
