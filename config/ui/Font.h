#pragma once

#include <windows.h>

#include <string>

namespace tavrine::ui {

inline constexpr COLORREF kLime = RGB(0, 255, 0);
inline constexpr COLORREF kSilver = RGB(192, 192, 192);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);

// How a text is drawn: face, character height in pixels, colour, weight.
struct FontSpec {
    std::wstring face = L"Tahoma";
    int height = 13;
    COLORREF color = kBlack;
    bool bold = false;

    // A size in points on the 96-dpi screen the skins are drawn for.
    static int PointsToPixels(int points) { return MulDiv(points, 96, 72); }
};

// An owned GDI font made from a FontSpec.
class GdiFont {
  public:
    GdiFont() = default;
    // The character height scales by dpi / 96: the layouts give it for 96 DPI.
    explicit GdiFont(const FontSpec& style, int dpi = 96);
    ~GdiFont();
    GdiFont(GdiFont&& other) noexcept : font_(other.font_) { other.font_ = nullptr; }
    GdiFont& operator=(GdiFont&& other) noexcept;
    GdiFont(const GdiFont&) = delete;
    GdiFont& operator=(const GdiFont&) = delete;

    HFONT Handle() const { return font_; }

  private:
    HFONT font_ = nullptr;
};

}  // namespace tavrine::ui
