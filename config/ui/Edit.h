#pragma once

#include <functional>
#include <string>

#include "ui/WindowedControl.h"

namespace tavrine::ui {

struct EditStyle {
    FontSpec font{};
    COLORREF color = kWhite;  // background
    bool border = false;
    int maxLength = 0;  // 0: no limit of our own
    bool digitsOnly = false;
    bool visible = true;
};

class Edit;
using EditHandler = std::function<void(Edit& sender)>;
using KeyHandler = std::function<void(Edit& sender, UINT virtualKey)>;

// A one-line text field as a child window. Enter and Escape are reported instead of beeping.
class Edit : public WindowedControl {
  public:
    Edit(GraphicHost& parent, std::wstring name, Rect bounds, EditStyle style = {},
         std::wstring text = {});
    ~Edit() override;

    std::wstring Text() const;
    void SetText(const std::wstring& text);
    void SetMaxLength(int maxLength);
    int MaxLength() const { return maxLength_; }
    bool DigitsOnly() const { return digitsOnly_; }

    KeyHandler OnKeyDown;     // every key that goes down while the field has the focus
    EditHandler OnEnterKey;   // Enter
    EditHandler OnEscapeKey;  // Escape
    EditHandler OnChange;     // the text changed
    using MouseDownHandler = std::function<void(Edit& sender)>;
    MouseDownHandler OnMouseDown;

    void Command(WORD code) override;

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool PasteIsAcceptable() const;

    int maxLength_ = 0;
    bool digitsOnly_ = false;
};

}  // namespace tavrine::ui
