// The form as a window: see-through lime on the real screen, placement, show and hide events,
// enabling as a whole, hints, errors in handlers.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/windows/ui/TestSupport.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"

namespace tavrine::ui {
namespace {

constexpr COLORREF kBackdrop = RGB(30, 60, 220);
constexpr COLORREF kRed = RGB(220, 30, 30);
constexpr COLORREF kGrey = RGB(60, 60, 60);

// A plain blue window behind the form under test, so what shows through is known.
struct Backdrop : Form {
    Backdrop()
        : Form({.name = L"UiBackdrop",
                .caption = L"",
                .clientWidth = 400,
                .clientHeight = 300,
                .left = 350,
                .top = 250,
                .color = kBackdrop}) {}
};

struct SkinnedForm : Form {
    explicit SkinnedForm(Form* owner = nullptr, Placement placement = Placement::Designed)
        : Form({.name = L"UiSkinned",
                .caption = L"Skinned",
                .clientWidth = 200,
                .clientHeight = 120,
                .placement = placement,
                .left = 400,
                .top = 300,
                .owner = owner}) {
        // Lime corners 20 px square, red elsewhere.
        Img_back.SetPicture(test::MakeBitmap(200, 120, [](int x, int y) {
            const bool corner = (x < 20 || x >= 180) && (y < 20 || y >= 100);
            return corner ? kLime : kRed;
        }));
        // A keyed picture: its lime centre shows the picture below, not the window behind.
        Img_keyed.SetPicture(test::MakeBitmap(40, 40, [](int x, int y) {
            return (x > 10 && x < 30 && y > 10 && y < 30) ? kLime : kGrey;
        }));
        Img_plain.SetPicture(test::MakeBitmap(40, 40, [](int, int) { return kLime; }));
    }
    Image Img_back{*this, L"Img_back", {0, 0, 200, 120}};
    Image Img_keyed{*this, L"Img_keyed", {40, 40, 40, 40}, true};
    Image Img_plain{*this, L"Img_plain", {120, 40, 40, 40}};
};

bool Near(COLORREF a, COLORREF b) {
    auto d = [](int x, int y) { return x > y ? x - y : y - x; };
    return d(GetRValue(a), GetRValue(b)) < 12 && d(GetGValue(a), GetGValue(b)) < 12 &&
           d(GetBValue(a), GetBValue(b)) < 12;
}

std::string Hex(COLORREF c) {
    char s[16];
    snprintf(s, sizeof(s), "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return s;
}

TEST(FormWindow, LimePixelsAreSeeThroughOnTheScreen) {
    test::MovePointer(2, 2);
    Backdrop back;
    back.Show();
    test::Pump(std::chrono::milliseconds(100));
    SkinnedForm form;
    form.Show();
    test::Pump(std::chrono::milliseconds(300));

    auto at = [&](int x, int y) {
        const Point p = form.ClientToScreen({x, y});
        return test::ScreenPixel(p.x, p.y);
    };
    // Wait until the display has drawn the form at all.
    ASSERT_TRUE(test::PumpUntil([&] { return Near(at(100, 10), kRed); }))
        << "centre top shows " << Hex(at(100, 10));
    for (const Point corner : {Point{5, 5}, Point{195, 5}, Point{5, 115}, Point{195, 115}})
        EXPECT_TRUE(Near(at(corner.x, corner.y), kBackdrop))
            << corner.x << "," << corner.y << " shows " << Hex(at(corner.x, corner.y));
    EXPECT_TRUE(Near(at(25, 25), kRed));
    EXPECT_TRUE(Near(at(60, 60), kRed)) << "keyed centre shows " << Hex(at(60, 60));
    EXPECT_TRUE(Near(at(45, 45), kGrey));
    EXPECT_TRUE(Near(at(140, 60), kBackdrop)) << "plain lime shows " << Hex(at(140, 60));
}

TEST(FormWindow, ClassCaptionPlacementAndShowHideEvents) {
    Backdrop owner;
    owner.Show();
    SkinnedForm form(&owner, Placement::OwnerCenter);
    EXPECT_EQ(FindWindowW(L"TUiSkinned", L"Skinned"), form.Handle());
    EXPECT_TRUE(GetWindowLongW(form.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);

    int shown = 0;
    int hidden = 0;
    form.OnShow = [&](Form&) { ++shown; };
    form.OnHide = [&](Form&) { ++hidden; };
    owner.SetPosition({100, 80});
    form.Show();
    // Centred on the owner: (100 + (400 - 200) / 2, 80 + (300 - 120) / 2).
    EXPECT_EQ(form.Position(), (Point{200, 170}));
    EXPECT_TRUE(form.Visible());
    form.Show();  // already shown: no second event
    form.Hide();
    form.Hide();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(hidden, 1);
    EXPECT_FALSE(form.Visible());

    form.SetTopmost(true);
    EXPECT_TRUE(GetWindowLongW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(FormWindow, ADisabledFormHearsNoPointerAndAnEnabledOneDoes) {
    SkinnedForm form;
    int downs = 0;
    form.Img_back.OnMouseDown = [&](Control&, const MouseArgs&) { ++downs; };
    form.Show();
    form.SetEnabled(false);
    EXPECT_FALSE(form.Enabled());
    const Point p = form.ClientToScreen({100, 100});
    test::MovePointer(p.x, p.y);
    test::PressLeft();
    test::ReleaseLeft();
    EXPECT_EQ(downs, 0);
    form.SetEnabled(true);
    test::MovePointer(p.x + 1, p.y);
    test::PressLeft();
    test::ReleaseLeft();
    EXPECT_SOON(downs == 1);
}

TEST(FormWindow, AHintFollowsTheHoveredPicture) {
    SkinnedForm form;
    form.Img_keyed.SetHint(L"Keyed");
    form.Show();
    const Point p = form.ClientToScreen({50, 50});
    test::MovePointer(p.x, p.y);
    ASSERT_TRUE(test::PumpUntil([&] { return form.HoveredControl() == &form.Img_keyed; }));
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = form.Handle();
    ti.uId = 1;
    wchar_t text[80] = {};
    ti.lpszText = text;
    ASSERT_TRUE(
        SendMessageW(form.HintWindow(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(ti.rect.left, 40);
    EXPECT_EQ(ti.rect.bottom, 80);
    SendMessageW(form.HintWindow(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"Keyed");

    // Changing the hint under the pointer shows the new text.
    form.Img_keyed.SetHint(L"Other");
    SendMessageW(form.HintWindow(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"Other");
}

TEST(FormWindow, AnExceptionInAHandlerIsReportedAndTheFormGoesOn) {
    std::wstring reported;
    SetErrorReporter([&](const std::wstring& m) { reported = m; });
    SkinnedForm form;
    int downs = 0;
    form.Img_back.OnMouseDown = [&](Control&, const MouseArgs&) {
        if (++downs == 1) throw std::runtime_error("Picture broke");
    };
    form.Show();
    const Point p = form.ClientToScreen({100, 100});
    test::MovePointer(p.x, p.y);
    test::PressLeft();
    test::ReleaseLeft();
    EXPECT_SOON(reported == L"Picture broke.");
    test::PressLeft();
    test::ReleaseLeft();
    EXPECT_SOON(downs == 2);
    SetErrorReporter(nullptr);
}

}  // namespace
}  // namespace tavrine::ui
