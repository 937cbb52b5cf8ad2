// The suite on a screen set above 100 %: the system DPI is set in the prefix (LogPixels) for the
// programs started by this test and put back afterwards. The main window and its dialogs come at
// the layout's size times dpi / 96, the main window's capture is drawn anew rather than enlarged
// from its 96-DPI capture and shows no lime, a change clicked at scaled places reaches the mouse,
// and the display program's popup is composed at the scale. Run with TAVRINE_TEST_DPI set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <optional>
#include <vector>

#include "tests/e2e/E2eLayout.h"
#include "tests/e2e/E2eSupport.h"

namespace {

using namespace std::chrono_literals;
using namespace e2e::layout;
using e2e::Program;

int TestDpi() {
    const char* value = std::getenv("TAVRINE_TEST_DPI");
    return value ? std::atoi(value) : 0;
}

int Scaled(int layout, int dpi) { return MulDiv(layout, dpi, 96); }
POINT Scaled(POINT p, int dpi) { return {Scaled(p.x, dpi), Scaled(p.y, dpi)}; }

// The system DPI as Wine reads it for a process when it starts; put back as it was.
class SystemDpi {
  public:
    explicit SystemDpi(int dpi) {
        for (const Value& v : kValues) saved_.push_back(Read(v));
        for (const Value& v : kValues) Write(v, static_cast<DWORD>(dpi));
    }
    ~SystemDpi() {
        for (std::size_t i = 0; i < kValues.size(); ++i) {
            if (saved_[i]) {
                Write(kValues[i], *saved_[i]);
            } else {
                RegDeleteKeyValueW(kValues[i].root, kValues[i].key, L"LogPixels");
            }
        }
    }

  private:
    struct Value {
        HKEY root;
        const wchar_t* key;
    };
    static inline const std::vector<Value> kValues = {
        {HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
        {HKEY_LOCAL_MACHINE,
         L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}};
    static std::optional<DWORD> Read(const Value& v) {
        DWORD data = 0, size = sizeof data;
        if (RegGetValueW(v.root, v.key, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &data, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        return data;
    }
    static void Write(const Value& v, DWORD dpi) {
        RegSetKeyValueW(v.root, v.key, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
    std::vector<std::optional<DWORD>> saved_;
};

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;  // 0x00RRGGBB, top row first
    // Where the captured part lies in the window, and the window's size: a window larger than
    // the screen is captured where the screen shows it.
    int left = 0, top = 0, windowWidth = 0, windowHeight = 0;
    DWORD At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF;
    }
};

// The window's area as the screen shows it (grabbed through GDI, as the screenshots are).
Capture Grab(HWND window) {
    RECT w{};
    GetWindowRect(window, &w);
    const RECT screenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT r{};
    IntersectRect(&r, &w, &screenRect);
    Capture c{r.right - r.left, r.bottom - r.top, {}};
    c.left = r.left - w.left;
    c.top = r.top - w.top;
    c.windowWidth = w.right - w.left;
    c.windowHeight = w.bottom - w.top;
    c.pixels.resize(static_cast<std::size_t>(c.width) * c.height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, c.width, -c.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, c.width, c.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::memcpy(c.pixels.data(), bits, c.pixels.size() * sizeof(DWORD));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return c;
}

int Channel(DWORD p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }
bool Greenish(DWORD p) {
    const int r = Channel(p, 16), g = Channel(p, 8), b = Channel(p, 0);
    return g > r + 40 && g > b + 40;
}
int Luma(DWORD p) { return (2 * Channel(p, 16) + 5 * Channel(p, 8) + Channel(p, 0)) / 8; }

// Horizontal detail: the mean step between neighbouring pixels' brightness.
double Detail(const Capture& c) {
    double sum = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = 1; x < c.width; ++x) sum += std::abs(Luma(c.At(x, y)) - Luma(c.At(x - 1, y)));
    return sum / (static_cast<double>(c.width - 1) * c.height);
}

// The 96-DPI capture enlarged to the size of `like`, nearest neighbour or bilinear.
Capture Enlarged(const Capture& small, const Capture& like, bool smooth) {
    Capture out = like;
    const double fx = static_cast<double>(small.width) / like.windowWidth;
    const double fy = static_cast<double>(small.height) / like.windowHeight;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            DWORD p = 0;
            const int wx = x + like.left, wy = y + like.top;  // in the whole window
            if (!smooth) {
                p = small.At(std::min(small.width - 1, static_cast<int>(wx * fx)),
                             std::min(small.height - 1, static_cast<int>(wy * fy)));
            } else {
                const double sx = std::max(0.0, (wx + 0.5) * fx - 0.5),
                             sy = std::max(0.0, (wy + 0.5) * fy - 0.5);
                const int x0 = std::min(small.width - 1, static_cast<int>(sx)),
                          y0 = std::min(small.height - 1, static_cast<int>(sy));
                const int x1 = std::min(small.width - 1, x0 + 1),
                          y1 = std::min(small.height - 1, y0 + 1);
                const double ax = sx - x0, ay = sy - y0;
                for (int shift : {0, 8, 16}) {
                    const double v = (1 - ay) * ((1 - ax) * Channel(small.At(x0, y0), shift) +
                                                 ax * Channel(small.At(x1, y0), shift)) +
                                     ay * ((1 - ax) * Channel(small.At(x0, y1), shift) +
                                           ax * Channel(small.At(x1, y1), shift));
                    p |= static_cast<DWORD>(v + 0.5) << shift;
                }
            }
            out.pixels[static_cast<std::size_t>(y) * out.width + x] = p;
        }
    return out;
}

SIZE SizeOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

class DisplayScaleE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        dpi = TestDpi();
        if (dpi <= 96) GTEST_SKIP() << "TAVRINE_TEST_DPI (above 96) chooses the scale to test";
        if (!e2e::VirtualMouseBuilt())
            GTEST_SKIP() << "the virtual mouse is not part of this build";
        // From the factory state, whatever ran before: the 500 Hz click below must be a change.
        e2e::WriteInstallKey(e2e::BinFolder());
        e2e::DeleteUserSettings();
        ASSERT_EQ(e2e::FactoryMouse(), "");
    }
    int dpi = 96;
};

TEST_F(DisplayScaleE2e, WindowsScaleSharpReachTheMouseAndThePopupIsComposedAtTheScale) {
    // The main window at 96 DPI first, for comparison.
    Capture at96;
    {
        Program program;
        ASSERT_EQ(e2e::StartAttached(program), "");
        e2e::Settle();
        at96 = Grab(program.Main());
        program.Kill();
    }
    ASSERT_EQ(at96.width, 980);

    const SystemDpi scale(dpi);
    const std::wstring tag = L"dpi" + std::to_wstring(dpi) + L"-";
    Program program;
    ASSERT_EQ(e2e::StartAttached(program), "");
    HWND main = program.Main();
    const SIZE mainSize = SizeOf(main);
    EXPECT_EQ(mainSize.cx, Scaled(980, dpi));
    EXPECT_EQ(mainSize.cy, Scaled(750, dpi));
    e2e::Settle();
    EXPECT_TRUE(e2e::SaveScreenshot(tag + L"main"));
    const Capture scaled = Grab(main);

    // Drawn anew from the artwork made for the scale: not a nearest-neighbour enlargement of the
    // 96-DPI capture, with at least the detail a smooth enlargement of it has, and no lime blend.
    const Capture nearest = Enlarged(at96, scaled, false);
    std::size_t differ = 0, greenish = 0;
    for (std::size_t i = 0; i < scaled.pixels.size(); ++i) {
        const DWORD a = scaled.pixels[i] & 0xFFFFFF, b = nearest.pixels[i] & 0xFFFFFF;
        differ += std::abs(Channel(a, 16) - Channel(b, 16)) +
                      std::abs(Channel(a, 8) - Channel(b, 8)) +
                      std::abs(Channel(a, 0) - Channel(b, 0)) >
                  24;
        greenish += Greenish(a);
    }
    const double differShare =
        static_cast<double>(differ) / static_cast<double>(scaled.pixels.size());
    const double detail = Detail(scaled), smoothDetail = Detail(Enlarged(at96, scaled, true));
    std::printf(
        "dpi %d: %.1f %% of the pixels differ from the nearest-neighbour enlargement; detail "
        "%.3f against %.3f of a smooth enlargement; %zu lime-blended pixels\n",
        dpi, 100.0 * differShare, detail, smoothDetail, greenish);
    EXPECT_GT(differShare, 0.02);
    EXPECT_GE(detail, smoothDetail);
    EXPECT_EQ(greenish, 0u);

    // The dialogs this journey does not open exist hidden from the start, already at the scale.
    const struct {
        const wchar_t* className;
        int width, height;
    } hidden[] = {{L"TTKey", 281, 328},
                  {L"TNewMacroForm", 340, 166},
                  {L"TRepeatCount", 280, 123},
                  {L"TWarningForm1", 494, 172}};
    for (const auto& h : hidden) {
        HWND window = program.Window(h.className);
        ASSERT_NE(window, nullptr) << static_cast<const void*>(h.className);
        EXPECT_EQ(SizeOf(window).cx, Scaled(h.width, dpi)) << static_cast<const void*>(h.className);
        EXPECT_EQ(SizeOf(window).cy, Scaled(h.height, dpi))
            << static_cast<const void*>(h.className);
    }

    // Every dialog the main window opens at the scaled layout size, opened and closed by clicks
    // at scaled places.
    struct Dialog {
        POINT button;
        const wchar_t* className;
        int width, height;
        POINT close;
    };
    const Dialog dialogs[] = {
        {kLightButton, L"TLightOptionForm", 398, 638, kLightCancel},
        {kMacro, L"TMacroForm", 604, 475, kEditorCancel},
    };
    for (const Dialog& d : dialogs) {
        HWND window = program.OpenDialog(main, Scaled(d.button, dpi), d.className);
        ASSERT_NE(window, nullptr) << d.className;
        const SIZE size = SizeOf(window);
        EXPECT_EQ(size.cx, Scaled(d.width, dpi)) << d.className;
        EXPECT_EQ(size.cy, Scaled(d.height, dpi)) << d.className;
        e2e::Settle();
        EXPECT_TRUE(e2e::SaveScreenshot(tag + d.className));
        const POINT close = Scaled(d.close, dpi);
        Program::Click(window, close.x, close.y);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window); }, 5s)) << d.className;
    }
    // The single-key dialog, for the right button.
    const POINT right = Scaled(kRightArea, dpi), single = Scaled(kSingle, dpi);
    Program::Click(main, right.x, right.y);
    HWND sKey = program.OpenDialog(main, single, L"TSKey");
    ASSERT_NE(sKey, nullptr);
    EXPECT_EQ(SizeOf(sKey).cx, Scaled(283, dpi));
    EXPECT_EQ(SizeOf(sKey).cy, Scaled(188, dpi));
    e2e::Settle();
    EXPECT_TRUE(e2e::SaveScreenshot(tag + L"TSKey"));
    // Its command list drops down at the scale, from the arrow clicked at its scaled place.
    HWND panel = FindWindowExW(sKey, nullptr, L"TPanel", nullptr), list = program.Window(L"TPForm");
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(list, nullptr);
    const POINT arrow = Scaled(kSKeyArrow, dpi);
    Program::Click(panel, arrow.x, arrow.y);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(list) != FALSE; }, 5s));
    EXPECT_EQ(SizeOf(list).cx, Scaled(140, dpi));
    EXPECT_EQ(SizeOf(list).cy, Scaled(157, dpi));
    EXPECT_TRUE(Program::Sync(list));  // painted once the program answers
    EXPECT_TRUE(e2e::SaveScreenshot(tag + L"TPForm"));
    Program::Click(panel, arrow.x, arrow.y);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(list); }, 5s));
    const POINT sKeyCancel = Scaled(kSKeyCancel, dpi);
    Program::Click(sKey, sKeyCancel.x, sKeyCancel.y);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(sKey); }, 5s));

    // One change clicked at scaled places reaches the mouse: 500 Hz in the performance dialog.
    HWND perform = program.OpenDialog(main, Scaled(kPerformButton, dpi), L"TPerform1");
    ASSERT_NE(perform, nullptr);
    EXPECT_EQ(SizeOf(perform).cx, Scaled(603, dpi));
    EXPECT_EQ(SizeOf(perform).cy, Scaled(537, dpi));
    e2e::ClearTrace();
    const POINT hz500 = Scaled(kHz500, dpi);
    Program::Click(perform, hz500.x, hz500.y);
    const std::vector<std::uint8_t> lead{0x03, 0x01, 0xFF, 0x01, 0x01};
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            for (const auto& w : e2e::WritesIn(e2e::ReadTrace()))
                if (w.size() >= lead.size() && std::equal(lead.begin(), lead.end(), w.begin()))
                    return true;
            return false;
        },
        5s))
        << "500 Hz clicked at the scaled place did not reach the mouse";
    e2e::Settle();
    EXPECT_TRUE(e2e::SaveScreenshot(tag + L"TPerform1"));
    const POINT performCancel = Scaled(kPerformCancel, dpi);
    Program::Click(perform, performCancel.x, performCancel.y);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(perform); }, 5s));

    // The notice Apply brings on a profile with no left button, then, the left button given
    // its default, the progress animation of a write kept running by slow answers: both at the
    // scale.
    const POINT apply = Scaled(kApply, dpi);
    Program::Click(main, apply.x, apply.y);
    HWND notice = program.Window(L"TWarningForm2");
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(notice) != FALSE; }, 5s));
    EXPECT_EQ(SizeOf(notice).cx, Scaled(600, dpi));
    EXPECT_EQ(SizeOf(notice).cy, Scaled(172, dpi));
    EXPECT_TRUE(Program::Sync(notice));
    EXPECT_TRUE(e2e::SaveScreenshot(tag + L"TWarningForm2"));
    HWND noticeKeys = FindWindowExW(notice, nullptr, L"Edit", nullptr);
    ASSERT_NE(noticeKeys, nullptr);
    PostMessageW(noticeKeys, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(noticeKeys, WM_CHAR, VK_RETURN, 1);
    PostMessageW(noticeKeys, WM_KEYUP, VK_RETURN, 0xC0000001);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(notice); }, 5s));
    for (POINT p : {Scaled(kLeftArea, dpi), Scaled(kDefault, dpi)}) Program::Click(main, p.x, p.y);
    ASSERT_EQ(e2e::Vmouse(L"fault delay-ack 400"), 0);
    Program::Click(main, apply.x, apply.y);
    HWND loading = program.Window(L"TLoadingForm", L"LoadingForm");
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(loading) != FALSE; }, 5s));
    EXPECT_EQ(SizeOf(loading).cx, Scaled(200, dpi));
    EXPECT_EQ(SizeOf(loading).cy, Scaled(200, dpi));
    EXPECT_TRUE(e2e::SaveScreenshot(tag + L"TLoadingForm"));
    ASSERT_EQ(e2e::Vmouse(L"fault clear"), 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(loading); }, 40s)) << "the write ends";
    EXPECT_FALSE(IsWindowVisible(notice)) << "the write was refused";
    program.Kill();

    // The display program's polling popup, composed at the scale: the window is twice the
    // picture (the picture takes its top-left quarter), the picture 300 x 200 at 96 DPI.
    e2e::Started vistrel;
    ASSERT_TRUE(e2e::Start(vistrel, L"Vistrel.exe", L""));
    HWND listener = nullptr;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return (listener = FindWindowW(L"VISTREL", L"Vistrel")) != nullptr; }, 20s));
    PostMessageW(listener, 0x539, 0,
                 0);  // the configuration program's request: show the polling rate
    HWND popup = nullptr;
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            popup = FindWindowW(L"GDIPPOPWND", nullptr);
            return popup && IsWindowVisible(popup);
        },
        5s));
    if (popup) {
        EXPECT_EQ(SizeOf(popup).cx, 2 * Scaled(300, dpi));
        EXPECT_EQ(SizeOf(popup).cy, 2 * Scaled(200, dpi));
        e2e::Settle();
        EXPECT_TRUE(e2e::SaveScreenshot(tag + L"popup"));
    }
}

}  // namespace
