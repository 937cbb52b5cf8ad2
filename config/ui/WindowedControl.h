#pragma once

#include <windows.h>

#include <string>

#include "ui/Component.h"
#include "ui/Font.h"
#include "ui/Geometry.h"

namespace tavrine::ui {

class GraphicHost;

// A control that is a real child window (edits, lists, panels). Its parent forwards the child's
// notifications and colour requests to it.
class WindowedControl : public Component {
  public:
    ~WindowedControl() override;

    HWND Handle() const { return hwnd_; }
    GraphicHost& Parent() const { return parent_; }

    // In layout (96-DPI) units, like every control's place.
    Rect Bounds() const;
    void SetBounds(const Rect& bounds);
    bool Visible() const;
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // Keyboard focus helpers.
    void SetFocus();
    bool Focused() const;

    void SetHint(std::wstring hint) override;
    void SetFont(const FontSpec& font);
    void SetColors(COLORREF text, COLORREF back);
    COLORREF TextColor() const { return textColor_; }
    COLORREF BackColor() const { return backColor_; }

    static WindowedControl* FromHandle(HWND hwnd);

    void ScaleChanged(const DisplayScale& before) override;

    // Forwarded by the parent window.
    virtual void Command(WORD /*code*/) {}
    virtual bool Notify(const NMHDR& /*hdr*/, LRESULT& /*result*/) { return false; }
    virtual HBRUSH ControlColor(HDC dc);

  protected:
    WindowedControl(GraphicHost& parent, std::wstring name);
    // Takes the freshly made child window; every subclass calls it once from its constructor.
    void Attach(HWND hwnd, const FontSpec& font, COLORREF text, COLORREF back);
    virtual void ColorsChanged() {}

  private:
    GraphicHost& parent_;
    HWND hwnd_ = nullptr;
    FontSpec fontSpec_;
    GdiFont font_;
    COLORREF textColor_ = kBlack;
    COLORREF backColor_ = kWhite;
    HBRUSH brush_ = nullptr;
};

}  // namespace tavrine::ui
