#include "macro/MacroDialogs.h"

#include <algorithm>

#include "macro/MacroNumbers.h"
#include "macro/MacroStore.h"

namespace macro {

NewMacroResult AcceptNewMacroName(platform::SettingsStore& store, std::wstring_view name,
                                  MacroDocument& document) {
    NewMacroResult result;
    // A name of spaces only would make a key nobody can tell from an empty name.
    if (name.find_first_not_of(L' ') == std::wstring_view::npos) return result;
    result.enableEditor = true;
    if (name.find_first_of(L"\"*/:<>?\\|") != std::wstring_view::npos) {
        result.outcome = NewMacroOutcome::Refused;
        result.notice = device::Notice::BadMacroName;
        result.message = std::wstring(kInvalidNameText);
        return result;
    }
    if (name.size() > kMaxMacroNameLength) {
        result.outcome = NewMacroOutcome::Refused;
        result.notice = device::Notice::BadMacroName;
        result.message = std::wstring(kNameTooLongText);
        return result;
    }
    result.outcome = NewMacroOutcome::StoreFailed;
    if (!store.OpenKey(platform::SettingsHive::CurrentUser, MacrosKeyPath())) return result;
    const std::wstring path = MacroKeyPath(name);
    if (store.KeyExists(platform::SettingsHive::CurrentUser, path)) {
        result.outcome = NewMacroOutcome::Refused;
        result.notice = device::Notice::MacroExists;
        result.message = std::wstring(kNameExistsText);
        return result;
    }
    if (!store.OpenKey(platform::SettingsHive::CurrentUser, path)) return result;
    document.macroName = std::wstring(name);
    document.ClearEvents();
    result.outcome = NewMacroOutcome::Created;
    return result;
}

namespace {

// The field as an integer: optional sign and digits; nothing for any other text.
std::optional<long> ReadInteger(std::wstring_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i == text.size()) return std::nullopt;
    long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        value = std::min(value * 10 + (text[i] - L'0'), 1000000L);
    }
    return negative ? -value : value;
}

}  // namespace

RepeatCountResult RepeatCountFromText(std::wstring_view edit) {
    RepeatCountResult result;
    const auto value = ReadInteger(edit);
    if (!value) {
        result.edit = std::wstring(edit);
        result.error = L"'" + std::wstring(edit) + L"' is not a valid integer value.";
        return result;
    }
    result.ok = true;
    if (*value <= 0)
        result.edit = L"1";
    else if (*value >= 255)
        result.edit = L"254";
    else
        result.edit = std::wstring(edit);
    result.countText = result.edit;
    return result;
}

}  // namespace macro
