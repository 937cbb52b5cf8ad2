#pragma once
// Readers for what the artwork build produces: the picture table, BMP and PNG files, UTF-16 INI files.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace assets_test {

struct PictureRow {
    std::map<std::string, std::string> cells;  // by header name
    const std::string& operator[](const std::string& column) const { return cells.at(column); }
    int Width() const { return std::stoi(cells.at("width")); }
    int Height() const { return std::stoi(cells.at("height")); }
};

// Rows of the tab-separated table; '#' lines are comments, the first other line names the columns.
// Throws on a row whose cell count differs from the header.
std::vector<PictureRow> ReadPictureTable(const std::filesystem::path& table);

// Where the build puts a row's file.
std::filesystem::path PicturePath(const PictureRow& row);

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    uint32_t compression = 0;
    std::vector<Rgb> pixels;  // top row first, once decoded (24-bit uncompressed only)
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Parses the file and header; pixels only for 24-bit uncompressed data. Bounds come from the file
// size, never from the header alone. nullopt for anything that is not a readable BMP.
std::optional<Bitmap> ReadBmp(const std::filesystem::path& file);

struct PngHeader {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;  // 6 = RGBA
};
std::optional<PngHeader> ReadPngHeader(const std::filesystem::path& file);

// Sizes of the images of a Windows icon file (256 is written as 0); empty when not an icon.
std::vector<std::pair<int, int>> ReadIconSizes(const std::filesystem::path& file);

struct IniFile {
    bool utf16WithBom = false;
    std::vector<std::string> sections;
    std::vector<std::pair<std::string, std::string>> entries;  // of section [LNG], raw key text, value
};
// Reads a UTF-16LE (with BOM) or 8-bit INI file; values are kept as UTF-8.
std::optional<IniFile> ReadIni(const std::filesystem::path& file);

inline const Rgb kLime{0, 255, 0};

}  // namespace assets_test
