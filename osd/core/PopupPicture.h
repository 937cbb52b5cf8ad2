#pragma once
// The popup's pictures as plain data: which PNG files are drawn where and at which size, and where
// the window goes on the screen. The Win32 side only loads, draws and presents what this says.
#include <optional>
#include <string>
#include <vector>

#include "osd/core/OsdEvent.h"

namespace vistrel {

// One file drawn into the picture; the first layer is the background, drawn at its own size
// (width and height 0), which also gives the picture its size.
struct Layer {
    std::wstring file;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Picture {
    std::vector<Layer> layers;  // empty: nothing to draw, the window keeps what it showed
};

// The files of the pictures: "nuw%d.png" for the DPI digits and level mark, "nu%d.png" for the
// polling digits. Empty for anything but one decimal digit (no such file exists).
std::wstring LargeDigitFile(int digit);
std::wstring SmallDigitFile(int digit);
// "profile1.png" ... "profile5.png"; empty for any other number.
std::wstring ProfileFile(int profile);

Picture PictureFor(PopupKind kind, const DisplayState& state);

// The picture folder: the installation key's AppPath value and a backslash, or nothing (bare
// file names) when the value is missing.
std::wstring ImageFolderFrom(const std::optional<std::wstring>& appPath);

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// A picture of width w, height h (device pixels): centred horizontally in the work area, 32 px
// above its bottom at 96 DPI, as much more as the monitor's scale makes it.
ScreenPoint PopupPlace(const ScreenRect& workArea, int width, int height, int dpi = 96);
// Where the window is first created (256 x 256, before any picture).
inline constexpr int kInitialPopupSize = 256;
ScreenPoint InitialPopupPlace(const ScreenRect& workArea);

}  // namespace vistrel
