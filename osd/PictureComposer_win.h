#pragma once
// A popup picture drawn with GDI+ from its PNG files into a 32-bit DIB twice the picture's size,
// premultiplied as UpdateLayeredWindow expects; the picture takes the top-left quarter.
#include <windows.h>

#include <optional>
#include <string>

#include "osd/Gdi_win.h"
#include "osd/core/PopupPicture.h"

namespace vistrel {

struct ComposedPicture {
    OwnedBitmap bitmap;  // 2 width x 2 height, bottom-up
    const BYTE* bits = nullptr;
    int width = 0;  // the picture's own size (the background's)
    int height = 0;

    // Premultiplied B, G, R, A of a pixel, counted from the top-left corner.
    const BYTE* Pixel(int x, int y) const {
        const int rows = 2 * height;
        return bits + (static_cast<std::size_t>(rows - 1 - y) * 2 * width + x) * 4;
    }
};

// Nothing when the background (the first layer) cannot be loaded or the bitmap not made; a
// missing file of a later layer is left out. Files are read anew and released at once.
// Above 96 DPI the picture is composed at the monitor's scale (places and sizes times dpi / 96)
// from the files' 2x copies ("name@2x.png"), or from the files themselves where there is none;
// width and height are then the scaled size.
std::optional<ComposedPicture> ComposePicture(const Picture& picture, const std::wstring& folder,
                                              int dpi = 96);

}  // namespace vistrel
