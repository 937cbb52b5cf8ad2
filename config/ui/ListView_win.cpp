#include "ui/ListView.h"

#include <commctrl.h>

#include <stdexcept>

#include "ui/Application.h"
#include "ui/GraphicHost.h"
#include "ui/ScaledPicture.h"

namespace tavrine::ui {

ListView::ListView(GraphicHost& parent, std::wstring name, Rect bounds, ListViewStyle style)
    : WindowedControl(parent, std::move(name)),
      columnWidths_{style.firstColumnWidth, style.secondColumnWidth} {
    DWORD ws = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER |
               LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHAREIMAGELISTS;
    if (style.border) ws |= WS_BORDER;
    // Made at the form\'s scale; the layout gives the place at 96 DPI.
    const Rect d = parent.Scale().ToDevice(bounds);
    HWND hwnd = CreateWindowExW(0, WC_LISTVIEWW, L"", ws, d.left, d.top, d.width,
                                d.height, parent.Handle(), nullptr, GetModuleHandleW(nullptr),
                                nullptr);
    if (!hwnd) throw std::runtime_error("CreateWindowExW failed for a list view");
    ListView_SetExtendedListViewStyle(hwnd, LVS_EX_FULLROWSELECT);
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNW col{};
        col.mask = LVCF_WIDTH | LVCF_SUBITEM;
        col.cx = parent.Scale().ToDevice(columnWidths_[column]);
        col.iSubItem = column;
        SendMessageW(hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&col));
    }
    Attach(hwnd, style.font, style.font.color, style.color);
}

void ListView::ColorsChanged() {
    ListView_SetTextColor(Handle(), TextColor());
    ListView_SetTextBkColor(Handle(), BackColor());
    ListView_SetBkColor(Handle(), BackColor());
}

void ListView::SetSmallImageStrip(std::wstring resource, int count, int iconWidth,
                                  int iconHeight) {
    stripResource_ = std::move(resource);
    stripCount_ = count;
    stripIcon_ = {iconWidth, iconHeight};
    MakeSmallImages();
}

void ListView::MakeSmallImages() {
    if (stripResource_.empty()) return;
    const HINSTANCE module = GetModuleHandleW(nullptr);
    auto load = [module](const std::wstring& name) {
        return static_cast<HBITMAP>(
            LoadImageW(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    };
    HBITMAP oneX = load(stripResource_);
    if (!oneX) {
        DebugLine(L"built-in picture not loaded: " + stripResource_);
        return;
    }
    const DisplayScale& scale = Parent().Scale();
    auto images = std::make_unique<ImageList>(scale.ToDevice(stripIcon_.cx),
                                              scale.ToDevice(stripIcon_.cy));
    if (scale.IsLayout()) {
        images->Add(oneX);
    } else {
        HBITMAP twoX = load(stripResource_ + L"_2X");
        HBITMAP strip = MakeScaledStrip(oneX, twoX, stripCount_, stripIcon_, scale);
        images->Add(strip);  // none made: the rows show no pictures rather than wrong ones
        if (strip) DeleteObject(strip);
        if (twoX) DeleteObject(twoX);
    }
    DeleteObject(oneX);
    ListView_SetImageList(Handle(), images->Handle(), LVSIL_SMALL);
    smallImages_ = std::move(images);  // the one before is let go once the control has the new
}

void ListView::SetColumnWidths(int first, int second) {
    columnWidths_ = {first, second};
    ListView_SetColumnWidth(Handle(), 0, Parent().Scale().ToDevice(first));
    ListView_SetColumnWidth(Handle(), 1, Parent().Scale().ToDevice(second));
}

void ListView::ScaleChanged(const DisplayScale& before) {
    WindowedControl::ScaleChanged(before);
    SetColumnWidths(columnWidths_[0], columnWidths_[1]);
    MakeSmallImages();
}

int ListView::Count() const { return ListView_GetItemCount(Handle()); }

void ListView::Clear() { ListView_DeleteAllItems(Handle()); }

int ListView::AddItem(const std::wstring& first, const std::wstring& second, int image) {
    return InsertItem(Count(), first, second, image);
}

int ListView::InsertItem(int index, const std::wstring& first, const std::wstring& second,
                         int image) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(first.c_str());
    item.iImage = image;
    const int at = static_cast<int>(
        SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at >= 0) SetItemText(at, 1, second);
    return at;
}

void ListView::DeleteItem(int index) { ListView_DeleteItem(Handle(), index); }

std::wstring ListView::ItemText(int index, int column) const {
    // Texts here are short (event names, delays); the buffer bounds what is read.
    wchar_t buffer[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    const LRESULT n = SendMessageW(Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(&item));
    return std::wstring(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
}

void ListView::SetItemText(int index, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(Handle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
}

void ListView::SetItemImage(int index, int image) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = image;
    SendMessageW(Handle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int ListView::ItemImage(int index) const {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    if (!SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return item.iImage;
}

int ListView::SelectedIndex() const { return ListView_GetNextItem(Handle(), -1, LVNI_SELECTED); }

void ListView::Select(int index) {
    if (index < 0) {
        ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        return;
    }
    ListView_SetItemState(Handle(), index, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(Handle(), index, FALSE);
}

bool ListView::Notify(const NMHDR& hdr, LRESULT& result) {
    result = 0;
    switch (hdr.code) {
        case NM_CLICK:
            if (OnClick) OnClick(*this);
            return true;
        case NM_DBLCLK:
            if (OnDoubleClick) OnDoubleClick(*this);
            return true;
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(hdr);
            const bool selectedNow = (change.uNewState & LVIS_SELECTED) != 0;
            const bool selectedBefore = (change.uOldState & LVIS_SELECTED) != 0;
            if (selectedNow && !selectedBefore && OnSelectItem) OnSelectItem(*this);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tavrine::ui
