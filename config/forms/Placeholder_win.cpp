#include "Placeholder_win.h"

#include "Mainform_win.h"
#include "ui/LanguageTables.h"

namespace tavrine::forms {
namespace {

ui::FormOptions Options(AppContext& app, const PlaceholderLayout& layout) {
    ui::FormOptions options;
    options.name = layout.name;
    options.caption = layout.name;
    options.clientWidth = layout.width;
    options.clientHeight = layout.height;
    options.placement = layout.placement;
    options.left = layout.left;
    options.top = layout.top;
    options.topmost = layout.topmost;
    options.owner = app.mainForm ? &app.mainForm->Window() : nullptr;
    return options;
}

}  // namespace

PlaceholderDialog::PlaceholderDialog(AppContext& app, PlaceholderLayout layout)
    : app_(app), layout_(std::move(layout)), form_(Options(app, layout_)) {
    form_.SetSkinFolder(ui::SkinFolder(app_.installPath, layout_.skin));
    if (!layout_.background.empty()) {
        auto background = std::make_unique<ui::Image>(
            form_, layout_.background, ui::Rect{0, 0, layout_.width, layout_.height});
        background->SetDragsForm(true);
        images_.push_back(std::move(background));
    }
    for (const auto& button : layout_.closeButtons) {
        auto image = std::make_unique<ui::Image>(form_, button.name, button.bounds);
        image->OnMouseEnter = [this](ui::Control& c) { form_.LoadSkinPicture(c, L"1.bmp"); };
        image->OnMouseLeave = [this](ui::Control& c) { form_.LoadSkinPicture(c, L"0.bmp"); };
        image->OnMouseDown = [this](ui::Control& c, const ui::MouseArgs&) {
            form_.LoadSkinPicture(c, L"2.bmp");
        };
        image->OnMouseUp = [this](ui::Control& c, const ui::MouseArgs&) {
            form_.LoadSkinPicture(c, L"0.bmp");
            form_.Hide();
        };
        images_.push_back(std::move(image));
    }
    form_.LoadBuiltinPictures(ui::SkinFolderName(layout_.skin));
    form_.ApplyBuiltinHints();
    form_.ApplyLanguageHints(app_.language);

    if (layout_.disablesMain) {
        form_.OnShow = [this](ui::Form&) {
            if (app_.mainForm) app_.mainForm->Window().SetEnabled(false);
        };
        form_.OnHide = [this](ui::Form&) {
            if (app_.mainForm) app_.mainForm->Window().SetEnabled(true);
        };
    }
    form_.OnClose = [this](ui::Form&) { form_.Hide(); };
}

PlaceholderLayout TKeyLayout() {
    return {L"TKey",
            281,
            328,
            ui::Placement::OwnerCenter,
            0,
            0,
            false,
            true,
            ui::SkinFolderId::Tkey,
            L"Img_TKey",
            {{L"Img_Ok", {42, 272, 91, 26}}, {L"Img_Cancel", {145, 272, 91, 26}}}};
}

PlaceholderLayout RepeatCountLayout() {
    return {L"RepeatCount",
            280,
            123,
            ui::Placement::OwnerCenter,
            0,
            0,
            false,
            false,
            ui::SkinFolderId::Tkey,
            L"Image1",
            {{L"Img_Ok", {40, 77, 91, 26}}, {L"Img_Cancel", {137, 77, 91, 26}}}};
}

PlaceholderLayout MacroFormLayout() {
    return {L"MacroForm",
            604,
            475,
            ui::Placement::Designed,
            44,
            0,
            false,
            true,
            ui::SkinFolderId::Macro,
            L"Image1",
            {{L"Img_Ok", {283, 426, 91, 26}}, {L"Img_Cancel", {386, 426, 91, 26}}}};
}

PlaceholderLayout NewMacroLayout() {
    return {L"NewMacroForm",
            340,
            166,
            ui::Placement::OwnerCenter,
            0,
            0,
            false,
            false,
            ui::SkinFolderId::Macro,
            L"Img_NewMacro",
            {{L"Img_Ok", {69, 119, 91, 26}}, {L"Img_Cancel", {172, 119, 91, 26}}}};
}

}  // namespace tavrine::forms
