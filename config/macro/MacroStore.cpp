#include "macro/MacroStore.h"

#include <algorithm>

#include "macro/MacroRows.h"
#include "macro/MacroText.h"
#include "device/SettingsLayout.h"

namespace macro {

using platform::SettingsHive;
using platform::SettingsStore;

std::wstring MacrosKeyPath() {
    return std::wstring(device::kSettingsRoot) + std::wstring(kMacrosKeyName) + L'\\';
}

std::wstring MacroKeyPath(std::wstring_view name) { return MacrosKeyPath() + std::wstring(name); }

bool IsStorableMacroName(std::wstring_view name) {
    return !name.empty() && name.size() <= kMaxMacroNameLength &&
           name.find_first_not_of(L' ') != std::wstring_view::npos &&
           name.find(L'\\') == std::wstring_view::npos;
}

std::optional<std::vector<std::wstring>> StoredMacroNames(SettingsStore& store) {
    if (!store.OpenKey(SettingsHive::CurrentUser, MacrosKeyPath())) return std::nullopt;
    return store.SubkeyNames(SettingsHive::CurrentUser, MacrosKeyPath());
}

MacroStoreResult ChooseStoredMacro(SettingsStore& store, std::wstring_view name,
                                   MacroDocument& document, const KeyNames& names,
                                   const MacroLanguage& language) {
    MacroStoreResult result;
    std::wstring keys, mark;
    if (IsStorableMacroName(name)) {
        if (auto key = store.OpenKey(SettingsHive::CurrentUser, MacroKeyPath(name))) {
            keys = key->ReadString(device::kKeysValue).value_or(L"");
            mark = key->ReadString(kCommandSlotsValue).value_or(L"");
        }
    }
    const KeysParse parsed = ParseMacroKeys(keys);
    if (!parsed.ok) {
        result.error = parsed.error;
        return result;
    }
    document.macroName = std::wstring(name);
    document.recordName = document.macroName;
    document.image = parsed.image;
    document.commands = CommandSlotsFromMark(parsed.image, mark);
    RebuildRows(document, names, language);
    result.ok = true;
    return result;
}

bool ApplyMacro(SettingsStore& store, MacroDocument& document) {
    if (document.macroName.empty()) return false;
    MarkLast(document.image, document.RowCount(), true);
    if (!IsStorableMacroName(document.macroName)) return false;
    const std::wstring path = MacroKeyPath(document.macroName);
    const bool existed = store.KeyExists(SettingsHive::CurrentUser, path);
    auto key = store.OpenKey(SettingsHive::CurrentUser, path);
    if (!key) return false;
    bool ok = key->WriteString(device::kKeysValue, MacroImageText(document.image));
    ok &= key->WriteString(kCommandSlotsValue, CommandMarkText(document.image, document.commands));
    if (existed) ok &= key->WriteString(device::kDescriptionValue, document.macroName);
    return ok;
}

bool DeleteStoredMacro(SettingsStore& store, MacroDocument& document) {
    if (!store.OpenKey(SettingsHive::CurrentUser, MacrosKeyPath())) return false;
    if (!IsStorableMacroName(document.macroName)) return false;
    if (!store.DeleteKeyTree(SettingsHive::CurrentUser, MacroKeyPath(document.macroName)))
        return false;
    document.macroName.clear();
    document.ClearEvents();
    return true;
}

bool WriteRepeatOption(SettingsStore& store, std::wstring_view name, RepeatOption option,
                       std::wstring_view times) {
    if (!IsStorableMacroName(name)) return false;
    auto key = store.OpenKey(SettingsHive::CurrentUser, MacroKeyPath(name));
    if (!key) return false;
    switch (option) {
        case RepeatOption::Once:
            return key->WriteString(kRepeatStateValue, L"a0") &&
                   key->WriteString(kRepeatTimesValue, L"1");
        case RepeatOption::Times:
            return key->WriteString(kRepeatTimesValue, times) &&
                   key->WriteString(kRepeatStateValue, L"a0");
        case RepeatOption::WhileHeld:
            return key->WriteString(kRepeatStateValue, L"a1");
        case RepeatOption::UntilPressedAgain:
            return key->WriteString(kRepeatStateValue, L"a2");
    }
    return false;
}

}  // namespace macro
