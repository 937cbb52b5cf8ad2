#include "ui/DisplayScale.h"

#include <algorithm>

namespace tavrine::ui {

int MulDivRounded(int n, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(n) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t p = product < 0 ? -product : product;
    const std::int64_t d = denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator;
    const std::int64_t q = (p + d / 2) / d;
    return static_cast<int>(negative ? -q : q);
}

DisplayScale::DisplayScale(int dpi) : dpi_(std::clamp(dpi, kLayoutDpi, kLayoutDpi * 10)) {}

Rect DisplayScale::ToDevice(const Rect& r) const {
    const int left = ToDevice(r.left);
    const int top = ToDevice(r.top);
    return {left, top, ToDevice(r.Right()) - left, ToDevice(r.Bottom()) - top};
}

int DisplayScale::ToLayout(int device) const {
    // First guess by floor division, then step to the exact answer (rounding moves it by one).
    const std::int64_t scaled = static_cast<std::int64_t>(device) * kLayoutDpi;
    int x = static_cast<int>(scaled >= 0 ? scaled / dpi_ : -((-scaled + dpi_ - 1) / dpi_));
    while (ToDevice(x) > device) --x;
    while (ToDevice(x + 1) <= device) ++x;
    return x;
}

PictureChoice ChoosePicture(int dpi, bool twoXAvailable) {
    if (dpi <= kLayoutDpi) return {PictureSet::OneX, false};
    if (!twoXAvailable) return {PictureSet::OneX, true};
    return {PictureSet::TwoX, dpi != 2 * kLayoutDpi};
}

std::wstring TwoXPictureFile(std::wstring_view oneXFile) {
    const auto slash = oneXFile.find_last_of(L"\\/");
    const auto dot = oneXFile.rfind(L'.');
    const bool hasExtension =
        dot != std::wstring_view::npos && (slash == std::wstring_view::npos || dot > slash);
    const auto stem = hasExtension ? dot : oneXFile.size();
    std::wstring path(oneXFile.substr(0, stem));
    path += L"@2x";
    path += oneXFile.substr(stem);
    return path;
}

bool TwoXStandsFor(std::optional<std::int64_t> oneXWritten,
                   std::optional<std::int64_t> twoXWritten) {
    constexpr std::int64_t kSlack = 2 * 10'000'000;
    if (!twoXWritten) return false;
    return !oneXWritten || *twoXWritten + kSlack >= *oneXWritten;
}

}  // namespace tavrine::ui
