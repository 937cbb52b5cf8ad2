#pragma once

#include "ui/GraphicHost.h"
#include "ui/WindowedControl.h"

namespace tavrine::ui {

struct PanelStyle {
    FontSpec font{};
    COLORREF color = RGB(0xF0, 0xF0, 0xF0);
    bool loweredBevel = true;
};

// A child window with a lowered one-pixel bevel that holds windowless and windowed children;
// their coordinates are in the panel's own space.
class Panel : public WindowedControl, public GraphicHost {
  public:
    Panel(GraphicHost& parent, std::wstring name, Rect bounds, PanelStyle style = {});

    HWND Handle() const override { return WindowedControl::Handle(); }
    // Screen position of the panel's client origin (where drop-down lists are placed).
    Point ClientOriginOnScreen() const;

  protected:
    void PaintBackground(HDC dc, const RECT& client) const override;
    void ColorsChanged() override;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool loweredBevel_;
};

}  // namespace tavrine::ui
