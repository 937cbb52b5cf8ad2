#pragma once

#include <cstdint>
#include <vector>

namespace tavrine::ui {

// A picture as a top-down 32-bit DIB holds it: 0x00RRGGBB per pixel, top row first.
struct PixelPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The picture resized with a bicubic (Catmull-Rom) filter, widened when shrinking so that every
// source pixel counts. Pixels of the key colour are see-through: they are filtered as fully
// transparent with premultiplied colour, a result pixel is see-through when less than half of it
// is covered, and then it is exactly the key; a covered pixel gets the colour of the covered part
// only, so no blend of the key appears at an edge, and never the key itself. A picture without
// key pixels is simply resized. An empty size gives an empty picture.
PixelPicture ScaleKeyed(const PixelPicture& source, int width, int height, std::uint32_t key);

// A strip of `count` pictures side by side, each resized on its own to width x height and put
// side by side again: no picture bleeds into its neighbour, and the strip is exactly `count`
// pictures wide, where one resize of the whole strip would round its width once, not per picture.
// A strip narrower than `count` pictures of at least one pixel gives an empty picture.
PixelPicture ScaleStripKeyed(const PixelPicture& strip, int count, int width, int height,
                             std::uint32_t key);

}  // namespace tavrine::ui
