// The pictures' files, places and sizes, and the popup's place on the screen.
#include "osd/core/PopupPicture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vistrel {
namespace {

// "file@left,top,size" per layer, the background as its file alone.
std::wstring Describe(const Picture& picture) {
    std::wostringstream out;
    for (const auto& layer : picture.layers) {
        if (out.tellp() > 0) out << L' ';
        out << layer.file;
        if (layer.width != 0) {
            out << L'@' << layer.left << L',' << layer.top << L',' << layer.width;
            if (layer.height != layer.width) out << L'x' << layer.height;
        }
    }
    return out.str();
}

DisplayState Dpi(int levelIndex, int dpi) {
    DisplayState state;
    state.levelIndex = levelIndex;
    state.dpi = dpi;
    return state;
}
DisplayState Polling(int hz) {
    DisplayState state;
    state.pollingHz = hz;
    return state;
}

TEST(PopupPicture, DpiDigitsAndLevelMarkFollowTheLeadingZeroRules) {
    const auto dpi = [](int level, int value) {
        return Describe(PictureFor(PopupKind::Dpi, Dpi(level, value)));
    };
    EXPECT_EQ(dpi(0, 400),
              L"lv-bg.png nuw1.png@210,20,24 nuw4.png@95,70,60 nuw0.png@155,70,60 "
              L"nuw0.png@215,70,60");
    EXPECT_EQ(dpi(3, 3500),
              L"lv-bg.png nuw4.png@210,20,24 nuw3.png@35,70,60 nuw5.png@95,70,60 "
              L"nuw0.png@155,70,60 nuw0.png@215,70,60");
    EXPECT_EQ(dpi(0, 0), L"lv-bg.png nuw1.png@210,20,24 nuw0.png@215,70,60");
    // Thousands zero but hundreds not, and a zero inside the number.
    EXPECT_EQ(dpi(1, 1005),
              L"lv-bg.png nuw2.png@210,20,24 nuw1.png@35,70,60 nuw0.png@95,70,60 "
              L"nuw0.png@155,70,60 nuw5.png@215,70,60");
    EXPECT_EQ(dpi(2, 50), L"lv-bg.png nuw3.png@210,20,24 nuw5.png@155,70,60 nuw0.png@215,70,60");
    // No level mark outside 1..4; the digits are still drawn.
    EXPECT_EQ(dpi(4, 100), L"lv-bg.png nuw1.png@95,70,60 nuw0.png@155,70,60 nuw0.png@215,70,60");
    EXPECT_EQ(dpi(255, 7), L"lv-bg.png nuw7.png@215,70,60");
    // 25500 DPI (byte 255) has no thousands digit file: that digit is left out, not misnamed.
    const Picture big = PictureFor(PopupKind::Dpi, Dpi(0, 25500));
    ASSERT_EQ(big.layers.size(), 6u);
    EXPECT_EQ(big.layers[2].file, L"");
    EXPECT_EQ(big.layers[3].file, L"nuw5.png");
}

TEST(PopupPicture, PollingDigitsStandOnTheirOwnRow) {
    const auto poll = [](int hz) { return Describe(PictureFor(PopupKind::Polling, Polling(hz))); };
    EXPECT_EQ(poll(1000),
              L"poll.png nu1.png@20,130,48 nu0.png@68,130,48 nu0.png@116,130,48 "
              L"nu0.png@164,130,48");
    EXPECT_EQ(poll(500), L"poll.png nu5.png@68,130,48 nu0.png@116,130,48 nu0.png@164,130,48");
    EXPECT_EQ(poll(125), L"poll.png nu1.png@68,130,48 nu2.png@116,130,48 nu5.png@164,130,48");
}

TEST(PopupPicture, SingleFilePicturesAndNothingToDraw) {
    DisplayState state;
    for (int p = 1; p <= 5; ++p) {
        state.profile = p;
        EXPECT_EQ(Describe(PictureFor(PopupKind::Profile, state)),
                  L"profile" + std::to_wstring(p) + L".png");
    }
    for (int p : {0, 6, -1, 255}) {
        state.profile = p;
        EXPECT_TRUE(PictureFor(PopupKind::Profile, state).layers.empty()) << p;
    }
    state.lock = 0;
    EXPECT_EQ(Describe(PictureFor(PopupKind::Lock, state)), L"unlock.png");
    state.lock = 7;
    EXPECT_EQ(Describe(PictureFor(PopupKind::Lock, state)), L"lock.png");
    EXPECT_EQ(Describe(PictureFor(PopupKind::WebBack, state)), L"web_back.png");
    EXPECT_EQ(Describe(PictureFor(PopupKind::WebForward, state)), L"web_forward.png");
    EXPECT_TRUE(PictureFor(PopupKind::None, state).layers.empty());
    EXPECT_TRUE(PictureFor(static_cast<PopupKind>(9), state).layers.empty());
}

TEST(PopupPicture, PlaceIsCentredInTheWorkAreaWhereverItsTaskBarIs) {
    // Task bar at the bottom: the work area starts at 0, 0.
    ScreenPoint at = PopupPlace({0, 0, 1024, 738}, 300, 150);
    EXPECT_EQ(at.x, 362);
    EXPECT_EQ(at.y, 738 - 150 - 32);
    // Task bar on the left, 60 px: centred in what is left, not over the task bar.
    at = PopupPlace({60, 0, 1024, 768}, 300, 150);
    EXPECT_EQ(at.x, 60 + 332);
    EXPECT_EQ(at.y, 768 - 150 - 32);
    // Task bar at the top, 40 px: still 32 px above the bottom.
    at = PopupPlace({0, 40, 1024, 768}, 300, 200);
    EXPECT_EQ(at.x, 362);
    EXPECT_EQ(at.y, 768 - 200 - 32);
    // A work area on a second monitor left of the first; odd width truncates toward zero.
    at = PopupPlace({-1280, -100, -1, 924}, 300, 150);
    EXPECT_EQ(at.x, -1280 + (1279 - 300) / 2);
    EXPECT_EQ(at.y, 924 - 150 - 32);
    // On a monitor above 100 %: the gap grows with the scale (the picture's size already has).
    EXPECT_EQ(PopupPlace({0, 0, 2048, 1476}, 600, 300, 192).y, 1476 - 300 - 64);
    EXPECT_EQ(PopupPlace({0, 0, 1536, 1107}, 450, 225, 144).y, 1107 - 225 - 48);
    EXPECT_EQ(PopupPlace({0, 0, 1280, 922}, 375, 188, 120).y, 922 - 188 - 40);

    const ScreenPoint first = InitialPopupPlace({60, 40, 1024, 768});
    EXPECT_EQ(first.x, 60 + 482 - 64);
    EXPECT_EQ(first.y, 768 - 158);
}

TEST(PopupPicture, ImageFolderIsAppPathAndABackslashOrNothing) {
    EXPECT_EQ(ImageFolderFrom(std::wstring(L"C:\\Program Files\\Tavrine")),
              L"C:\\Program Files\\Tavrine\\");
    EXPECT_EQ(ImageFolderFrom(std::nullopt), L"");
}

}  // namespace
}  // namespace vistrel
