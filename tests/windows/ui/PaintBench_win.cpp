// Figures for the toolkit on a window of the main window's size: full and partial repaints,
// a hover picture load, and routing one pointer move. Prints, asserts nothing.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "tests/windows/ui/TestSupport.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/MouseRouter.h"

using namespace tavrine::ui;
using Clock = std::chrono::steady_clock;

namespace {

template <typename Fn>
double MicrosecondsPer(int rounds, Fn&& fn) {
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) fn(i);
    const auto us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    return us / rounds;
}

}  // namespace

int main() {
    Form form({.name = L"UiPaintBench",
               .caption = L"bench",
               .clientWidth = 980,
               .clientHeight = 750,
               .left = 0,
               .top = 0});
    Image back(form, L"Img_main", {0, 0, 980, 750});
    back.SetPicture(
        test::MakeBitmap(980, 750, [](int x, int y) { return RGB(x % 256, y % 256, 60); }));
    std::vector<std::unique_ptr<Image>> buttons;
    for (int i = 0; i < 40; ++i) {
        auto b = std::make_unique<Image>(form, L"Img_" + std::to_wstring(i),
                                         Rect{20 + (i % 10) * 90, 20 + (i / 10) * 120, 46, 46},
                                         i % 2 == 0);
        b->SetPicture(
            test::MakeBitmap(46, 46, [](int x, int) { return x < 4 ? kLime : RGB(0, 180, 255); }));
        buttons.push_back(std::move(b));
    }
    Label label(form, L"BtnState", {321, 657, 97, 25}, L"Left button",
                {.font = {L"Tahoma", 16, kSilver}});
    form.Show();
    test::Pump(std::chrono::milliseconds(300));

    const double full = MicrosecondsPer(50, [&](int) {
        InvalidateRect(form.Handle(), nullptr, FALSE);
        UpdateWindow(form.Handle());
    });
    const double one = MicrosecondsPer(500, [&](int i) {
        buttons[static_cast<std::size_t>(i % 40)]->Invalidate();
        UpdateWindow(form.Handle());
    });

    test::TempFolder skin;
    test::WriteBmp(skin.File(L"Img_71.bmp"), 46, 46, [](int, int) { return RGB(0, 200, 255); });
    form.SetSkinFolder(skin.Path());
    const double load = MicrosecondsPer(500, [&](int) {
        form.LoadSkinPicture(L"Img_7", L"1.bmp");
        UpdateWindow(form.Handle());
    });

    std::vector<HitTarget> targets;
    for (Control* c : form.Controls()) targets.push_back({c->Bounds(), c->Visible(), c->Enabled()});
    MouseRouter router;
    const double route = MicrosecondsPer(100000, [&](int i) {
        router.Move(targets, {(i * 7) % 980, (i * 3) % 750});
    });

    std::printf("window 980x750, %zu windowless controls\n", form.Controls().size());
    std::printf("full repaint            %8.1f us\n", full);
    std::printf("one button repaint      %8.1f us\n", one);
    std::printf("hover picture load+draw %8.1f us\n", load);
    std::printf("route one pointer move  %8.3f us\n", route);
    return 0;
}
