#include "ui/ImageList.h"

#include <stdexcept>

#include "ui/Application.h"
#include "ui/Font.h"

namespace tavrine::ui {

ImageList::ImageList(int width, int height)
    : list_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4)) {
    if (!list_) throw std::runtime_error("ImageList_Create failed");
}

ImageList::~ImageList() { ImageList_Destroy(list_); }

int ImageList::Count() const { return ImageList_GetImageCount(list_); }

int ImageList::Add(HBITMAP bitmap) {
    return bitmap ? ImageList_AddMasked(list_, bitmap, kLime) : -1;
}

int ImageList::AddFromFile(const std::wstring& path) {
    auto* bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) {
        DebugLine(L"list picture not loaded: " + path);
        return -1;
    }
    const int index = Add(bitmap);
    DeleteObject(bitmap);
    return index;
}

}  // namespace tavrine::ui
