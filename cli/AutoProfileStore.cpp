#include "cli/AutoProfileStore.h"

#include <algorithm>

#include "device/SettingsLayout.h"

namespace cli {

using device::AutoProfileKeyPath;
using device::kAutoEnabledValue;
using device::kAutoFallbackValue;
using device::kAutoRuleValuePrefix;
using device::kAutoSettleValue;

using platform::SettingsHive;
using platform::SettingsStore;
using platform::SettingsValueKind;

namespace {

std::wstring RuleName(std::size_t index) {
    return std::wstring(kAutoRuleValuePrefix) + std::to_wstring(index + 1);
}

const StoredValue* Find(const StoredValues& values, std::wstring_view name) {
    for (const auto& [valueName, value] : values)
        if (SameText(valueName, name)) return &value;
    return nullptr;
}

std::optional<std::int32_t> Integer(const StoredValues& values, std::wstring_view name) {
    const StoredValue* value = Find(values, name);
    if (!value) return std::nullopt;
    if (const auto* number = std::get_if<std::int32_t>(value)) return *number;
    return std::nullopt;
}

// "3|game.exe" -> the rule; none when the text is not one.
std::optional<AutoRule> ParseRule(const std::wstring& text) {
    const std::size_t bar = text.find(L'|');
    if (bar == std::wstring::npos) return std::nullopt;
    const auto profile = ProfileNumber(std::wstring_view(text).substr(0, bar));
    AutoRule rule{text.substr(bar + 1), profile.value_or(0)};
    if (!profile || !RuleProgramProblem(rule.program).empty()) return std::nullopt;
    return rule;
}

}  // namespace

StoredValues EncodeAutoProfile(const AutoProfile& settings) {
    StoredValues values;
    values.emplace_back(std::wstring(kAutoEnabledValue), std::int32_t{settings.enabled ? 1 : 0});
    values.emplace_back(std::wstring(kAutoFallbackValue),
                        std::int32_t{settings.fallback.value_or(0)});
    if (settings.settleMs)
        values.emplace_back(std::wstring(kAutoSettleValue), std::int32_t{*settings.settleMs});
    for (std::size_t i = 0; i < settings.rules.size(); ++i)
        values.emplace_back(RuleName(i), std::to_wstring(settings.rules[i].profile) + L"|" +
                                             settings.rules[i].program);
    return values;
}

AutoProfileRead DecodeAutoProfile(const StoredValues& values) {
    AutoProfileRead read;
    AutoProfile& settings = read.settings;
    const auto note = [&read](std::wstring problem) {
        if (read.problem.empty()) read.problem = std::move(problem);
    };
    if (const auto enabled = Integer(values, kAutoEnabledValue)) settings.enabled = *enabled != 0;
    if (const auto fallback = Integer(values, kAutoFallbackValue); fallback && *fallback != 0) {
        if (*fallback >= 1 && *fallback <= 5)
            settings.fallback = *fallback;
        else
            note(L"the fallback profile " + std::to_wstring(*fallback) + L" is not 1 to 5");
    }
    if (const auto settle = Integer(values, kAutoSettleValue)) {
        if (*settle >= kMinSettleMs && *settle <= kMaxSettleMs)
            settings.settleMs = *settle;
        else
            note(L"the settling time " + std::to_wstring(*settle) + L" ms is not 0 to 60000");
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(kMaxAutoRules); ++i) {
        const StoredValue* value = Find(values, RuleName(i));
        if (!value) break;
        const auto* text = std::get_if<std::wstring>(value);
        auto rule = text ? ParseRule(*text) : std::nullopt;
        const bool repeated = rule && std::any_of(settings.rules.begin(), settings.rules.end(),
                                                  [&](const AutoRule& r) {
                                                      return SameText(r.program, rule->program);
                                                  });
        if (rule && !repeated)
            settings.rules.push_back(std::move(*rule));
        else
            note(RuleName(i) + L" is not a rule of its own (\"<profile>|<program>\"); left out");
    }
    return read;
}

bool AutoProfileStored(SettingsStore& store) {
    return store.KeyExists(SettingsHive::CurrentUser, AutoProfileKeyPath());
}

AutoProfileRead ReadAutoProfile(SettingsStore& store) {
    if (!AutoProfileStored(store)) return {};
    auto key = store.OpenKey(SettingsHive::CurrentUser, AutoProfileKeyPath());
    if (!key) return {{}, L"the automatic-profile settings cannot be read"};
    StoredValues values;
    for (const std::wstring& name : key->ValueNames()) {
        if (key->KindOf(name) == SettingsValueKind::Integer)
            values.emplace_back(name, key->ReadInteger(name).value_or(0));
        else if (key->KindOf(name) == SettingsValueKind::String)
            values.emplace_back(name, key->ReadString(name).value_or(L""));
    }
    return DecodeAutoProfile(values);
}

bool PutAutoProfile(SettingsStore& store, const AutoProfile& settings) {
    auto key = store.OpenKey(SettingsHive::CurrentUser, AutoProfileKeyPath());
    if (!key) return false;
    const StoredValues values = EncodeAutoProfile(settings);
    // Rules beyond the new last one, and a settling time no longer set, go.
    for (const std::wstring& name : key->ValueNames())
        if (!Find(values, name) && !key->DeleteValue(name)) return false;
    for (const auto& [name, value] : values) {
        const bool ok = std::holds_alternative<std::wstring>(value)
                            ? key->WriteString(name, std::get<std::wstring>(value))
                            : key->WriteInteger(name, std::get<std::int32_t>(value));
        if (!ok) return false;
    }
    return true;
}

StoreChange WriteAutoProfile(SettingsStore& store, const AutoProfile& settings) {
    StoreChange change;
    change.error = CheckAutoProfile(settings);
    if (!change.error.empty()) return change;
    return ChangeAllOrNothing(store, {std::wstring(device::kSettingsRoot), AutoProfileKeyPath()},
                              [&] { return PutAutoProfile(store, settings); });
}

}  // namespace cli
