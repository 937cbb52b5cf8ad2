#include "osd/PictureComposer_win.h"

#include <memory>

#include "ui/DisplayScale.h"

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

// A layer's picture at a scale: above 96 DPI its 2x copy when there is one. `perLayout` tells
// how many of its pixels make one layout pixel.
struct ScaledSource {
    std::unique_ptr<Gdiplus::Bitmap> image;
    int perLayout = 1;
};

ScaledSource LoadAt(const std::wstring& folder, const std::wstring& file,
                    const tavrine::ui::DisplayScale& scale) {
    if (!scale.IsLayout() && !file.empty())
        if (auto twoX = LoadPng(folder, tavrine::ui::TwoXPictureFile(file))) return {std::move(twoX), 2};
    return {LoadPng(folder, file), 1};
}

}  // namespace

std::optional<ComposedPicture> ComposePicture(const Picture& picture, const std::wstring& folder,
                                              int dpi) {
    if (picture.layers.empty()) return std::nullopt;
    const tavrine::ui::DisplayScale scale(dpi);
    const auto [background, perLayout] = LoadAt(folder, picture.layers.front().file, scale);
    if (!background) return std::nullopt;
    ComposedPicture composed;
    composed.width = scale.ToDevice(static_cast<int>(background->GetWidth()) / perLayout);
    composed.height = scale.ToDevice(static_cast<int>(background->GetHeight()) / perLayout);
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
        const auto image = LoadAt(folder, layer.file, scale).image;
        if (!image) continue;
        const tavrine::ui::Rect at =
            scale.ToDevice(tavrine::ui::Rect{layer.left, layer.top, layer.width, layer.height});
        graphics.DrawImage(image.get(), at.left, at.top, at.width, at.height);
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
    return composed;
}

}  // namespace vistrel
