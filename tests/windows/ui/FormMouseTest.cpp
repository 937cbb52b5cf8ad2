// A skinned form driven by the real pointer: routing to windowless controls, disabled controls,
// dragging by the background picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/windows/ui/TestSupport.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/PaintBox.h"

namespace tavrine::ui {
namespace {

using test::MovePointer;

class TestForm : public Form {
  public:
    TestForm()
        : Form({.name = L"UiMouseTestForm",
                .caption = L"Mouse test",
                .clientWidth = 300,
                .clientHeight = 200,
                .left = 100,
                .top = 100}) {
        Img_main.SetPicture(test::MakeBitmap(300, 200, [](int, int) { return RGB(40, 40, 48); }));
        Img_main.SetDragsForm(true);
        for (Control* c : std::vector<Control*>{&Img_main, &Img_Ok, &Img_Off, &Lab_Title, &Area})
            Record(*c);
    }

    void Record(Control& c) {
        c.OnMouseEnter = [this](Control& s) { log.push_back(s.Name() + L" enter"); };
        c.OnMouseLeave = [this](Control& s) { log.push_back(s.Name() + L" leave"); };
        c.OnMouseDown = [this](Control& s, const MouseArgs& a) {
            log.push_back(s.Name() + L" down " + Button(a) + L" " + std::to_wstring(a.x) + L"," +
                          std::to_wstring(a.y));
        };
        c.OnMouseUp = [this](Control& s, const MouseArgs& a) {
            log.push_back(s.Name() + L" up " + Button(a));
        };
    }
    static std::wstring Button(const MouseArgs& a) {
        return a.button == MouseButton::Left ? L"L" : a.button == MouseButton::Right ? L"R" : L"M";
    }
    bool Saw(const std::wstring& entry) const {
        for (const auto& e : log)
            if (e == entry) return true;
        return false;
    }
    bool SawFrom(const std::wstring& name) const {
        for (const auto& e : log)
            if (e.rfind(name + L" ", 0) == 0) return true;
        return false;
    }

    Image Img_main{*this, L"Img_main", {0, 0, 300, 200}};
    Image Img_Ok{*this, L"Img_Ok", {20, 20, 60, 30}};
    Image Img_Off{*this, L"Img_Off", {100, 20, 60, 30}};
    Label Lab_Title{*this, L"Lab_Title", {20, 80, 100, 20}, L"Title"};
    PaintBox Area{*this, L"Area", {150, 80, 50, 50}};
    std::vector<std::wstring> log;
};

class FormMouse : public ::testing::Test {
  protected:
    void SetUp() override {
        MovePointer(5, 5);  // start outside the form
        form.Show();
        test::Pump(std::chrono::milliseconds(150));
        form.log.clear();
    }
    Point At(int x, int y) const { return form.ClientToScreen({x, y}); }
    void MoveTo(int x, int y) {
        const Point p = At(x, y);
        MovePointer(p.x, p.y);
    }
    TestForm form;
};

TEST_F(FormMouse, EnterDownUpLeaveReachTheControlUnderThePointer) {
    MoveTo(30, 30);
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Img_Ok enter"); }));
    EXPECT_EQ(form.HoveredControl(), &form.Img_Ok);
    test::PressLeft();
    test::ReleaseLeft();
    EXPECT_SOON(form.Saw(L"Img_Ok down L 10,10"));
    EXPECT_SOON(form.Saw(L"Img_Ok up L"));

    MoveTo(170, 100);  // the paint box, over the background
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Area enter"); }));
    EXPECT_TRUE(form.Saw(L"Img_Ok leave"));
    test::PressRight();
    test::ReleaseRight();
    EXPECT_SOON(form.Saw(L"Area down R 20,20"));
    EXPECT_SOON(form.Saw(L"Area up R"));

    MoveTo(30, 85);  // the label
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Lab_Title enter"); }));
    EXPECT_TRUE(form.Saw(L"Area leave"));
    // Entering the label from the paint box passed over the background picture or not, but the
    // background never heard a press.
    EXPECT_FALSE(form.Saw(L"Img_main down L 0,0"));

    MovePointer(2, 2);  // off the form
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Lab_Title leave"); }));
    EXPECT_EQ(form.HoveredControl(), nullptr);
}

// Moved to a monitor of twice the scale: the system's WM_DPICHANGED, as it sends it from the
// window's own thread, with the rectangle it suggests. Size, places and hit tests follow, and the
// handlers still see the layout's numbers.
TEST_F(FormMouse, AMoveToAMonitorOfAnotherScaleRescalesTheFormAndItsHitTests) {
    RECT suggested{150, 120, 150 + 600, 120 + 400};
    SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form.Scale().Dpi(), 192);
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(window.left, 150);
    EXPECT_EQ(window.top, 120);
    EXPECT_EQ(window.right - window.left, 600);
    EXPECT_EQ(window.bottom - window.top, 400);
    const Rect ok = form.Img_Ok.DeviceBounds();
    EXPECT_EQ(ok.left, 40);
    EXPECT_EQ(ok.top, 40);
    EXPECT_EQ(ok.width, 120);
    EXPECT_EQ(ok.height, 60);

    MoveTo(30, 30);  // layout units: ClientToScreen scales them to the device's
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Img_Ok enter"); }));
    test::PressLeft();
    test::ReleaseLeft();
    EXPECT_SOON(form.Saw(L"Img_Ok down L 10,10"));

    // Back on a 96-DPI monitor: the layout's size again.
    SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(window.right - window.left, 300);
    EXPECT_EQ(form.Img_Ok.DeviceBounds().width, 60);
}

TEST_F(FormMouse, ADisabledControlReceivesNothingAndTheBackgroundGetsThePress) {
    form.Img_Off.SetEnabled(false);
    MoveTo(120, 30);
    test::Pump();
    test::PressLeft();
    test::ReleaseLeft();
    MoveTo(30, 30);
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Img_Ok enter"); }));
    EXPECT_FALSE(form.SawFrom(L"Img_Off"));
    EXPECT_TRUE(form.Saw(L"Img_main down L 120,30"));

    // Enabled again, it is reached like any other.
    form.Img_Off.SetEnabled(true);
    MoveTo(125, 35);
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Img_Off enter"); }));
}

TEST_F(FormMouse, DraggingTheBackgroundMovesTheFormAndKeepsTheGrabPointUnderThePointer) {
    const Point before = form.Position();
    MoveTo(250, 150);
    test::PressLeft();
    const Point grabScreen = At(250, 150);
    const Point steps[] = {{40, 25}, {90, 60}, {-30, 10}};
    for (const Point s : steps) {
        MovePointer(grabScreen.x + s.x, grabScreen.y + s.y);
        ASSERT_TRUE(test::PumpUntil([&] {
            const Point p = form.Position();
            return p.x == before.x + s.x && p.y == before.y + s.y;
        })) << "step "
            << s.x << "," << s.y << " form at " << form.Position().x << "," << form.Position().y;
    }
    test::ReleaseLeft();
    EXPECT_SOON(!form.Dragging());
    const Point after = form.Position();
    // Once released, moving the pointer no longer moves the form.
    MovePointer(grabScreen.x + 5, grabScreen.y + 5);
    test::Pump();
    EXPECT_EQ(form.Position(), after);
    EXPECT_TRUE(form.Saw(L"Img_main down L 250,150"));
}

TEST_F(FormMouse, AHiddenFormForgetsThePointerAndAControlPressedThenLeftGetsItsRelease) {
    MoveTo(30, 30);
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Img_Ok enter"); }));
    test::PressLeft();
    MoveTo(250, 150);  // dragged off the button, still pressed
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Img_Ok leave"); }));
    test::ReleaseLeft();
    EXPECT_SOON(form.Saw(L"Img_Ok up L"));
    EXPECT_FALSE(form.SawFrom(L"Img_main down"));
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Img_main enter"); }));

    form.Hide();
    EXPECT_EQ(form.HoveredControl(), nullptr);
}

TEST_F(FormMouse, AFormHiddenByAPressHearsNothingMore) {
    form.Img_Ok.OnMouseDown = [this](Control&, const MouseArgs&) { form.Hide(); };
    MoveTo(30, 30);
    ASSERT_TRUE(test::PumpUntil([&] { return form.Saw(L"Img_Ok enter"); }));
    form.log.clear();
    test::PressLeft();
    test::ReleaseLeft();
    MovePointer(3, 3);
    test::Pump();
    EXPECT_TRUE(form.log.empty()) << std::string(form.log.front().begin(), form.log.front().end());
    EXPECT_NE(GetCapture(), form.Handle());
}

}  // namespace
}  // namespace tavrine::ui
