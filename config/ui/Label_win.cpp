#include "ui/Label.h"

#include "ui/GraphicHost.h"

namespace tavrine::ui {

Label::Label(GraphicHost& host, std::wstring name, Rect bounds, std::wstring caption,
             LabelStyle style)
    : Control(host, std::move(name), bounds),
      caption_(std::move(caption)),
      style_(std::move(style)),
      font_(style_.font, Host().Scale().Dpi()) {}

void Label::SetCaption(std::wstring caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    Invalidate();
}

void Label::SetStyle(const LabelStyle& style) {
    style_ = style;
    font_ = GdiFont(style_.font, Host().Scale().Dpi());
    Invalidate();
}

void Label::ScaleChanged(const DisplayScale& /*before*/) {
    font_ = GdiFont(style_.font, Host().Scale().Dpi());
    Invalidate();
}

void Label::SetFontColor(COLORREF color) {
    style_.font.color = color;
    Invalidate();
}

void Label::Paint(HDC dc) const {
    const Rect b = DeviceBounds();
    RECT r{b.left, b.top, b.Right(), b.Bottom()};
    if (!style_.transparent) {
        HBRUSH brush = CreateSolidBrush(style_.color);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    HGDIOBJ old = SelectObject(dc, font_.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, style_.font.color);
    const UINT format = DT_NOPREFIX | DT_LEFT | DT_TOP | (style_.wordWrap ? DT_WORDBREAK : 0);
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, format);
    SelectObject(dc, old);
}

}  // namespace tavrine::ui
