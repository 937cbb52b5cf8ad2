// A small skinned window for looking at the toolkit: rounded see-through corners, picture
// buttons with their hover and pressed pictures loaded from a skin folder written at start,
// a keyed knob, a label. The screenshot script drives it with the real pointer.
#include <windows.h>

#include <string>

#include "tests/windows/ui/TestSupport.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/PaintBox.h"
#include "ui/Timer.h"

using namespace tavrine::ui;

namespace {

constexpr COLORREF kPanel = RGB(0x1c, 0x1f, 0x26);
constexpr COLORREF kEdge = RGB(0x2c, 0x31, 0x3b);
constexpr COLORREF kAccent = RGB(0x00, 0xb4, 0xff);

// Draws with GDI into a bitmap and writes it as a BMP file.
bool DrawPicture(const std::wstring& path, int w, int h, COLORREF fill, COLORREF text,
                 COLORREF frame, const wchar_t* caption, bool rounded) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    RECT all{0, 0, w, h};
    HBRUSH lime = CreateSolidBrush(kLime);
    HBRUSH brush = CreateSolidBrush(fill);
    HBRUSH edge = CreateSolidBrush(frame);
    if (rounded) {
        // Lime only outside the rounded frame, where the window is meant to be see-through.
        FillRect(dc, &all, lime);
        HPEN pen = CreatePen(PS_SOLID, 2, frame);
        HGDIOBJ ob = SelectObject(dc, brush);
        HGDIOBJ op = SelectObject(dc, pen);
        RoundRect(dc, 1, 1, w - 1, h - 1, 36, 36);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(pen);
    } else {
        FillRect(dc, &all, edge);
        RECT inner{2, 2, w - 2, h - 2};
        FillRect(dc, &inner, brush);
    }
    DeleteObject(lime);
    DeleteObject(brush);
    DeleteObject(edge);
    if (caption) {
        GdiFont font(FontSpec{L"Tahoma", 14, text, true});
        HGDIOBJ of = SelectObject(dc, font.Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, text);
        DrawTextW(dc, caption, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, of);
    }
    // Read the pixels back and write them out as the skin's BMP file.
    HDC mem = CreateCompatibleDC(nullptr);
    SelectObject(dc, oldBmp);
    HGDIOBJ o2 = SelectObject(mem, bmp);
    const bool ok =
        tavrine::ui::test::WriteBmp(path, w, h, [&](int x, int y) { return GetPixel(mem, x, y); });
    SelectObject(mem, o2);
    DeleteDC(mem);
    DeleteObject(bmp);
    DeleteDC(dc);
    return ok;
}

struct SampleForm : Form {
    SampleForm()
        : Form({.name = L"UiSample",
                .caption = L"Toolkit sample",
                .clientWidth = 360,
                .clientHeight = 220,
                .left = 100,
                .top = 100}) {
        Img_back.SetDragsForm(true);
        for (Image* button : {&Img_Apply, &Img_Cancel}) {
            button->OnMouseEnter = [this](Control& c) { LoadSkinPicture(c, L"1.bmp"); };
            button->OnMouseLeave = [this](Control& c) { LoadSkinPicture(c, L"0.bmp"); };
            button->OnMouseDown = [this](Control& c, const MouseArgs&) {
                LoadSkinPicture(c, L"2.bmp");
            };
            button->OnMouseUp = [this](Control& c, const MouseArgs&) {
                LoadSkinPicture(c, L"1.bmp");
            };
        }
        Img_Apply.SetHint(L"APPLY");
        Img_Cancel.SetHint(L"CANCEL");
    }
    Image Img_back{*this, L"Img_back", {0, 0, 360, 220}};
    Image Img_Knob{*this, L"Img_Knob", {300, 30, 40, 40}, true};
    Label Lab_Title{*this,
                    L"Lab_Title",
                    {30, 28, 260, 24},
                    L"TAVRINE  toolkit sample",
                    {.font = {L"Tahoma", 18, kAccent, true}}};
    Label Lab_Text{*this,
                   L"Lab_Text",
                   {30, 70, 250, 60},
                   L"Corners are lime and see-through. Hover and press the buttons below.",
                   {.font = {L"Tahoma", 13, RGB(0xc8, 0xcc, 0xd4)}, .wordWrap = true}};
    Image Img_Apply{*this, L"Img_Apply", {30, 160, 130, 34}};
    Image Img_Cancel{*this, L"Img_Cancel", {200, 160, 130, 34}};
};

}  // namespace

namespace {

// Copies a screen area, as the display shows it, into a BMP file.
bool CaptureScreen(const std::wstring& path, int left, int top, int width, int height) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, width, height, screen, left, top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    const bool ok = tavrine::ui::test::WriteBmp(path, width, height,
                                                [&](int x, int y) { return GetPixel(mem, x, y); });
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return ok;
}

// Points at one button, shoots; presses the other, shoots; then ends the program.
void TakeShots(const std::wstring& folder, const Form& form) {
    using namespace tavrine::ui::test;
    Pump(std::chrono::milliseconds(500));
    const Point apply = form.ClientToScreen({95, 177});
    MovePointer(apply.x, apply.y);
    Pump(std::chrono::milliseconds(300));
    CaptureScreen(folder + L"\\sample-hover.bmp", 40, 40, 480, 340);
    const Point cancel = form.ClientToScreen({265, 177});
    MovePointer(cancel.x, cancel.y);
    PressLeft();
    Pump(std::chrono::milliseconds(300));
    CaptureScreen(folder + L"\\sample-pressed.bmp", 40, 40, 480, 340);
    ReleaseLeft();
    Terminate();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    tavrine::ui::test::TempFolder skin;
    const std::wstring f = skin.Path();
    DrawPicture(f + L"Img_back0.bmp", 360, 220, kPanel, kAccent, kAccent, nullptr, true);
    DrawPicture(f + L"Img_Knob0.bmp", 40, 40, kAccent, kPanel, kAccent, nullptr, true);
    const wchar_t* captions[] = {L"APPLY", L"CANCEL"};
    const wchar_t* names[] = {L"Img_Apply", L"Img_Cancel"};
    for (int i = 0; i < 2; ++i) {
        const std::wstring n = f + names[i];
        DrawPicture(n + L"0.bmp", 130, 34, kEdge, RGB(0xc8, 0xcc, 0xd4), kEdge, captions[i], false);
        DrawPicture(n + L"1.bmp", 130, 34, kEdge, kWhite, kAccent, captions[i], false);
        DrawPicture(n + L"2.bmp", 130, 34, kAccent, kPanel, kAccent, captions[i], false);
    }
    // A checkered window behind the sample, so the see-through corners show something that is
    // clearly not the sample window.
    Form backdrop({.name = L"UiSampleBackdrop",
                   .caption = L"",
                   .clientWidth = 440,
                   .clientHeight = 300,
                   .left = 60,
                   .top = 60,
                   .color = RGB(0x70, 0x70, 0x70)});
    PaintBox checks(backdrop, L"checks", {0, 0, 440, 300});
    checks.OnPaint = [](PaintBox&, HDC dc, const Rect& b) {
        HBRUSH light = CreateSolidBrush(RGB(0xd0, 0xd0, 0xd0));
        for (int y = 0; y < b.height; y += 20)
            for (int x = (y / 20 % 2) * 20; x < b.width; x += 40) {
                RECT r{b.left + x, b.top + y, b.left + x + 20, b.top + y + 20};
                FillRect(dc, &r, light);
            }
        DeleteObject(light);
    };
    backdrop.Show();
    SampleForm form;
    form.SetSkinFolder(f);
    for (const wchar_t* n : {L"Img_back", L"Img_Knob", L"Img_Apply", L"Img_Cancel"})
        form.LoadSkinPicture(n, L"0.bmp");
    form.Show();
    // Runs until the script closes it, or for a minute at most.
    // With a folder on the command line the program takes its own screenshots and ends.
    const std::wstring shotFolder = commandLine ? commandLine : L"";
    Timer shots(form, L"ShotTimer", 200, !shotFolder.empty());
    shots.OnTimer = [&](Timer&) { TakeShots(shotFolder, form); };
    Timer quit(form, L"QuitTimer", 60000, true);
    quit.OnTimer = [](Timer&) { Terminate(); };
    return RunMessageLoop();
}
