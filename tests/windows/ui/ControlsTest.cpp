// Child-window controls and timers.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/windows/ui/TestSupport.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/ImageList.h"
#include "ui/ListBox.h"
#include "ui/ListView.h"
#include "ui/Panel.h"
#include "ui/Timer.h"

namespace tavrine::ui {
namespace {

constexpr COLORREF kDarkGrey = RGB(0x33, 0x33, 0x33);

struct ControlsForm : Form {
    ControlsForm()
        : Form({.name = L"UiControls",
                .caption = L"Controls",
                .clientWidth = 400,
                .clientHeight = 300,
                .left = 200,
                .top = 150,
                .color = RGB(90, 90, 90)}) {}
    Panel Panel1{*this, L"Panel1", {48, 91, 137, 22}, {.color = kDarkGrey}};
    Image Img_m{Panel1, L"Img_m", {116, 5, 17, 15}, true};
    Edit SingleKeyName{
        Panel1, L"SingleKeyName", {2, 2, 100, 18}, {.font = {.color = kWhite}, .color = kDarkGrey}};
    Edit Time1{*this, L"Time1", {250, 20, 48, 21}, {.maxLength = 4, .digitsOnly = true}, L"0"};
    ListBox ListBox1{*this,
                     L"ListBox1",
                     {20, 140, 135, 150},
                     {.font = {.color = kWhite}, .color = RGB(0x80, 0x80, 0x80)}};
    ListView MacroList{*this,
                       L"MacroList",
                       {180, 140, 200, 150},
                       {.firstColumnWidth = 100, .secondColumnWidth = 100}};
};

class Controls : public ::testing::Test {
  protected:
    void SetUp() override {
        test::MovePointer(2, 2);
        form.Show();
        test::Pump(std::chrono::milliseconds(100));
    }
    void Key(Edit& e, UINT vk, wchar_t ch = 0) {
        // Sent, not posted: a posted key-down would be translated into a second character.
        SendMessageW(e.Handle(), WM_KEYDOWN, vk, 1);
        if (ch) SendMessageW(e.Handle(), WM_CHAR, ch, 1);
    }
    void ClickAt(const WindowedControl& c, int x, int y) {
        POINT p{x, y};
        ClientToScreen(c.Handle(), &p);
        test::MovePointer(p.x, p.y);
        test::PressLeft();
        test::ReleaseLeft();
    }
    ControlsForm form;
};

TEST_F(Controls, EditReportsEnterAndEscapeAndKeepsToDigitsAndItsLength) {
    int enters = 0;
    int escapes = 0;
    form.Time1.OnEnterKey = [&](Edit&) { ++enters; };
    form.Time1.OnEscapeKey = [&](Edit&) { ++escapes; };
    form.Time1.SetText(L"");
    Key(form.Time1, '1', L'1');
    Key(form.Time1, 'A', L'a');
    Key(form.Time1, VK_OEM_MINUS, L'-');
    for (wchar_t c : std::wstring(L"2345")) Key(form.Time1, c, c);
    EXPECT_EQ(form.Time1.Text(), L"1234");
    Key(form.Time1, VK_RETURN, L'\r');
    Key(form.Time1, VK_ESCAPE, 0x1B);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(escapes, 1);
    EXPECT_EQ(form.Time1.Text(), L"1234");  // neither key changed the text
}

TEST_F(Controls, EditInAPanelShowsItsColoursAndThePanelItsLoweredBevel) {
    auto pixel = [](HWND w, int x, int y) {
        POINT p{x, y};
        ClientToScreen(w, &p);
        return test::ScreenPixel(p.x, p.y);
    };
    form.SingleKeyName.SetText(L"");
    ASSERT_TRUE(test::PumpUntil([&] {
        return pixel(form.SingleKeyName.Handle(), 50, 9) == kDarkGrey;
    })) << std::hex
        << pixel(form.SingleKeyName.Handle(), 50, 9);
    EXPECT_EQ(pixel(form.Panel1.Handle(), 5, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixel(form.Panel1.Handle(), 5, 21), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(form.Panel1.Handle(), 110, 10), kDarkGrey);
}

TEST_F(Controls, APictureInsideAPanelIsRoutedInThePanelsSpace) {
    int enters = 0;
    MouseArgs down;
    form.Img_m.OnMouseEnter = [&](Control&) { ++enters; };
    form.Img_m.OnMouseDown = [&](Control&, const MouseArgs& a) { down = a; };
    EXPECT_EQ(form.Find(L"Img_m"), &form.Img_m);  // the form finds names inside panels
    ClickAt(form.Panel1, 120, 8);
    EXPECT_SOON(down.x == 4);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(down.x, 4);
    EXPECT_EQ(down.y, 3);
}

TEST_F(Controls, ListBoxTellsWhichItemWasClicked) {
    form.ListBox1.SetItems({L"Left Button", L"Right Button", L"Click"});
    std::vector<std::wstring> picked;
    form.ListBox1.OnClick = [&](ListBox& l) { picked.push_back(l.Item(l.ItemIndex())); };
    const int itemHeight =
        static_cast<int>(SendMessageW(form.ListBox1.Handle(), LB_GETITEMHEIGHT, 0, 0));
    ClickAt(form.ListBox1, 20, itemHeight * 2 + itemHeight / 2);
    EXPECT_SOON(!picked.empty());
    ASSERT_EQ(picked, (std::vector<std::wstring>{L"Click"}));
    // The pop-up list is picked from again and again: the same item clicked twice counts twice.
    ClickAt(form.ListBox1, 25, itemHeight * 2 + itemHeight / 2);
    EXPECT_SOON(picked.size() == 2u);
    EXPECT_EQ(form.ListBox1.Count(), 3);

    // Language texts rebuild the list only when its first number is there.
    EXPECT_FALSE(ApplyLanguageEntries(form.ListBox1, PopupListTexts(), [](int n) {
        return n == 61 ? std::optional<std::wstring>(L"Klick") : std::nullopt;
    }));
    EXPECT_EQ(form.ListBox1.Count(), 3);
    EXPECT_TRUE(ApplyLanguageEntries(form.ListBox1, PopupListTexts(), [](int n) {
        if (n == 85) return std::optional<std::wstring>(L"Links");
        return n == 61 ? std::optional<std::wstring>(L"Klick") : std::nullopt;
    }));
    EXPECT_EQ(form.ListBox1.Items(), (std::vector<std::wstring>{L"Links", L"Klick"}));
    form.ListBox1.Clear();
    EXPECT_EQ(form.ListBox1.ItemIndex(), -1);
    EXPECT_EQ(form.ListBox1.Item(0), L"");
}

// A release anywhere over the list is reported, also where nothing is picked: on empty space
// below the items and on the scroll bar.
TEST_F(Controls, ListBoxReportsEveryReleaseOverIt) {
    std::vector<std::wstring> items(3, L"Macro");
    form.ListBox1.SetItems(items);
    int picks = 0, releases = 0;
    form.ListBox1.OnClick = [&](ListBox&) { ++picks; };
    form.ListBox1.OnMouseUp = [&](ListBox&) { ++releases; };
    const int itemHeight =
        static_cast<int>(SendMessageW(form.ListBox1.Handle(), LB_GETITEMHEIGHT, 0, 0));
    ClickAt(form.ListBox1, 20, itemHeight / 2);
    EXPECT_SOON(releases == 1);
    EXPECT_EQ(picks, 1);
    ClickAt(form.ListBox1, 20, itemHeight * 3 + 20);  // below the last item
    EXPECT_SOON(releases == 2);

    form.ListBox1.SetItems(std::vector<std::wstring>(40, L"Macro"));
    test::Pump(std::chrono::milliseconds(50));
    const int picksBefore = picks;
    RECT client{};
    GetClientRect(form.ListBox1.Handle(), &client);
    ASSERT_LT(client.right, 135) << "forty items show a scroll bar";
    // The scroll bar tracks the press in a loop of its own until the release: both go in
    // together, as a real click has its release queued behind the press.
    POINT bar{client.right + 5, 75};
    ClientToScreen(form.ListBox1.Handle(), &bar);
    test::MovePointer(bar.x, bar.y);
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    EXPECT_SOON(releases == 3);
    EXPECT_GT(SendMessageW(form.ListBox1.Handle(), LB_GETTOPINDEX, 0, 0), 0) << "it scrolled";
    EXPECT_EQ(picks, picksBefore) << "scrolling picks nothing";
}

TEST_F(Controls, AChildWindowShowsItsHint) {
    form.Time1.SetHint(L"Adjust Delay Time");
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = form.Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(form.Time1.Handle());
    wchar_t text[80] = {};
    ti.lpszText = text;
    ASSERT_TRUE(
        SendMessageW(form.HintWindow(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_STREQ(text, L"Adjust Delay Time");
    form.Time1.SetHint(L"");
    EXPECT_FALSE(
        SendMessageW(form.HintWindow(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)));
}

// The colour of the middle of picture `index` of a list view's small pictures, and their size.
struct SmallPicture {
    int width = 0, height = 0, count = 0;
    COLORREF middle = CLR_INVALID;
};
SmallPicture SmallPictureOf(const ListView& list, int index) {
    SmallPicture p;
    HIMAGELIST images = ListView_GetImageList(list.Handle(), LVSIL_SMALL);
    if (!images || !ImageList_GetIconSize(images, &p.width, &p.height)) return p;
    p.count = ImageList_GetImageCount(images);
    // Drawn into a bitmap of its own: the list keeps its pictures selected into its own DC.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, p.width, p.height);
    HGDIOBJ old = SelectObject(memory, canvas);
    if (ImageList_Draw(images, index, memory, 0, 0, ILD_NORMAL))
        p.middle = GetPixel(memory, p.width / 2, p.height / 2);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return p;
}

TEST_F(Controls, ListViewSelectsWholeRowsAndKeepsTwoColumns) {
    form.MacroList.SetSmallImageStrip(L"TEST_STRIP", 2, 16, 16);
    form.MacroList.AddItem(L"A  press", L"0", 0);
    form.MacroList.AddItem(L"A  release", L"120", 0);
    form.MacroList.InsertItem(1, L"Delay", L"50");
    ASSERT_EQ(form.MacroList.Count(), 3);
    EXPECT_EQ(form.MacroList.ItemText(1, 0), L"Delay");
    EXPECT_EQ(form.MacroList.ItemText(2, 1), L"120");
    EXPECT_EQ(form.MacroList.ItemImage(2), 0);

    int selections = 0;
    form.MacroList.OnSelectItem = [&](ListView&) { ++selections; };
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageW(form.MacroList.Handle(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    // A click in the second column still selects the row.
    ClickAt(form.MacroList, 150, (row.top + row.bottom) / 2);
    EXPECT_SOON(form.MacroList.SelectedIndex() == 2);
    EXPECT_EQ(selections, 1);

    form.MacroList.DeleteItem(0);
    EXPECT_EQ(form.MacroList.ItemText(0, 0), L"Delay");
    form.MacroList.Select(-1);
    EXPECT_EQ(form.MacroList.SelectedIndex(), -1);

    // The row pictures follow the scale: the 1x strip at 96 DPI, its 2x copy as it is at 192
    // and resized at 144 (its shades tell it from the 1x one enlarged), picture by picture.
    struct Expected {
        int dpi, size;
        COLORREF first, second;
    };
    for (const Expected e : {Expected{96, 16, RGB(200, 0, 0), RGB(0, 0, 200)},
                             Expected{192, 32, RGB(120, 0, 0), RGB(0, 0, 120)},
                             Expected{144, 24, RGB(120, 0, 0), RGB(0, 0, 120)},
                             Expected{96, 16, RGB(200, 0, 0), RGB(0, 0, 200)}}) {
        if (form.Scale().Dpi() != e.dpi)
            SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(e.dpi, e.dpi), 0);
        const SmallPicture first = SmallPictureOf(form.MacroList, 0);
        EXPECT_EQ(first.width, e.size) << e.dpi;
        EXPECT_EQ(first.height, e.size) << e.dpi;
        EXPECT_EQ(first.count, 2) << e.dpi;
        EXPECT_EQ(first.middle, e.first) << e.dpi;
        EXPECT_EQ(SmallPictureOf(form.MacroList, 1).middle, e.second) << e.dpi;
    }
}

TEST_F(Controls, TimersFireOnceAndRestartWhenStartedAgain) {
    Timer once(form, L"rewritetimer1", 20);
    int fired = 0;
    once.OnTimer = [&](Timer& t) {
        EXPECT_FALSE(t.Enabled());  // off before the handler runs
        ++fired;
    };
    once.Start();
    test::Pump(std::chrono::milliseconds(200));
    EXPECT_EQ(fired, 1);

    // A handler that starts its own timer again gets another round.
    Timer again(form, L"DelayDoFuncTime", 10);
    int rounds = 0;
    again.OnTimer = [&](Timer& t) {
        if (++rounds < 3) t.Start();
    };
    again.Start();
    ASSERT_TRUE(test::PumpUntil([&] { return rounds == 3; }));

    // Stopped before its time: never fires; enabled at creation: fires without Start.
    Timer stopped(form, L"ShowLightTimer", 30);
    stopped.OnTimer = [&](Timer&) { ADD_FAILURE() << "a stopped timer fired"; };
    stopped.Start();
    stopped.Stop();
    Timer atStart(form, L"DeviceAttachTimer", 20, true);
    int attach = 0;
    atStart.OnTimer = [&](Timer&) { ++attach; };
    test::Pump(std::chrono::milliseconds(150));
    EXPECT_EQ(attach, 1);
}

}  // namespace
}  // namespace tavrine::ui
