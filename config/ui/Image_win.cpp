#include "ui/Image.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/Font.h"
#include "ui/GraphicHost.h"
#include "ui/ScaledPicture.h"

namespace tavrine::ui {

Image::Image(GraphicHost& host, std::wstring name, Rect bounds, bool transparent)
    : Control(host, std::move(name), bounds), transparent_(transparent) {}

Image::~Image() {
    if (bitmap_) DeleteObject(bitmap_);
    DropScaled();
}

bool Image::LoadFromFile(const std::wstring& path) {
    auto* bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) {
        DebugLine(L"skin picture not loaded (" + std::to_wstring(GetLastError()) + L"): " + path);
        return false;
    }
    SetPicture(bitmap, path);
    return true;
}

bool Image::LoadFromResource(const std::wstring& resourceName, HINSTANCE module) {
    if (!module) module = GetModuleHandleW(nullptr);
    // Looked up first, so a picture without a built-in resource costs nothing and logs nothing.
    if (!FindResourceW(module, resourceName.c_str(), MAKEINTRESOURCEW(2) /* RT_BITMAP */))
        return false;
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    DropScaled();
    pendingModule_ = module;
    pendingName_ = resourceName;
    source_ = L"res:" + resourceName;
    Invalidate();
    return true;
}

HBITMAP Image::Bitmap() const {
    if (!bitmap_ && pendingModule_) {
        bitmap_ = static_cast<HBITMAP>(LoadImageW(pendingModule_, pendingName_.c_str(),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!bitmap_) DebugLine(L"built-in picture not loaded: " + pendingName_);
        pendingModule_ = nullptr;  // tried once, as a load at once would have been
    }
    return bitmap_;
}

void Image::SetPicture(HBITMAP bitmap, std::wstring source) {
    if (bitmap_) DeleteObject(bitmap_);
    DropScaled();
    bitmap_ = bitmap;
    pendingModule_ = nullptr;
    pendingName_.clear();
    source_ = std::move(source);
    Invalidate();
}

SIZE Image::PictureSize() const {
    BITMAP bm{};
    HBITMAP bitmap = Bitmap();
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

COLORREF Image::PicturePixel(int x, int y) const {
    const SIZE size = PictureSize();
    if (x < 0 || y < 0 || x >= size.cx || y >= size.cy) return CLR_INVALID;
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, Bitmap());
    const COLORREF c = GetPixel(mem, x, y);
    SelectObject(mem, old);
    DeleteDC(mem);
    return c;
}

void Image::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void Image::ScaleChanged(const DisplayScale& /*before*/) {
    DropScaled();
    Invalidate();
}

void Image::DropScaled() const {
    if (scaled_) DeleteObject(scaled_);
    scaled_ = nullptr;
    scaledDpi_ = 0;
}

HBITMAP Image::ScaledBitmap() const {
    const DisplayScale& scale = Host().Scale();
    if (scaled_ && scaledDpi_ == scale.Dpi()) return scaled_;
    DropScaled();
    const SIZE size = PictureSize();
    const std::wstring oneX = source_.rfind(L"res:", 0) == 0 ? builtinSkinFile_ : source_;
    scaled_ = MakeScaledPicture(Bitmap(), size, oneX, scale);
    scaledDpi_ = scale.Dpi();
    return scaled_;
}

void Image::Paint(HDC dc) const {
    if (!Bitmap()) return;
    const DisplayScale& scale = Host().Scale();
    // At 96 DPI the picture is drawn as it is; above, its copy at the form's scale.
    const SIZE size = scale.IsLayout() ? PictureSize()
                                       : SIZE{scale.ToDevice(PictureSize().cx),
                                              scale.ToDevice(PictureSize().cy)};
    HBITMAP picture = scale.IsLayout() ? bitmap_ : ScaledBitmap();
    if (!picture) return;
    const Rect b = DeviceBounds();
    const int w = std::min<int>(b.width, size.cx);
    const int h = std::min<int>(b.height, size.cy);
    if (w <= 0 || h <= 0) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, picture);
    if (transparent_) {
        TransparentBlt(dc, b.left, b.top, w, h, mem, 0, 0, w, h, kLime);
    } else {
        BitBlt(dc, b.left, b.top, w, h, mem, 0, 0, SRCCOPY);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
}

}  // namespace tavrine::ui
