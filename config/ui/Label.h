#pragma once

#include <string>

#include "ui/Control.h"
#include "ui/Font.h"

namespace tavrine::ui {

struct LabelStyle {
    FontSpec font{};
    bool transparent = true;
    bool wordWrap = false;
    COLORREF color = kWhite;  // background when not transparent
};

// A windowless text.
class Label : public Control {
  public:
    Label(GraphicHost& host, std::wstring name, Rect bounds, std::wstring caption,
          LabelStyle style = {});

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring caption);
    const LabelStyle& Style() const { return style_; }
    void SetStyle(const LabelStyle& style);
    void SetFontColor(COLORREF color);

    void Paint(HDC dc) const override;
    void ScaleChanged(const DisplayScale& before) override;

  private:
    std::wstring caption_;
    LabelStyle style_;
    GdiFont font_;
};

}  // namespace tavrine::ui
