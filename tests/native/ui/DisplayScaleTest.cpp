#include "ui/DisplayScale.h"

#include <gtest/gtest.h>

namespace tavrine::ui {
namespace {

TEST(DisplayScale, RoundsAsMulDivAndKeepsTheLayoutAt96) {
    // Half away from zero, both signs; a zero denominator is -1 as in Windows.
    EXPECT_EQ(MulDivRounded(3, 144, 96), 5);   // 4.5
    EXPECT_EQ(MulDivRounded(-3, 144, 96), -5);
    EXPECT_EQ(MulDivRounded(5, 120, 96), 6);   // 6.25
    EXPECT_EQ(MulDivRounded(7, 1, 0), -1);

    const DisplayScale same(96);
    EXPECT_TRUE(same.IsLayout());
    EXPECT_EQ(same.ToDevice(Rect{254, 223, 81, 173}), (Rect{254, 223, 81, 173}));
    EXPECT_EQ(same.ToLayout(Point{300, 17}), (Point{300, 17}));
    // Out-of-range DPIs from the system are held to 100 % - 1000 %.
    EXPECT_EQ(DisplayScale(0).Dpi(), 96);
    EXPECT_EQ(DisplayScale(100000).Dpi(), 960);
}

TEST(DisplayScale, RectanglesScaleByTheirEdgesSoNeighboursStillTouch) {
    for (int dpi : {120, 144, 168, 192}) {
        const DisplayScale s(dpi);
        const Rect a{3, 5, 7, 9};
        const Rect b{a.Right(), a.Bottom(), 11, 13};
        const Rect da = s.ToDevice(a);
        const Rect db = s.ToDevice(b);
        EXPECT_EQ(da.Right(), db.left) << dpi;
        EXPECT_EQ(da.Bottom(), db.top) << dpi;
        EXPECT_EQ(s.ToDevice(Rect{0, 0, 980, 750}).width, MulDivRounded(980, dpi, 96)) << dpi;
    }
    EXPECT_EQ(DisplayScale(144).ToDevice(Rect{1, 1, 1, 1}), (Rect{2, 2, 1, 1}));  // 1.5 -> 2, 3
    EXPECT_EQ(DisplayScale(192).ToDevice(Rect{48, 147, 91, 26}), (Rect{96, 294, 182, 52}));
}

TEST(DisplayScale, EveryDevicePixelGoesBackToTheLayoutPixelPaintedThere) {
    for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        const DisplayScale s(dpi);
        for (int device = -50; device < 2000; ++device) {
            const int x = s.ToLayout(device);
            ASSERT_LE(s.ToDevice(x), device) << dpi << " " << device;
            ASSERT_GT(s.ToDevice(x + 1), device) << dpi << " " << device;
        }
    }
    // A control's scaled rectangle and the hit test in layout units agree at its edges.
    const DisplayScale s(144);
    const Rect button{48, 147, 91, 26};
    const Rect painted = s.ToDevice(button);
    const Point inside = s.ToLayout(Point{painted.left, painted.Bottom() - 1});
    const Point outside = s.ToLayout(Point{painted.Right(), painted.top});
    EXPECT_TRUE(button.Contains(inside.x, inside.y));
    EXPECT_FALSE(button.Contains(outside.x, outside.y));
}

TEST(DisplayScale, PicturesComeFromTheSetMadeForTheScale) {
    EXPECT_EQ(ChoosePicture(96, true), (PictureChoice{PictureSet::OneX, false}));
    EXPECT_EQ(ChoosePicture(192, true), (PictureChoice{PictureSet::TwoX, false}));
    EXPECT_EQ(ChoosePicture(120, true), (PictureChoice{PictureSet::TwoX, true}));
    EXPECT_EQ(ChoosePicture(144, true), (PictureChoice{PictureSet::TwoX, true}));
    EXPECT_EQ(ChoosePicture(288, true), (PictureChoice{PictureSet::TwoX, true}));
    EXPECT_EQ(ChoosePicture(144, false), (PictureChoice{PictureSet::OneX, true}));
    EXPECT_EQ(ChoosePicture(96, false), (PictureChoice{PictureSet::OneX, false}));

    EXPECT_EQ(TwoXPictureFile(L"C:\\T\\skin\\Main\\Img_Ok1.bmp"), L"C:\\T\\skin\\Main\\Img_Ok1@2x.bmp");
    EXPECT_EQ(TwoXPictureFile(L"C:\\T.v2\\skin\\Main\\Img"), L"C:\\T.v2\\skin\\Main\\Img@2x");

    constexpr std::int64_t kSecond = 10'000'000;
    const std::int64_t installed = 1000 * kSecond;
    EXPECT_TRUE(TwoXStandsFor(installed, installed));
    EXPECT_TRUE(TwoXStandsFor(installed, installed - kSecond));  // copied in the other order
    EXPECT_TRUE(TwoXStandsFor(std::nullopt, installed));
    EXPECT_FALSE(TwoXStandsFor(installed + 3600 * kSecond, installed));  // the user's own 1x
    EXPECT_FALSE(TwoXStandsFor(installed, std::nullopt));
}

}  // namespace
}  // namespace tavrine::ui
