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

    int Count() const;
    void Clear();
    int Add(const std::wstring& text);
    void SetItems(const std::vector<std::wstring>& items);
    std::wstring Item(int index) const;
    std::vector<std::wstring> Items() const;
    int ItemIndex() const;  // -1: none
    void SetItemIndex(int index);
    void SetItemHeight(int pixels);

    ListBoxHandler OnClick;  // the user picked an item

    void Command(WORD code) override;
};

// The language rule of the two translatable lists: when the list's first number has a text the
// list is cleared and refilled with the present texts, otherwise it keeps its entries. Returns
// whether it was rebuilt.
bool ApplyLanguageEntries(ListBox& list, const TextList& texts, const LanguageLookup& lookup);

}  // namespace tavrine::ui
