#include "forms/Popform_win.h"

#include "forms/Mainform_win.h"
#include "forms/Singlekey_win.h"
#include "ui/LanguageTables.h"

namespace tavrine::forms {
namespace {

constexpr COLORREF kListGrey = RGB(0x80, 0x80, 0x80);
// The designed list shows every fixed command without scrolling: one more command needs a
// taller pop-up, which this says at build time.
constexpr int kListHeight = 150;
constexpr int kEntryHeight = 16;  // Tahoma 13 pixels and its line gap
static_assert(static_cast<int>(device::kSingleCommandCount) * kEntryHeight <= kListHeight);

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"PForm";
    options.caption = L"PForm";
    options.clientWidth = 140;
    options.clientHeight = kListHeight + 7;
    options.placement = ui::Placement::Designed;
    options.topmost = true;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

}  // namespace

PForm::PForm(AppContext& app) : app_(app), form_(Options(app)) {
    ui::ListBoxStyle visible;
    visible.font = ui::FontSpec{L"Tahoma", 13, ui::kWhite};
    listBox1_ = std::make_unique<ui::ListBox>(form_, L"ListBox1", ui::Rect{0, 0, 135, kListHeight},
                                              visible);
    listBox1_->SetItems(ui::BuiltinEntries(ui::PopupListTexts()));

    // A translated list starts with 85; without it the built-in names stay, whatever else the
    // file holds.
    if (ui::ApplyLanguageEntries(*listBox1_, ui::PopupListTexts(), app_.language)) {
        listBox1_->SetFont(ui::FontSpec{L"Tahoma", ui::FontSpec::PointsToPixels(10), ui::kWhite});
    }

    listBox1_->OnClick = [this](ui::ListBox& sender) { ListBox1Click(sender); };
    form_.OnShow = [this](ui::Form&) { FormShow(); };
    form_.OnClose = [this](ui::Form&) { form_.Hide(); };
    // Hiding an active pop-up hands the activation back through the window system, which
    // cancels the dialog's pointer capture: a press on the dialog's background that closes the
    // list would lose its drag. So a click picks an item without activating the list.
    form_.OnMessage = [](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_MOUSEACTIVATE) return false;
        result = MA_NOACTIVATE;
        return true;
    };
}

void PForm::Show() {
    ShowWindow(form_.Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(form_.Handle());
}

void PForm::FormShow() {
    // As wide as the command field it drops down from.
    if (app_.sKey) {
        ui::Rect bounds = listBox1_->Bounds();
        bounds.width = app_.sKey->Panel1().Bounds().width;
        listBox1_->SetBounds(bounds);
    }
    listBox1_->SetColors(listBox1_->TextColor(), kListGrey);
}

void PForm::ListBox1Click(ui::ListBox& sender) {
    const int index = sender.ItemIndex();
    if (index < 0) return;
    // Only the text travels; the dialog decides the function at its OK.
    if (app_.sKey) {
        app_.sKey->SingleKeyName().SetText(sender.Item(index));
        app_.sKey->SetListOpen(false);
    }
    form_.Hide();
}

}  // namespace tavrine::forms
