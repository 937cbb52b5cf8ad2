// Composition from PNG files written by the test, and raw-input packets read within their sizes.
#include "osd/PictureComposer_win.h"
#include "osd/RawInput_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace vistrel {
namespace {

class Composer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { gdiplus_ = new GdiplusSession; }
    static void TearDownTestSuite() { delete gdiplus_; }

    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"vistrel-composer\\";
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // A PNG of one colour (straight alpha).
    void WritePng(const std::wstring& file, int width, int height, Gdiplus::Color color) {
        Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics graphics(&bitmap);
            graphics.Clear(color);
        }
        const CLSID png = {
            0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
        ASSERT_EQ(bitmap.Save((folder_ + file).c_str(), &png, nullptr), Gdiplus::Ok);
    }

    static GdiplusSession* gdiplus_;
    std::wstring folder_;
};
GdiplusSession* Composer::gdiplus_ = nullptr;

// Premultiplied B, G, R, A.
void ExpectPixel(const ComposedPicture& picture, int x, int y, BYTE b, BYTE g, BYTE r, BYTE a) {
    const BYTE* p = picture.Pixel(x, y);
    EXPECT_NEAR(p[0], b, 2) << "blue at " << x << "," << y;
    EXPECT_NEAR(p[1], g, 2) << "green at " << x << "," << y;
    EXPECT_NEAR(p[2], r, 2) << "red at " << x << "," << y;
    EXPECT_NEAR(p[3], a, 2) << "alpha at " << x << "," << y;
}

TEST_F(Composer, DpiPictureFromItsFilesAtTheirPlacesAndSizesInTheTopLeftQuarter) {
    WritePng(L"lv-bg.png", 300, 150, Gdiplus::Color(128, 0, 0, 255));  // half see-through blue
    WritePng(L"nuw1.png", 60, 60, Gdiplus::Color(255, 255, 0, 0));     // red
    WritePng(L"nuw4.png", 60, 60, Gdiplus::Color(255, 0, 255, 0));     // green
    // nuw0.png is missing: those digits are left out, the rest is drawn.
    DisplayState state;
    state.levelIndex = 0;
    state.dpi = 400;
    const auto composed = ComposePicture(PictureFor(PopupKind::Dpi, state), folder_);
    ASSERT_TRUE(composed);
    EXPECT_EQ(composed->width, 300);
    EXPECT_EQ(composed->height, 150);
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(composed->bitmap.get(), sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 600);
    EXPECT_EQ(info.bmHeight, 300);
    EXPECT_EQ(info.bmBitsPixel, 32);

    ExpectPixel(*composed, 2, 2, 128, 0, 0, 128);      // background, premultiplied
    ExpectPixel(*composed, 297, 147, 128, 0, 0, 128);  // its far corner
    ExpectPixel(*composed, 222, 32, 0, 0, 255, 255);   // level mark: digit 1 at 210,20, 24 px
    ExpectPixel(*composed, 238, 32, 128, 0, 0, 128);   // just right of the mark
    ExpectPixel(*composed, 125, 100, 0, 255, 0, 255);  // digit 4 at 95,70, 60 px
    ExpectPixel(*composed, 96, 71, 0, 255, 0, 255);
    ExpectPixel(*composed, 185, 100, 128, 0, 0, 128);  // missing digit 0: background
    ExpectPixel(*composed, 300, 0, 0, 0, 0, 0);        // outside the picture: see-through
    ExpectPixel(*composed, 0, 150, 0, 0, 0, 0);
    ExpectPixel(*composed, 599, 299, 0, 0, 0, 0);
}

TEST_F(Composer, NothingWithoutItsBackgroundOrFile) {
    DisplayState state;
    state.pollingHz = 500;
    EXPECT_FALSE(ComposePicture(PictureFor(PopupKind::Polling, state), folder_));
    state.profile = 9;
    EXPECT_FALSE(ComposePicture(PictureFor(PopupKind::Profile, state), folder_));
    EXPECT_FALSE(ComposePicture(PictureFor(PopupKind::None, state), folder_));

    WritePng(L"web_back.png", 40, 20, Gdiplus::Color(255, 10, 20, 30));
    const auto back = ComposePicture(PictureFor(PopupKind::WebBack, state), folder_);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 40);
    ExpectPixel(*back, 39, 19, 30, 20, 10, 255);
    ExpectPixel(*back, 40, 19, 0, 0, 0, 0);
    // A folder too long for the name buffer loads nothing rather than a cut-off name.
    EXPECT_FALSE(ComposePicture(PictureFor(PopupKind::WebBack, state),
                                folder_ + std::wstring(500, L'x') + L"\\"));
}

// A raw-input packet as the system hands it over, with its stated sizes.
std::vector<BYTE> Packet(DWORD type, DWORD reportSize, DWORD count, std::vector<BYTE> data) {
    std::vector<BYTE> packet(offsetof(RAWINPUT, data.hid.bRawData) + data.size());
    RAWINPUTHEADER header{};
    header.dwType = type;
    header.dwSize = static_cast<DWORD>(packet.size());
    std::memcpy(packet.data(), &header, sizeof header);
    std::memcpy(packet.data() + offsetof(RAWINPUT, data.hid.dwSizeHid), &reportSize, 4);
    std::memcpy(packet.data() + offsetof(RAWINPUT, data.hid.dwCount), &count, 4);
    std::memcpy(packet.data() + offsetof(RAWINPUT, data.hid.bRawData), data.data(), data.size());
    return packet;
}

TEST(RawInputPacket, ReportsAreReadOnlyWithinThePacket) {
    auto report = FirstHidReport(Packet(RIM_TYPEHID, 8, 1, {2, 1, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(report.size(), 8u);
    EXPECT_EQ(report[1], 1);
    // Two reports: the first is taken.
    report = FirstHidReport(Packet(RIM_TYPEHID, 2, 2, {2, 4, 2, 8}));
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(report[1], 4);
    // A report of one byte is just one byte, too short for an event.
    EXPECT_EQ(FirstHidReport(Packet(RIM_TYPEHID, 1, 1, {2})).size(), 1u);
    // A stated size past the bytes actually there, no report, another type, a cut header.
    EXPECT_TRUE(FirstHidReport(Packet(RIM_TYPEHID, 64, 1, {2, 1})).empty());
    EXPECT_TRUE(FirstHidReport(Packet(RIM_TYPEHID, 2, 0, {2, 1})).empty());
    EXPECT_TRUE(FirstHidReport(Packet(RIM_TYPEKEYBOARD, 2, 1, {2, 1})).empty());
    auto cut = Packet(RIM_TYPEHID, 2, 1, {2, 1});
    cut.resize(sizeof(RAWINPUTHEADER) + 4);
    EXPECT_TRUE(FirstHidReport(cut).empty());
    EXPECT_FALSE(PacketHeader(std::span<const BYTE>(cut.data(), 3)));

    std::vector<BYTE> mouse(sizeof(RAWINPUT));
    RAWINPUT input{};
    input.header.dwType = RIM_TYPEMOUSE;
    input.data.mouse.usButtonFlags = RI_MOUSE_BUTTON_5_UP;
    std::memcpy(mouse.data(), &input, sizeof input);
    EXPECT_EQ(MouseButtonFlags(mouse), RI_MOUSE_BUTTON_5_UP);
    EXPECT_FALSE(MouseButtonFlags(std::span<const BYTE>(mouse.data(), sizeof(RAWINPUTHEADER))));
    EXPECT_FALSE(MouseButtonFlags(Packet(RIM_TYPEHID, 2, 1, {2, 1})));
}

}  // namespace
}  // namespace vistrel
