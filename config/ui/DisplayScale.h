#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/Geometry.h"

namespace tavrine::ui {

// The layouts are drawn for a 96-DPI screen. At another DPI every place, size and font height
// scales by dpi / 96 with Windows' MulDiv rounding, and pointer positions go back to layout units,
// so the forms, their handlers and the hit tests keep working in the layout's numbers.
inline constexpr int kLayoutDpi = 96;

// n * numerator / denominator rounded half away from zero; -1 for a zero denominator, as MulDiv.
int MulDivRounded(int n, int numerator, int denominator);

class DisplayScale {
  public:
    constexpr DisplayScale() = default;
    // A DPI from the system (a message, a monitor) is kept to 100 % - 1000 %.
    explicit DisplayScale(int dpi);

    int Dpi() const { return dpi_; }
    // At 96 DPI the windows take the unscaled path, pixel for pixel as the layouts draw them.
    bool IsLayout() const { return dpi_ == kLayoutDpi; }

    int ToDevice(int layout) const { return MulDivRounded(layout, dpi_, kLayoutDpi); }
    Point ToDevice(Point p) const { return {ToDevice(p.x), ToDevice(p.y)}; }
    // Edges are scaled, not sizes: controls that touch in the layout touch on the screen.
    Rect ToDevice(const Rect& r) const;

    // The layout pixel whose scaled extent holds this device pixel: the largest x with
    // ToDevice(x) <= device. A hit test in layout units then agrees with what is painted.
    int ToLayout(int device) const;
    Point ToLayout(Point p) const { return {ToLayout(p.x), ToLayout(p.y)}; }

    bool operator==(const DisplayScale&) const = default;

  private:
    int dpi_ = kLayoutDpi;
};

// Which artwork a picture is drawn from at a DPI and whether it must be resampled: 96 DPI draws the
// 1x picture as it is, 192 the 2x picture as it is; between and above, the 2x picture is resized
// (down from more pixels than needed); without a 2x picture the 1x one is enlarged smoothly.
enum class PictureSet { OneX, TwoX };
struct PictureChoice {
    PictureSet set = PictureSet::OneX;
    bool resample = false;
    bool operator==(const PictureChoice&) const = default;
};
PictureChoice ChoosePicture(int dpi, bool twoXAvailable);

// The 2x picture that belongs to a 1x skin file: "...\Img_Ok1.bmp" -> "...\Img_Ok1@2x.bmp".
std::wstring TwoXPictureFile(std::wstring_view oneXFile);

// Whether a 2x file stands for its 1x picture: it exists and is not older. A user who replaced a
// 1x picture with their own sees theirs (enlarged), not the installed 2x one. Times are file times
// (100 ns units); two seconds of slack cover copies that write the pair in either order and the
// two-second times of FAT drives.
bool TwoXStandsFor(std::optional<std::int64_t> oneXWritten, std::optional<std::int64_t> twoXWritten);

}  // namespace tavrine::ui
