#include "cli/BundleStore.h"

#include <algorithm>
#include <cwctype>

#include "macro/MacroStore.h"
#include "macro/MacroText.h"
#include "device/RecordTemplates.h"
#include "device/SettingsLayout.h"
#include "cli/StoreTransaction.h"
#include "cli/AutoProfileStore.h"

namespace cli {

using performance::kFactoryPerformance;
using performance::kPerformanceDefaultKey;
using performance::kPerformanceKey;
using performance::kPerformanceWriteOrder;
using performance::PerformanceField;

using macro::MacroKeyPath;
using macro::MacrosKeyPath;

using device::ButtonKeyPath;
using device::kButtonCount;
using device::kFunctionMacro;
using device::kLogoLightValue;
using device::kProfileCount;
using device::kSettingsRoot;
using device::kWheelLightValue;
using device::LightKeyPath;

using platform::SettingsHive;
using platform::SettingsKey;
using platform::SettingsStore;

namespace {

std::wstring ProfileKeyPath(int profile) {
    return std::wstring(kSettingsRoot) + L"profile" + std::to_wstring(profile);
}

std::optional<std::wstring> Text(const SettingsKey& key, std::wstring_view name) {
    return key.ReadString(name);
}

// Writes or deletes one value; false when the store refused.
bool Put(SettingsKey& key, std::wstring_view name, const std::optional<std::wstring>& value) {
    if (value) return key.WriteString(name, *value);
    return !key.ValueExists(name) || key.DeleteValue(name);
}
bool Put(SettingsKey& key, std::wstring_view name, const std::optional<std::int32_t>& value) {
    if (value) return key.WriteInteger(name, *value);
    return !key.ValueExists(name) || key.DeleteValue(name);
}

template <typename Record, std::size_t N>
bool PutFields(SettingsKey& key, const std::array<BundleField<Record>, N>& fields,
               const Record& record) {
    for (const auto& f : fields)
        if (!(f.text ? Put(key, f.value, record.*f.text) : Put(key, f.value, record.*f.number)))
            return false;
    return true;
}

template <typename Record, std::size_t N>
void ReadFields(const SettingsKey& key, const std::array<BundleField<Record>, N>& fields,
                Record& record) {
    for (const auto& f : fields) {
        if (f.text)
            record.*f.text = Text(key, f.value);
        else
            record.*f.number = key.ReadInteger(f.value);
    }
}

bool AnyPresent(const BundlePerformance& performance) {
    return std::any_of(performance.begin(), performance.end(),
                       [](const auto& value) { return value.has_value(); });
}

// The store writes of an import, in order; false at the first refusal.
bool WriteBundle(SettingsStore& store, const Bundle& bundle) {
    for (int p = 0; p < kProfileCount; ++p) {
        for (int b = 0; b < kButtonCount; ++b) {
            const BundleButton& button = bundle.profiles[p].buttons[b];
            auto key = store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(p, b));
            if (!key || !PutFields(*key, kButtonFields, button)) return false;
        }
    }
    for (const BundleMacro& macro : bundle.macros) {
        auto key = store.OpenKey(SettingsHive::CurrentUser, MacroKeyPath(macro.name));
        if (!key || !PutFields(*key, kMacroFields, macro)) return false;
    }
    if (AnyPresent(bundle.performance)) {
        // The program creates both keys together; a store without them gets the factory
        // defaults beside the imported values, as its first attach would have written.
        if (!store.KeyExists(SettingsHive::CurrentUser, kPerformanceDefaultKey)) {
            auto defaults = store.OpenKey(SettingsHive::CurrentUser, kPerformanceDefaultKey);
            if (!defaults) return false;
            for (const PerformanceField& field : kPerformanceWriteOrder)
                if (!defaults->WriteInteger(field.name, kFactoryPerformance.*field.member))
                    return false;
        }
        auto key = store.OpenKey(SettingsHive::CurrentUser, kPerformanceKey);
        if (!key) return false;
        for (std::size_t i = 0; i < kPerformanceWriteOrder.size(); ++i)
            if (!Put(*key, kPerformanceWriteOrder[i].name, bundle.performance[i])) return false;
    }
    if (bundle.lights.wheel || bundle.lights.logo) {
        auto key = store.OpenKey(SettingsHive::CurrentUser, LightKeyPath());
        if (!key || !Put(*key, kWheelLightValue, bundle.lights.wheel) ||
            !Put(*key, kLogoLightValue, bundle.lights.logo))
            return false;
    }
    if (bundle.autoProfile && !PutAutoProfile(store, *bundle.autoProfile)) return false;
    return true;
}

}  // namespace

Bundle ExportBundle(SettingsStore& store) {
    Bundle bundle;
    const auto has = [&store](std::wstring_view path) {
        return store.KeyExists(SettingsHive::CurrentUser, path);
    };
    std::vector<std::wstring> macroNames;
    if (has(MacrosKeyPath()))
        macroNames = store.SubkeyNames(SettingsHive::CurrentUser, MacrosKeyPath());
    for (const std::wstring& name : macroNames) {
        auto key = store.OpenKey(SettingsHive::CurrentUser, MacroKeyPath(name));
        if (!key) continue;
        BundleMacro macro;
        macro.name = name;
        ReadFields(*key, kMacroFields, macro);
        bundle.macros.push_back(std::move(macro));
    }
    const auto storedMacro = [&macroNames](std::wstring_view name) -> std::optional<std::wstring> {
        for (const std::wstring& stored : macroNames)
            if (stored.size() == name.size() &&
                std::equal(stored.begin(), stored.end(), name.begin(), [](wchar_t a, wchar_t c) {
                    return std::towlower(static_cast<std::wint_t>(a)) ==
                           std::towlower(static_cast<std::wint_t>(c));
                }))
                return stored;
        return std::nullopt;
    };

    for (int p = 0; p < kProfileCount; ++p) {
        for (int b = 0; b < kButtonCount; ++b) {
            const std::wstring path = ButtonKeyPath(p, b);
            if (!has(path)) continue;
            auto key = store.OpenKey(SettingsHive::CurrentUser, path);
            if (!key) continue;
            BundleButton& button = bundle.profiles[p].buttons[b];
            ReadFields(*key, kButtonFields, button);
            // A macro assignment carries the macro's name as its description; the macro goes
            // along when it is still stored (the record itself needs it not).
            if (button.kind == kFunctionMacro && button.description)
                button.macro = storedMacro(*button.description);
        }
    }
    if (has(kPerformanceKey)) {
        if (auto key = store.OpenKey(SettingsHive::CurrentUser, kPerformanceKey))
            for (std::size_t i = 0; i < kPerformanceWriteOrder.size(); ++i)
                bundle.performance[i] = key->ReadInteger(kPerformanceWriteOrder[i].name);
    }
    if (has(LightKeyPath())) {
        if (auto key = store.OpenKey(SettingsHive::CurrentUser, LightKeyPath())) {
            bundle.lights.wheel = key->ReadInteger(kWheelLightValue);
            bundle.lights.logo = key->ReadInteger(kLogoLightValue);
        }
    }
    // Values a bundle could not carry are left out, as the watcher leaves them out.
    if (AutoProfileStored(store)) bundle.autoProfile = ReadAutoProfile(store).settings;
    return bundle;
}

StoreChange ApplyBundle(SettingsStore& store, const Bundle& bundle) {
    StoreChange change;
    change.error = CheckBundle(bundle);
    if (!change.error.empty()) return change;

    std::vector<std::wstring> paths = {std::wstring(kSettingsRoot)};
    for (int p = 0; p < kProfileCount; ++p) {
        paths.push_back(ProfileKeyPath(p));
        for (int b = 0; b < kButtonCount; ++b) paths.push_back(ButtonKeyPath(p, b));
    }
    paths.push_back(MacrosKeyPath());
    for (const BundleMacro& macro : bundle.macros) paths.push_back(MacroKeyPath(macro.name));
    paths.push_back(std::wstring(kPerformanceKey));
    paths.push_back(std::wstring(kPerformanceDefaultKey));
    paths.push_back(LightKeyPath());
    paths.push_back(device::AutoProfileKeyPath());
    return ChangeAllOrNothing(store, paths, [&] { return WriteBundle(store, bundle); });
}

StoreChange ChangeAllOrNothing(SettingsStore& store, const std::vector<std::wstring>& paths,
                               const std::function<bool()>& write) {
    StoreChange change;
    StoreTransaction transaction(store);
    for (const std::wstring& path : paths) {
        if (!transaction.Keep(path)) {
            change.error = L"The settings could not be read; nothing was changed.";
            return change;
        }
    }
    if (!write()) {
        change.error = transaction.Restore()
                           ? L"The settings could not be written; nothing was changed."
                           : L"The settings could not be written, and not all of them could be "
                             L"put back.";
        return change;
    }
    change.ok = true;
    return change;
}

}  // namespace cli
