#include "ui/ScaledPicture.h"

#include <cstring>
#include <optional>

#include "ui/Application.h"
#include "ui/PictureScaler.h"

namespace tavrine::ui {
namespace {

constexpr std::uint32_t kLimeKey = 0x00FF00;  // lime as a 32-bit DIB holds it (0x00RRGGBB)

std::optional<std::int64_t> WriteTime(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return static_cast<std::int64_t>((static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                     data.ftLastWriteTime.dwLowDateTime);
}

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

PixelPicture PixelsOf(HBITMAP bitmap) {
    const SIZE size = SizeOf(bitmap);
    PixelPicture picture{size.cx, size.cy, {}};
    if (size.cx <= 0 || size.cy <= 0) return {};
    picture.pixels.resize(static_cast<std::size_t>(size.cx) * size.cy);
    BITMAPINFO info = TopDown32(size.cx, size.cy);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), picture.pixels.data(),
                               &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size.cy) return {};
    return picture;
}

HBITMAP BitmapOf(const PixelPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0) return nullptr;
    BITMAPINFO info = TopDown32(picture.width, picture.height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return bitmap;
    std::memcpy(bits, picture.pixels.data(), picture.pixels.size() * sizeof(std::uint32_t));
    return bitmap;
}

// The 2x copy of a skin file when it stands for the picture and has exactly twice its size.
HBITMAP TwoXPicture(const std::wstring& oneXFile, SIZE oneXSize) {
    if (oneXFile.empty()) return nullptr;
    const std::wstring file = TwoXPictureFile(oneXFile);
    if (!TwoXStandsFor(WriteTime(oneXFile), WriteTime(file))) return nullptr;
    auto* bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    const SIZE size = SizeOf(bitmap);
    if (bitmap && (size.cx != 2 * oneXSize.cx || size.cy != 2 * oneXSize.cy)) {
        DebugLine(L"2x picture not twice the size of its picture, not used: " + file);
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

HBITMAP MakeScaledPicture(HBITMAP oneX, SIZE oneXSize, const std::wstring& oneXFile,
                          const DisplayScale& scale) {
    if (!oneX || oneXSize.cx <= 0 || oneXSize.cy <= 0) return nullptr;
    HBITMAP twoX = TwoXPicture(oneXFile, oneXSize);
    const PictureChoice choice = ChoosePicture(scale.Dpi(), twoX != nullptr);
    if (choice.set == PictureSet::TwoX && !choice.resample) return twoX;
    const PixelPicture source = PixelsOf(choice.set == PictureSet::TwoX ? twoX : oneX);
    if (twoX) DeleteObject(twoX);
    return BitmapOf(ScaleKeyed(source, scale.ToDevice(oneXSize.cx), scale.ToDevice(oneXSize.cy),
                               kLimeKey));
}

HBITMAP MakeScaledStrip(HBITMAP oneX, HBITMAP twoX, int count, SIZE iconSize,
                        const DisplayScale& scale) {
    if (!oneX || count <= 0 || iconSize.cx <= 0 || iconSize.cy <= 0) return nullptr;
    const SIZE twoXSize = SizeOf(twoX);
    const bool twoXFits = twoXSize.cx == 2 * count * iconSize.cx && twoXSize.cy == 2 * iconSize.cy;
    const PictureChoice choice = ChoosePicture(scale.Dpi(), twoXFits);
    const PixelPicture source = PixelsOf(choice.set == PictureSet::TwoX ? twoX : oneX);
    if (choice.set == PictureSet::TwoX && !choice.resample) return BitmapOf(source);
    return BitmapOf(ScaleStripKeyed(source, count, scale.ToDevice(iconSize.cx),
                                    scale.ToDevice(iconSize.cy), kLimeKey));
}

}  // namespace tavrine::ui
