#include "cli/StoreTransaction.h"

namespace cli {

using platform::SettingsHive;
using platform::SettingsValueKind;

bool StoreTransaction::Keep(std::wstring_view path) {
    Kept kept;
    kept.path = std::wstring(path);
    kept.existed = store_.KeyExists(SettingsHive::CurrentUser, path);
    if (kept.existed) {
        auto key = store_.OpenKey(SettingsHive::CurrentUser, path);
        if (!key) return false;
        for (const std::wstring& name : key->ValueNames()) {
            switch (key->KindOf(name)) {
                case SettingsValueKind::String:
                    kept.values.emplace_back(name, key->ReadString(name).value_or(L""));
                    break;
                case SettingsValueKind::Integer:
                    kept.values.emplace_back(name, key->ReadInteger(name).value_or(0));
                    break;
                case SettingsValueKind::None:
                    // A value of another registry type: not one the system writes, and not
                    // one a change here touches.
                    break;
            }
        }
    }
    kept_.push_back(std::move(kept));
    return true;
}

bool StoreTransaction::Restore() {
    bool ok = true;
    // Backwards, so a key kept after its parent is put back before the parent is removed.
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
        if (!it->existed) {
            if (store_.KeyExists(SettingsHive::CurrentUser, it->path))
                ok &= store_.DeleteKeyTree(SettingsHive::CurrentUser, it->path);
            continue;
        }
        auto key = store_.OpenKey(SettingsHive::CurrentUser, it->path);
        if (!key) {
            ok = false;
            continue;
        }
        for (const std::wstring& name : key->ValueNames()) {
            bool keptName = false;
            for (const auto& value : it->values) keptName = keptName || value.first == name;
            if (!keptName && key->KindOf(name) != SettingsValueKind::None)
                ok &= key->DeleteValue(name);
        }
        for (const auto& [name, value] : it->values) {
            if (const auto* text = std::get_if<std::wstring>(&value))
                ok &= key->WriteString(name, *text);
            else
                ok &= key->WriteInteger(name, std::get<std::int32_t>(value));
        }
    }
    return ok;
}

}  // namespace cli
