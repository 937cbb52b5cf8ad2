#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace tavrine::ui::test {

// Handles window messages for a while, or until `done` says so.
void Pump(std::chrono::milliseconds duration = std::chrono::milliseconds(60));
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::milliseconds(2000));

// The real pointer, as a user moves it (the X server of the test display sees it).
void MovePointer(int screenX, int screenY);
void PressLeft();
void ReleaseLeft();
void PressRight();
void ReleaseRight();

// A 24-bit BMP file, pixel by pixel; pictures are made by the tests, never committed.
using PixelFn = std::function<COLORREF(int x, int y)>;
bool WriteBmp(const std::wstring& path, int width, int height, const PixelFn& pixel);
HBITMAP MakeBitmap(int width, int height, const PixelFn& pixel);

// A fresh folder under the temporary folder, removed with its files at destruction.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    const std::wstring& Path() const { return path_; }  // with a trailing backslash
    std::wstring File(const std::wstring& name) const { return path_ + name; }
    bool WriteText(const std::wstring& name, const std::string& bytes) const;

  private:
    std::wstring path_;
};

// Colour of a pixel of the screen, as the display shows it.
COLORREF ScreenPixel(int x, int y);

}  // namespace tavrine::ui::test

// Input reaches the window through the display, a little later: wait for what it should cause.
#define EXPECT_SOON(condition)                                                                \
    EXPECT_TRUE(::tavrine::ui::test::PumpUntil([&] { return static_cast<bool>(condition); })) \
        << "never became true: " #condition
