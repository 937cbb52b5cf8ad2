#include "ui/Font.h"

#include "ui/DisplayScale.h"

namespace tavrine::ui {

GdiFont::GdiFont(const FontSpec& style, int dpi)
    // A negative height asks for the character height, as the layouts give it.
    : font_(CreateFontW(-DisplayScale(dpi).ToDevice(style.height), 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, style.face.c_str())) {}

GdiFont::~GdiFont() {
    if (font_) DeleteObject(font_);
}

GdiFont& GdiFont::operator=(GdiFont&& other) noexcept {
    if (this != &other) {
        if (font_) DeleteObject(font_);
        font_ = other.font_;
        other.font_ = nullptr;
    }
    return *this;
}

}  // namespace tavrine::ui
