#include "osd/PictureComposer_win.h"

#include <memory>

namespace vistrel {

namespace {

// The folder and file name together must fit the program's 512-character name buffer.
constexpr std::size_t kFileNameLimit = 512;

std::unique_ptr<Gdiplus::Bitmap> LoadPng(const std::wstring& folder, const std::wstring& file) {
    if (file.empty() || folder.size() + file.size() >= kFileNameLimit) return nullptr;
    const std::wstring path = folder + file;
    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromFile(path.c_str()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0 ||
        image->GetHeight() == 0) {
        return nullptr;
    }
    return image;
}

}  // namespace

std::optional<ComposedPicture> ComposePicture(const Picture& picture, const std::wstring& folder) {
    if (picture.layers.empty()) return std::nullopt;
    const auto background = LoadPng(folder, picture.layers.front().file);
    if (!background) return std::nullopt;
    ComposedPicture composed;
    composed.width = static_cast<int>(background->GetWidth());
    composed.height = static_cast<int>(background->GetHeight());
    const int width = 2 * composed.width;
    const int height = 2 * composed.height;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    composed.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!composed.bitmap || !bits) return std::nullopt;
    composed.bits = static_cast<const BYTE*>(bits);

    // A bottom-up DIB seen by GDI+ from its top row: the last row in memory, negative stride.
    const int stride = width * 4;
    BYTE* topRow = static_cast<BYTE*>(bits) + static_cast<std::size_t>(height - 1) * stride;
    Gdiplus::Bitmap surface(width, height, -stride, PixelFormat32bppPARGB, topRow);
    Gdiplus::Graphics graphics(&surface);
    graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(background.get(), 0, 0, composed.width, composed.height);
    for (std::size_t i = 1; i < picture.layers.size(); ++i) {
        const Layer& layer = picture.layers[i];
        const auto image = LoadPng(folder, layer.file);
        if (!image) continue;
        graphics.DrawImage(image.get(), layer.left, layer.top, layer.width, layer.height);
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
    return composed;
}

}  // namespace vistrel
