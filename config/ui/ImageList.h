#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace tavrine::ui {

// Small pictures for a list view, lime keyed out.
class ImageList {
  public:
    ImageList(int width, int height);
    ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    HIMAGELIST Handle() const { return list_; }
    int Count() const;
    // Adds a copy of the bitmap (the caller keeps its own); -1 on failure.
    int Add(HBITMAP bitmap);
    int AddFromFile(const std::wstring& path);

  private:
    HIMAGELIST list_;
};

}  // namespace tavrine::ui
