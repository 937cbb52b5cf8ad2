#pragma once

#include <windows.h>

#include <string>

#include "ui/Control.h"

namespace tavrine::ui {

// A windowless picture: a bitmap from a BMP file or from a BITMAP resource of the module.
// Drawn from its top-left corner, clipped to the control; a transparent image keys out lime.
class Image : public Control {
  public:
    Image(GraphicHost& host, std::wstring name, Rect bounds, bool transparent = false);
    ~Image() override;

    // A picture that cannot be loaded leaves the current one in place; one line goes to the
    // debug output. Returns whether the picture changed.
    bool LoadFromFile(const std::wstring& path);
    // The resource is found at once but decoded only when the picture is first drawn or asked
    // about: most built-in pictures belong to windows that are never shown, or are replaced by a
    // skin file before they are ever drawn.
    bool LoadFromResource(const std::wstring& resourceName, HINSTANCE module = nullptr);
    // Takes ownership of the bitmap.
    void SetPicture(HBITMAP bitmap, std::wstring source = {});

    bool HasPicture() const { return bitmap_ != nullptr || pendingModule_ != nullptr; }
    // Whether the picture is held decoded (a built-in one is decoded on first use).
    bool Decoded() const { return bitmap_ != nullptr; }
    SIZE PictureSize() const;
    // Where the current picture came from: a file path or "res:" + the resource name.
    const std::wstring& PictureSource() const { return source_; }
    // The picture's pixel at (x, y); CLR_INVALID outside the picture.
    COLORREF PicturePixel(int x, int y) const;

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);

    // The skin file a built-in picture stands for, whose 2x copy is drawn above 96 DPI.
    void SetBuiltinSkinFile(std::wstring file) { builtinSkinFile_ = std::move(file); }

    void Paint(HDC dc) const override;
    void ScaleChanged(const DisplayScale& before) override;

  private:
    HBITMAP Bitmap() const;
    // Above 96 DPI: the picture at the form's scale, made on first use from the 2x artwork when
    // there is one, else from this picture enlarged smoothly.
    HBITMAP ScaledBitmap() const;
    void DropScaled() const;

    mutable HBITMAP bitmap_ = nullptr;
    // A built-in picture not decoded yet: its module and resource name.
    mutable HINSTANCE pendingModule_ = nullptr;
    std::wstring pendingName_;
    std::wstring source_;
    std::wstring builtinSkinFile_;
    bool transparent_;
    mutable HBITMAP scaled_ = nullptr;
    mutable int scaledDpi_ = 0;
};

}  // namespace tavrine::ui
