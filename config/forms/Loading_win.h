#pragma once
// TLoadingForm: the progress animation shown while a profile is written, twelve PNG frames with
// per-pixel alpha on a top-most layered window, run and stopped by message 0x501.
#include <windows.h>

#include <array>
#include <string>

namespace tavrine::forms {

class LoadingForm {
  public:
    // The frames are looked for in "skin\Load\" beside the program file.
    explicit LoadingForm(HWND mainWindow);
    ~LoadingForm();
    LoadingForm(const LoadingForm&) = delete;
    LoadingForm& operator=(const LoadingForm&) = delete;

    HWND Handle() const { return hwnd_; }
    // The file of the frame the next tick shows (for tests and diagnostics).
    const std::wstring& FramePath(int index) const {
        return frames_[static_cast<std::size_t>(index)];
    }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Tick();
    bool Present(const std::wstring& file);

    HWND hwnd_ = nullptr;
    HWND main_ = nullptr;
    ULONG_PTR gdiplusToken_ = 0;
    std::array<std::wstring, 12> frames_;
    unsigned counter_ = 0;  // not reset between writes: the next run goes on from here
};

}  // namespace tavrine::forms
