#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "ui/ImageList.h"
#include "ui/WindowedControl.h"

namespace tavrine::ui {

struct ListViewStyle {
    FontSpec font{};
    COLORREF color = kWhite;  // background
    int firstColumnWidth = 100;
    int secondColumnWidth = 100;
    bool border = false;
};

class ListView;
using ListViewHandler = std::function<void(ListView& sender)>;

// A two-column report list without a header: whole rows selected, one at a time, and the
// selection stays visible when the list has no focus.
class ListView : public WindowedControl {
  public:
    ListView(GraphicHost& parent, std::wstring name, Rect bounds, ListViewStyle style = {});

    // Small pictures from a built-in strip resource of `count` pictures `iconWidth` x
    // `iconHeight` (layout units), made again at every scale: above 96 DPI from the strip's 2x
    // resource ("<resource>_2X") when there is one. Without the resource the rows show no
    // pictures.
    void SetSmallImageStrip(std::wstring resource, int count, int iconWidth, int iconHeight);

    int Count() const;
    void Clear();
    int AddItem(const std::wstring& first, const std::wstring& second, int image = -1);
    int InsertItem(int index, const std::wstring& first, const std::wstring& second,
                   int image = -1);
    void DeleteItem(int index);
    std::wstring ItemText(int index, int column) const;
    void SetItemText(int index, int column, const std::wstring& text);
    void SetItemImage(int index, int image);
    int ItemImage(int index) const;
    int SelectedIndex() const;  // -1: none
    void Select(int index);     // -1 clears the selection
    // In layout units.
    void SetColumnWidths(int first, int second);
    void ScaleChanged(const DisplayScale& before) override;

    ListViewHandler OnClick;       // a click in the list
    ListViewHandler OnSelectItem;  // the selected row changed
    ListViewHandler OnDoubleClick;

    bool Notify(const NMHDR& hdr, LRESULT& result) override;

  protected:
    void ColorsChanged() override;

  private:
    void MakeSmallImages();

    std::array<int, 2> columnWidths_;
    std::wstring stripResource_;
    int stripCount_ = 0;
    SIZE stripIcon_{};
    std::unique_ptr<ImageList> smallImages_;  // shared with the control, which leaves it alone
};

}  // namespace tavrine::ui
