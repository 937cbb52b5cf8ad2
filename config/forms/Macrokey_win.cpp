#include "forms/Macrokey_win.h"

#include "forms/ErrorReport_win.h"
#include "macro/MacroFile.h"
#include "macro/MacroStore.h"
#include "forms/Mainform_win.h"
#include "forms/Newmacro_win.h"
#include "forms/ProgramServices_win.h"
#include "ui/ClickTracker.h"
#include "ui/FileDialog.h"
#include "ui/LanguageTables.h"
#include "ui/SkinPaths.h"

using macro::ApplyMacro;
using macro::ChooseCommand;
using macro::ChooseStoredMacro;
using macro::CommandCapacity;
using macro::DelayDown;
using macro::DelayMode;
using macro::DelayUp;
using macro::DeleteSelectedEvent;
using macro::DeleteStoredMacro;
using macro::FileOutcome;
using macro::InsertAfterCommandChosen;
using macro::InsertCommand;
using macro::kCommandCount;
using macro::kMacroKeyMessage;
using macro::kMaxMacroNameLength;
using macro::LoadMacroFile;
using macro::MacroButtons;
using macro::MacroFileResult;
using macro::MacroLanguage;
using macro::MacroPhase;
using macro::MacroPhaseButtons;
using macro::MacroRow;
using macro::MacroStoreResult;
using macro::MoveSelectedDown;
using macro::MoveSelectedUp;
using macro::NewMacroOutcome;
using macro::NewMacroResult;
using macro::ResetForShow;
using macro::RowSelection;
using macro::SaveMacroFile;
using macro::SelectRow;
using macro::SetDelay;
using macro::StartNewMacro;
using macro::StoredMacroNames;
using macro::TimeFieldResult;

namespace tavrine::forms {
namespace {

constexpr COLORREF kFieldGrey = RGB(43, 43, 43);
constexpr COLORREF kListGrey = RGB(128, 128, 128);
constexpr COLORREF kRowsBlack = RGB(0, 0, 0);
constexpr int kMacroListHeight = 200;
constexpr int kCommandListHeight = 75;
constexpr UINT kLoadDelayMs = 10;
const wchar_t* const kMacroFileFilter = L"Tavrine Macro-Key Configuration (*.Q1M)|*.Q1M";

ui::FormOptions Options(AppContext& app) {
    ui::FormOptions options;
    options.name = L"MacroForm";
    options.caption = L"MacroForm";
    options.clientWidth = 604;
    options.clientHeight = 475;
    options.placement = ui::Placement::Designed;
    options.left = 44;
    options.top = 0;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

ui::EditStyle FieldStyle(int maxLength, bool digitsOnly) {
    ui::EditStyle style;
    style.font = ui::FontSpec{L"Tahoma", 13, ui::kWhite};
    style.color = kFieldGrey;
    style.border = false;
    style.maxLength = maxLength;
    style.digitsOnly = digitsOnly;
    return style;
}

ui::ListBoxStyle DropDownStyle(int fontHeight) {
    ui::ListBoxStyle style;
    style.font = ui::FontSpec{L"Tahoma", fontHeight, ui::kWhite};
    style.color = kListGrey;
    style.border = false;
    style.visible = false;
    return style;
}

}  // namespace

MacroForm::MacroForm(AppContext& app)
    : app_(app),
      form_(Options(app)),
      language_(MacroLanguage::From(app.language, ui::PressWord(app.language),
                                    ui::ReleaseWord(app.language))) {
    // Without an installation folder the pictures stay the built-in ones.
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, ui::SkinFolderId::Macro));
    BuildLayout();
    WireEvents();
    document_.image.fill(0);
}

MacroForm::~MacroForm() { hooks_.Remove(); }

void MacroForm::BuildLayout() {
    auto image = [this](const wchar_t* name, ui::Rect bounds, bool transparent = false) {
        images_.push_back(std::make_unique<ui::Image>(form_, name, bounds, transparent));
        return images_.back().get();
    };
    image1_ = image(L"Image1", {0, 0, 603, 474}, true);
    image1_->SetDragsForm(true);
    imgNew_ = image(L"Img_new", {310, 82, 64, 23});
    imgLoad_ = image(L"Img_load", {376, 82, 64, 23});
    imgSave_ = image(L"Img_save", {442, 82, 64, 23});
    imgDelete_ = image(L"Img_delete", {509, 82, 64, 23});
    macroName_ =
        std::make_unique<ui::Edit>(form_, L"MacroName", ui::Rect{416, 132, 116, 21},
                                   FieldStyle(static_cast<int>(kMaxMacroNameLength), false));
    imgMd0_ = image(L"Img_md0", {538, 138, 12, 9});
    imgR1_ = image(L"Img_r1", {317, 187, 27, 42});
    time1_ = std::make_unique<ui::Edit>(form_, L"Time1", ui::Rect{414, 208, 48, 21},
                                        FieldStyle(4, true), L"0");
    imgMu_ = image(L"Img_mu", {464, 207, 12, 9});
    imgMd_ = image(L"Img_md", {464, 219, 12, 9});
    imgBox1_ = image(L"Img_box1", {365, 260, 17, 17});
    imgR2_ = image(L"Img_r2", {317, 281, 27, 42});
    imgBox2_ = image(L"Img_box2", {365, 291, 17, 17});
    time2_ = std::make_unique<ui::Edit>(form_, L"Time2", ui::Rect{477, 319, 45, 21},
                                        FieldStyle(4, true), L"0");
    imgR3_ = image(L"Img_r3", {317, 360, 27, 42});
    commands_ = std::make_unique<ui::Edit>(form_, L"Commands", ui::Rect{375, 370, 145, 21},
                                           FieldStyle(0, false), L"Commands");
    imgMd1_ = image(L"Img_md1", {522, 376, 12, 9});
    ui::ListViewStyle rows;
    rows.font = ui::FontSpec{L"Tahoma", 11, ui::kWhite};
    rows.color = kRowsBlack;
    rows.firstColumnWidth = 120;
    rows.secondColumnWidth = 100;
    listView1_ =
        std::make_unique<ui::ListView>(form_, L"ListView1", ui::Rect{41, 98, 254, 256}, rows);
    imgRecord_ = image(L"Img_record", {47, 363, 75, 24});
    imgStop_ = image(L"Img_stop", {125, 363, 75, 24});
    imgDel_ = image(L"Img_del", {203, 363, 75, 24});
    imgUp_ = image(L"Img_up", {90, 388, 75, 24});
    imgDown_ = image(L"Img_down", {168, 388, 75, 24});
    imgOk_ = image(L"Img_Ok", {283, 426, 91, 26});
    imgCancel_ = image(L"Img_Cancel", {386, 426, 91, 26});
    imgApply_ = image(L"Img_Apply", {490, 426, 91, 26});
    // The drop-downs come last: child windows in front of the list view and the edits.
    macroList_ = std::make_unique<ui::ListBox>(form_, L"MacroList", ui::Rect{414, 156, 143, 0},
                                               DropDownStyle(13));
    commandList_ = std::make_unique<ui::ListBox>(form_, L"CommandList", ui::Rect{371, 394, 171, 0},
                                                 DropDownStyle(11));
    commandList_->SetItemHeight(13);
    // A language file that names the first command rebuilds the list from the texts it has;
    // each entry keeps the command it names.
    std::vector<std::wstring> names;
    if (auto positions = ui::RebuiltPositions(ui::CommandListTexts(), app_.language)) {
        for (std::size_t p : *positions) commandEntries_.push_back(static_cast<int>(p));
        names = *ui::RebuiltEntries(ui::CommandListTexts(), app_.language);
    } else {
        for (int i = 0; i < kCommandCount; ++i) commandEntries_.push_back(i);
        names = ui::BuiltinEntries(ui::CommandListTexts());
    }
    commandList_->SetItems(names);

    // ImageList2: press, (unused), release, 19 x 18 each.
    listView1_->SetSmallImageStrip(L"MACRO_IMAGELIST2", 3, 19, 18);
    timer2_ = std::make_unique<ui::Timer>(form_, L"Timer2", kLoadDelayMs);

    form_.LoadBuiltinPictures(ui::SkinFolderName(ui::SkinFolderId::Macro));
    // Both drop-down arrows show the time-down arrow's pictures.
    imgMd0_->LoadFromResource(L"MACRO_IMG_MD");
    imgMd1_->LoadFromResource(L"MACRO_IMG_MD");
    form_.ApplyBuiltinHints();
    form_.SetHintOf(L"Img_Ok", L"OK");
    form_.SetHintOf(L"Img_Cancel", L"CANCEL");
    form_.SetHintOf(L"Img_Apply", L"APPLY");
    form_.ApplyLanguageHints(app_.language);
    for (auto [number, name] : {std::pair{55, L"Img_Apply"}, {56, L"Img_Cancel"}, {57, L"Img_Ok"}})
        if (auto text = app_.LanguageText(number)) form_.SetHintOf(name, *text);
}

void MacroForm::LoadPicture(ui::Image& image, std::wstring_view suffix) {
    if (&image == imgMd0_ || &image == imgMd1_) {
        if (form_.SkinFolder().empty()) return;
        image.LoadFromFile(ui::SkinPictureFile(form_.SkinFolder(), L"Img_md", suffix));
        return;
    }
    form_.LoadSkinPicture(image, suffix);
}

void MacroForm::WireButton(ui::Image& button, void (MacroForm::*action)()) {
    auto click = std::make_shared<ui::ClickTracker>();
    button.OnMouseEnter = [this](ui::Control& c) {
        if (c.Enabled()) LoadPicture(static_cast<ui::Image&>(c), L"1.bmp");
    };
    button.OnMouseLeave = [this](ui::Control& c) {
        if (c.Enabled()) LoadPicture(static_cast<ui::Image&>(c), L"0.bmp");
    };
    button.OnMouseDown = [this, click](ui::Control& c, const ui::MouseArgs& args) {
        LoadPicture(static_cast<ui::Image&>(c), L"2.bmp");
        CloseLists();
        click->Down(args.button);
    };
    button.OnMouseUp = [this, click, action](ui::Control& c, const ui::MouseArgs& args) {
        LoadPicture(static_cast<ui::Image&>(c), L"1.bmp");
        const ui::Rect& r = c.Bounds();
        const bool inside = args.x >= 0 && args.y >= 0 && args.x < r.width && args.y < r.height;
        if (click->Up(args.button, inside) && c.Enabled()) (this->*action)();
    };
}

void MacroForm::WireArrow(ui::Image& arrow, void (MacroForm::*action)()) {
    arrow.OnMouseEnter = [this](ui::Control& c) {
        LoadPicture(static_cast<ui::Image&>(c), L"1.bmp");
    };
    arrow.OnMouseLeave = [this](ui::Control& c) {
        LoadPicture(static_cast<ui::Image&>(c), L"0.bmp");
    };
    arrow.OnMouseDown = [this, action](ui::Control&, const ui::MouseArgs&) { (this->*action)(); };
}

void MacroForm::WireOptionBox(ui::Image& box, bool MacroForm::*flag) {
    box.OnMouseEnter = [this, flag](ui::Control& c) {
        if (!(this->*flag) && c.Enabled()) LoadPicture(static_cast<ui::Image&>(c), L"1.bmp");
    };
    box.OnMouseLeave = [this, flag](ui::Control& c) {
        if (!(this->*flag)) LoadPicture(static_cast<ui::Image&>(c), L"0.bmp");
    };
    box.OnMouseDown = [this, flag](ui::Control& c, const ui::MouseArgs&) {
        // The two options exclude each other.
        bool& on = this->*flag;
        on = !on;
        LoadPicture(static_cast<ui::Image&>(c), on ? L"2.bmp" : L"0.bmp");
        bool& other = flag == &MacroForm::ignoreOption_ ? defaultOption_ : ignoreOption_;
        if (on && other) {
            other = false;
            LoadPicture(flag == &MacroForm::ignoreOption_ ? *imgBox2_ : *imgBox1_, L"0.bmp");
        }
        OptionChanged();
    };
}

void MacroForm::WireEvents() {
    image1_->OnMouseDown = [this](ui::Control&, const ui::MouseArgs&) { CloseLists(); };
    WireButton(*imgNew_, &MacroForm::New);
    WireButton(*imgLoad_, &MacroForm::Load);
    WireButton(*imgSave_, &MacroForm::Save);
    WireButton(*imgDelete_, &MacroForm::DeleteStored);
    WireButton(*imgRecord_, &MacroForm::Record);
    WireButton(*imgStop_, &MacroForm::Stop);
    WireButton(*imgDel_, &MacroForm::DeleteEvent);
    WireButton(*imgUp_, &MacroForm::MoveUp);
    WireButton(*imgDown_, &MacroForm::MoveDown);
    WireButton(*imgR1_, &MacroForm::SetDelayAction);
    WireButton(*imgR2_, &MacroForm::Nothing);
    WireButton(*imgR3_, &MacroForm::InsertCommandAction);
    WireButton(*imgOk_, &MacroForm::Ok);
    WireButton(*imgCancel_, &MacroForm::Cancel);
    WireButton(*imgApply_, &MacroForm::Apply);
    WireArrow(*imgMd0_, &MacroForm::ToggleMacroList);
    WireArrow(*imgMd1_, &MacroForm::ToggleCommandList);
    WireArrow(*imgMu_, &MacroForm::TimeUp);
    WireArrow(*imgMd_, &MacroForm::TimeDown);
    WireOptionBox(*imgBox1_, &MacroForm::ignoreOption_);
    WireOptionBox(*imgBox2_, &MacroForm::defaultOption_);
    macroName_->OnMouseDown = [this](ui::Edit&) { ToggleMacroList(); };
    commands_->OnMouseDown = [this](ui::Edit&) { ToggleCommandList(); };
    macroList_->OnClick = [this](ui::ListBox&) { ChooseStored(); };
    commandList_->OnClick = [this](ui::ListBox&) { ChooseCommandEntry(); };
    // The selected row is the list view's selection, by click or by arrow key.
    listView1_->OnClick = [this](ui::ListView&) { SelectionChanged(); };
    listView1_->OnSelectItem = [this](ui::ListView&) { SelectionChanged(); };
    timer2_->OnTimer = [this](ui::Timer&) {
        // The file dialog opens only once the button that asked for it is up.
        if (!form_.Visible()) return;
        const auto path = ui::ShowOpenFileDialog(form_.Handle(), {kMacroFileFilter, L"Q1M"});
        const MacroFileResult result =
            LoadMacroFile(document_, path.value_or(L""), keyNames_, language_);
        if (result.outcome == FileOutcome::Failed) {
            ReportFailure(result.error);
            return;
        }
        if (result.outcome != FileOutcome::Done) return;
        NameFromDocument();
        ShowRows();
        SetPhase(MacroPhase::Loaded);
    };
    form_.OnMessage = [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return HandleMessage(msg, wParam, lParam, result);
    };
    form_.OnShow = [this](ui::Form&) { FormShow(); };
    form_.OnHide = [this](ui::Form&) { FormHide(); };
    form_.OnClose = [this](ui::Form&) { Cancel(); };
}

platform::SettingsStore& MacroForm::Store() { return app_.services->store; }

void MacroForm::EnableButton(ui::Image& button, bool enabled) {
    const bool box = &button == imgBox1_ || &button == imgBox2_;
    LoadPicture(button, enabled || box ? L"0.bmp" : L"3.bmp");
    button.SetEnabled(enabled);
}

void MacroForm::SetPhase(MacroPhase phase) {
    phase_ = phase;
    const MacroButtons b = MacroPhaseButtons(phase, document_);
    EnableButton(*imgRecord_, b.record);
    EnableButton(*imgStop_, b.stop);
    EnableButton(*imgDel_, b.deleteEvent);
    EnableButton(*imgUp_, b.moveUp);
    EnableButton(*imgDown_, b.moveDown);
    EnableButton(*imgSave_, b.save);
    EnableButton(*imgDelete_, b.deleteStored);
    EnableButton(*imgR1_, b.setDelay);
    EnableButton(*imgR2_, b.recordingMark);
    EnableButton(*imgR3_, b.insert);
    EnableButton(*imgBox1_, b.ignoreBox);
    EnableButton(*imgBox2_, b.defaultBox);
    EnableButton(*imgNew_, b.newMacro);
    EnableButton(*imgLoad_, b.load);
    time1_->SetEnabled(b.delayFields);
    time2_->SetEnabled(b.delayFields);
    if (!b.macroList && macroListOpen_) CloseLists();
    if (phase != MacroPhase::Recording) {
        ignoreOption_ = defaultOption_ = false;
        recorder_.SetDelayMode(DelayMode::Actual);
    }
}

void MacroForm::FormShow() {
    for (ui::Edit* edit : {macroName_.get(), time1_.get(), time2_.get(), commands_.get()})
        edit->SetColors(ui::kWhite, kFieldGrey);
    ResetForShow(document_);
    SetPhase(MacroPhase::Shown);
    NameFromDocument();
    ShowRows();
    if (app_.mainForm) app_.mainForm->SetDialogOpen(true);
}

void MacroForm::FormHide() {
    // However the window goes, no keyboard hook outlives it.
    Stop();
    hooks_.Remove();
    timer2_->Stop();
    if (app_.mainForm) app_.mainForm->SetDialogOpen(false);
    CloseLists();
    document_.scratch.fill(0);
}

bool MacroForm::HandleMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != kMacroKeyMessage) return false;
    result = 0;
    // Keystrokes count only while a recording runs; the word is a number, never an address.
    if (!hooks_.Installed()) return true;
    // A macro that took the recorded one's place is not written into: the recording ends.
    if (!recorder_.RecordsInto(document_)) {
        Stop();
        return true;
    }
    std::wstring time2 = time2_->Text();
    const int shown = listView1_->Count();
    const bool recorded = recorder_.HandleKeyMessage(document_, static_cast<std::uint32_t>(lParam),
                                                     GetTickCount(), time2, keyNames_);
    if (recorder_.Mode() == DelayMode::Default && time2 != time2_->Text()) time2_->SetText(time2);
    if (!recorded) return true;
    // A keystroke adds one row and gives the row before it its delay: only those two change.
    if (document_.RowCount() == shown + 1) {
        if (shown > 0) listView1_->SetItemText(shown - 1, 1, document_.rows[shown - 1].delayText);
        AddRow(document_.rows.back());
    } else {
        ShowRows();
    }
    return true;
}

void MacroForm::NameFromDocument() { macroName_->SetText(document_.macroName); }
void MacroForm::NameToDocument() { document_.macroName = macroName_->Text(); }

void MacroForm::AddRow(const MacroRow& row) {
    const int at = listView1_->AddItem(row.caption, row.delayText, row.icon);
    // Without an image index of its own a row would show picture 0, the press icon.
    if (at >= 0 && row.icon < 0) listView1_->SetItemImage(at, I_IMAGENONE);
}

void MacroForm::ShowRows() {
    fillingRows_ = true;
    listView1_->Clear();
    for (const MacroRow& row : document_.rows) AddRow(row);
    if (document_.HasSelection()) listView1_->Select(document_.selectedRow);
    fillingRows_ = false;
}

void MacroForm::SyncSelection() {
    const int row = listView1_->SelectedIndex();
    document_.selectedRow = row >= 0 && row < document_.RowCount() ? row : -1;
}

void MacroForm::NewMacroAnswered(const NewMacroResult& result) {
    if (result.outcome == NewMacroOutcome::Created) {
        NameFromDocument();
        ShowRows();
    }
    if (result.enableEditor) SetPhase(MacroPhase::NameGiven);
}

void MacroForm::New() {
    StartNewMacro(document_);
    ShowRows();
    if (app_.newMacroForm) app_.newMacroForm->Window().Show();
}

void MacroForm::Record() {
    NameToDocument();
    if (document_.macroName.empty()) return;
    SetPhase(MacroPhase::Recording);
    ignoreOption_ = defaultOption_ = false;
    LoadPicture(*imgBox1_, L"0.bmp");
    LoadPicture(*imgBox2_, L"0.bmp");
    recorder_.SetDelayMode(DelayMode::Actual);
    recorder_.Start(document_);
    time1_->SetText(L"0.0");
    ShowRows();
    if (!hooks_.Install(form_.Handle())) {
        // Without the thread hook nothing could be recorded: say so and stay as after Stop.
        recorder_.Stop(document_);
        SetPhase(MacroPhase::Stopped);
        ReportFailure(L"Recording could not start: the keyboard cannot be watched (error " +
                      std::to_wstring(GetLastError()) + L").");
        return;
    }
    SetForegroundWindow(form_.Handle());
    SetFocus(form_.Handle());
}

void MacroForm::Stop() {
    if (!hooks_.Installed()) return;
    hooks_.Remove();
    recorder_.Stop(document_);
    SetPhase(MacroPhase::Stopped);
    ShowRows();
}

void MacroForm::Apply() {
    Stop();
    NameToDocument();
    ApplyMacro(Store(), document_);
}

void MacroForm::Ok() {
    Apply();
    form_.Hide();
}

void MacroForm::Cancel() {
    Stop();
    form_.Hide();
}

void MacroForm::Save() {
    NameToDocument();
    const auto path = ui::ShowSaveFileDialog(form_.Handle(), {kMacroFileFilter, L"Q1M"});
    const MacroFileResult result = SaveMacroFile(document_, path.value_or(L""));
    if (result.outcome == FileOutcome::Failed) ReportFailure(result.error);
}

void MacroForm::Load() { timer2_->Start(); }

void MacroForm::DeleteStored() {
    NameToDocument();
    if (!DeleteStoredMacro(Store(), document_)) return;
    NameFromDocument();
    ShowRows();
    EnableButton(*imgR3_, false);
}

void MacroForm::CloseLists() {
    macroList_->Hide();
    commandList_->Hide();
    macroListOpen_ = commandListOpen_ = false;
}

void MacroForm::ToggleMacroList() {
    const bool open = !macroListOpen_ && MacroPhaseButtons(phase_, document_).macroList;
    CloseLists();
    if (!open) return;
    if (auto names = StoredMacroNames(Store())) macroList_->SetItems(*names);
    macroList_->SetBounds({414, 156, 143, kMacroListHeight});
    macroList_->Show();
    SetWindowPos(macroList_->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    macroListOpen_ = true;
}

void MacroForm::ToggleCommandList() {
    const bool open = !commandListOpen_;
    CloseLists();
    if (!open) return;
    commandList_->SetBounds({371, 394, 171, kCommandListHeight});
    commandList_->Show();
    SetWindowPos(commandList_->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    commandListOpen_ = true;
}

void MacroForm::ChooseStored() {
    const int index = macroList_->ItemIndex();
    if (index < 0) return;
    const std::wstring name = macroList_->Item(index);
    CloseLists();
    if (!MacroPhaseButtons(phase_, document_).macroList) return;
    const MacroStoreResult result =
        ChooseStoredMacro(Store(), name, document_, keyNames_, language_);
    if (!result.ok) {
        ReportFailure(result.error);
        return;
    }
    NameFromDocument();
    ShowRows();
    SetPhase(MacroPhase::StoredChosen);
}

void MacroForm::ChooseCommandEntry() {
    const int entry = commandList_->ItemIndex();
    if (entry < 0 || entry >= static_cast<int>(commandEntries_.size())) return;
    commands_->SetText(ChooseCommand(document_, commandEntries_[entry], language_));
    CloseLists();
    // A command can be inserted into a macro that has a name (the original asked the macro
    // drop-down for a selection, which a new or loaded macro never has).
    if (InsertAfterCommandChosen(phase_, !macroName_->Text().empty())) EnableButton(*imgR3_, true);
}

void MacroForm::SelectionChanged() {
    if (fillingRows_ || hooks_.Installed()) return;
    const RowSelection selection = SelectRow(document_, listView1_->SelectedIndex());
    if (selection.insertEnabled) EnableButton(*imgR3_, true);
    EnableButton(*imgR1_, selection.setDelayEnabled);
    if (selection.time1) {
        time1_->SetText(*selection.time1);
        time1_->SetEnabled(true);
    }
}

void MacroForm::ApplyTimeResult(const TimeFieldResult& result) {
    if (!result.error.empty()) {
        ReportFailure(result.error);
        return;
    }
    if (result.changed) time1_->SetText(result.time1);
}

void MacroForm::TimeUp() { ApplyTimeResult(DelayUp(time1_->Text())); }
void MacroForm::TimeDown() { ApplyTimeResult(DelayDown(time1_->Text())); }

void MacroForm::SetDelayAction() {
    SyncSelection();
    ApplyTimeResult(SetDelay(document_, time1_->Text()));
    ShowRows();
}

void MacroForm::DeleteEvent() {
    SyncSelection();
    if (DeleteSelectedEvent(document_)) ShowRows();
}
void MacroForm::MoveUp() {
    SyncSelection();
    if (MoveSelectedUp(document_)) ShowRows();
}
void MacroForm::MoveDown() {
    SyncSelection();
    if (MoveSelectedDown(document_)) ShowRows();
}

void MacroForm::InsertCommandAction() {
    if (commands_->Text().empty()) return;
    if (document_.chosenCommand < 0) return;
    SyncSelection();
    if (!CommandCapacity(document_)) {
        // Refused here rather than cut short later on the button.
        ReportFailure(
            L"This command does not fit: once its commands are expanded, a macro must "
            L"fit the 80 event bytes of a mouse button.");
        return;
    }
    if (InsertCommand(document_, language_)) ShowRows();
}

void MacroForm::OptionChanged() {
    if (ignoreOption_)
        recorder_.SetDelayMode(DelayMode::Ignore);
    else if (defaultOption_)
        recorder_.SetDelayMode(DelayMode::Default);
    else
        recorder_.SetDelayMode(DelayMode::Actual);
}

}  // namespace tavrine::forms
