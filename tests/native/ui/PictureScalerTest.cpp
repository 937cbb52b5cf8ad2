#include "ui/PictureScaler.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tavrine::ui {
namespace {

constexpr std::uint32_t kKey = 0x00FF00;  // lime

// A keyed picture: an opaque disc of two colours (red left half, blue right) on the key.
PixelPicture Disc(int size) {
    PixelPicture p{size, size, std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size, kKey)};
    const float c = static_cast<float>(size) / 2.0f, r = c * 0.8f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - c, dy = static_cast<float>(y) + 0.5f - c;
            if (dx * dx + dy * dy <= r * r)
                p.pixels[static_cast<std::size_t>(y) * size + x] = x < size / 2 ? 0xD02010u : 0x1020D0u;
        }
    return p;
}

int Green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }

TEST(PictureScaler, KeyedEdgesStayExactAtEveryScale) {
    const PixelPicture source = Disc(40);
    for (int size : {50, 60, 70, 80, 25}) {
        const PixelPicture out = ScaleKeyed(source, size, size, kKey);
        ASSERT_EQ(out.pixels.size(), static_cast<std::size_t>(size) * size);
        int keyed = 0;
        for (std::uint32_t p : out.pixels) {
            if (p == kKey) {
                ++keyed;
                continue;
            }
            // The disc's colours have green 0x20: any blend with lime would raise it.
            EXPECT_LE(Green(p), 0x21) << size;
        }
        // The see-through share stays that of the source (1 - 0.64 * pi / 4 = 0.497).
        const double share = static_cast<double>(keyed) / static_cast<double>(out.pixels.size());
        EXPECT_NEAR(share, 0.497, 0.05) << size;
        // Corners stay see-through, the centre of each half keeps its colour.
        EXPECT_EQ(out.pixels[0], kKey);
        EXPECT_EQ(out.pixels[static_cast<std::size_t>(size / 2) * size + size / 4], 0xD02010u) << size;
        EXPECT_EQ(out.pixels[static_cast<std::size_t>(size / 2) * size + 3 * size / 4], 0x1020D0u) << size;
    }
}

TEST(PictureScaler, SmoothNotNearestAndNeverTheKeyByChance) {
    // A hard black/white edge enlarged 1.5x gets in-between greys (a nearest-neighbour enlargement
    // would not); shrinking by 2 averages pairs of columns.
    PixelPicture edge{4, 1, {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF}};
    const PixelPicture wide = ScaleKeyed(edge, 6, 1, kKey);
    bool grey = false;
    for (std::uint32_t p : wide.pixels) grey |= p != 0 && p != 0xFFFFFF;
    EXPECT_TRUE(grey);
    PixelPicture stripes{16, 1, {}};
    for (int x = 0; x < 16; ++x) stripes.pixels.push_back(x % 2 ? 0xFEFEFE : 0x000000);
    const PixelPicture halved = ScaleKeyed(stripes, 8, 1, kKey);
    for (int x = 2; x < 6; ++x)  // away from the edges, which repeat their last pixel
        EXPECT_NEAR(static_cast<int>(halved.pixels[static_cast<std::size_t>(x)] & 0xFF), 0x7F, 3);

    // An opaque picture that is nearly lime must not become see-through where it is resized.
    PixelPicture nearKey{2, 2, {0x00FE00, 0x01FF00, 0x00FF01, 0x00FE00}};
    for (std::uint32_t p : ScaleKeyed(nearKey, 3, 3, kKey).pixels) EXPECT_NE(p, kKey);
    // A uniform colour stays that colour.
    PixelPicture flat{3, 3, std::vector<std::uint32_t>(9, 0x336699)};
    for (std::uint32_t p : ScaleKeyed(flat, 7, 5, kKey).pixels) EXPECT_EQ(p, 0x336699u);
    // Nothing to draw from, or nothing to draw.
    EXPECT_TRUE(ScaleKeyed(PixelPicture{}, 0, 3, kKey).pixels.empty());
    EXPECT_EQ(ScaleKeyed(PixelPicture{2, 2, {}}, 2, 1, kKey).pixels,
              (std::vector<std::uint32_t>{kKey, kKey}));
}

// A strip of three flat pictures 19 wide: each resized on its own, at 150 % (where one resize of
// the 57-pixel strip would make 86, not 3 x 29) and at 200 %, keeps its own colour edge to edge.
TEST(PictureScaler, AStripIsResizedPictureByPicture) {
    constexpr std::uint32_t kColours[] = {0xD02010, 0x000000, 0x1020D0};
    PixelPicture strip{57, 18, {}};
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 57; ++x) strip.pixels.push_back(kColours[x / 19]);
    for (auto [width, height] : {std::pair{29, 27}, {38, 36}}) {
        const PixelPicture out = ScaleStripKeyed(strip, 3, width, height, kKey);
        ASSERT_EQ(out.width, 3 * width);
        ASSERT_EQ(out.height, height);
        ASSERT_EQ(out.pixels.size(), static_cast<std::size_t>(out.width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < out.width; ++x)
                ASSERT_EQ(out.pixels[static_cast<std::size_t>(y) * out.width + x], kColours[x / width])
                    << x << "," << y << " at " << width;
    }
    // A strip too narrow for its count, or damaged, gives nothing rather than a wrong picture.
    EXPECT_TRUE(ScaleStripKeyed(PixelPicture{2, 1, {1, 2}}, 3, 4, 4, kKey).pixels.empty());
    EXPECT_TRUE(ScaleStripKeyed(PixelPicture{6, 2, {1, 2}}, 3, 4, 4, kKey).pixels.empty());
}

}  // namespace
}  // namespace tavrine::ui
