#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/LanguageTables.h"
#include "ui/WindowedControl.h"

namespace tavrine::ui {

struct ListBoxStyle {
    FontSpec font{};
    COLORREF color = kWhite;
    bool border = false;
    bool visible = true;
};

class ListBox;
using ListBoxHandler = std::function<void(ListBox& sender)>;

// A single-selection list of texts as a child window.
class ListBox : public WindowedControl {
  public:
    ListBox(GraphicHost& parent, std::wstring name, Rect bounds, ListBoxStyle style = {});
    ~ListBox() override;

    int Count() const;
    void Clear();
    int Add(const std::wstring& text);
    void SetItems(const std::vector<std::wstring>& items);
    std::wstring Item(int index) const;
    std::vector<std::wstring> Items() const;
    int ItemIndex() const;  // -1: none
    void SetItemIndex(int index);
    // In layout units.
    void SetItemHeight(int height);
    void ScaleChanged(const DisplayScale& before) override;

    ListBoxHandler OnClick;  // the user picked an item
    // Any mouse button released over the list, on an item, on empty space or on its scroll
    // bar (after the scroll bar's own tracking), whether or not an item was picked.
    ListBoxHandler OnMouseUp;

    void Command(WORD code) override;

  private:
    int itemHeight_ = 0;  // 0: the list's own
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

// The language rule of the two translatable lists: when the list's first number has a text the
// list is cleared and refilled with the present texts, otherwise it keeps its entries. Returns
// whether it was rebuilt.
bool ApplyLanguageEntries(ListBox& list, const TextList& texts, const LanguageLookup& lookup);

}  // namespace tavrine::ui
