#pragma once

#include <functional>

#include "ui/Control.h"

namespace tavrine::ui {

class PaintBox;
using PaintHandler = std::function<void(PaintBox& sender, HDC dc, const Rect& bounds)>;

// An area that shows nothing of its own: a hover and click target, or a canvas for OnPaint.
class PaintBox : public Control {
  public:
    PaintBox(GraphicHost& host, std::wstring name, Rect bounds)
        : Control(host, std::move(name), bounds) {}

    PaintHandler OnPaint;

    void Paint(HDC dc) const override {
        if (OnPaint) OnPaint(const_cast<PaintBox&>(*this), dc, DeviceBounds());
    }
};

}  // namespace tavrine::ui
