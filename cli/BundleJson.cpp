#include "cli/BundleJson.h"

#include <nlohmann/json.hpp>

#include "cli/Utf8.h"

namespace cli {

using device::kButtonCount;
using device::kProfileCount;

using json = nlohmann::ordered_json;

namespace {

// Far beyond any real bundle (a full one is some 30 kB); keeps a stray file out of memory.
constexpr std::size_t kMaxBundleBytes = 4 * 1024 * 1024;

// Refusal carried out of the nested readers with its sentence.
struct Refusal {
    std::wstring why;
};

void PutText(json& object, const char* name, const std::optional<std::wstring>& value) {
    if (value) object[name] = ToUtf8(*value);
}
void PutNumber(json& object, const char* name, const std::optional<std::int32_t>& value) {
    if (value) object[name] = *value;
}

std::wstring Where(std::wstring_view where, const char* name) {
    return std::wstring(where) + L": \"" + FromUtf8(name) + L"\"";
}

const json* Member(const json& object, const char* name) {
    auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

std::optional<std::wstring> TakeText(const json& object, const char* name,
                                     std::wstring_view where) {
    const json* value = Member(object, name);
    if (!value) return std::nullopt;
    if (!value->is_string()) throw Refusal{Where(where, name) + L" is not a text."};
    return FromUtf8(value->get_ref<const std::string&>());
}

std::optional<std::int32_t> TakeNumber(const json& object, const char* name,
                                       std::wstring_view where) {
    const json* value = Member(object, name);
    if (!value) return std::nullopt;
    if (value->is_number_integer()) {
        // Unsigned values above the signed range are refused like any out-of-range number.
        if (value->is_number_unsigned()) {
            const auto u = value->get<std::uint64_t>();
            if (u <= static_cast<std::uint64_t>(INT32_MAX)) return static_cast<std::int32_t>(u);
        } else {
            const auto s = value->get<std::int64_t>();
            if (s >= INT32_MIN && s <= INT32_MAX) return static_cast<std::int32_t>(s);
        }
    }
    throw Refusal{Where(where, name) + L" is not a whole number."};
}

template <typename Record, std::size_t N>
void TakeFields(const json& object, const std::array<BundleField<Record>, N>& fields,
                Record& record, std::wstring_view where) {
    for (const auto& f : fields) {
        if (f.text)
            record.*f.text = TakeText(object, f.json, where);
        else
            record.*f.number = TakeNumber(object, f.json, where);
    }
}

template <typename Record, std::size_t N>
void PutFields(json& object, const std::array<BundleField<Record>, N>& fields,
               const Record& record) {
    for (const auto& f : fields) {
        if (f.text)
            PutText(object, f.json, record.*f.text);
        else
            PutNumber(object, f.json, record.*f.number);
    }
}

const json& TakeArray(const json& object, const char* name, std::wstring_view where,
                      std::optional<std::size_t> size) {
    const json* value = Member(object, name);
    if (!value || !value->is_array()) throw Refusal{Where(where, name) + L" is missing."};
    if (size && value->size() != *size)
        throw Refusal{Where(where, name) + L" holds " + std::to_wstring(value->size()) +
                      L" entries instead of " + std::to_wstring(*size) + L"."};
    return *value;
}

json AutoProfileSection(const AutoProfile& settings) {
    json section = json::object();
    section["enabled"] = settings.enabled;
    section["fallback"] = settings.fallback ? json(*settings.fallback) : json(nullptr);
    if (settings.settleMs) section["settleMs"] = *settings.settleMs;
    json rules = json::array();
    for (const AutoRule& rule : settings.rules)
        rules.push_back(json{{"program", ToUtf8(rule.program)}, {"profile", rule.profile}});
    section["rules"] = std::move(rules);
    return section;
}

AutoProfile ReadAutoProfileSection(const json& section) {
    const std::wstring where = L"The automatic profiles";
    if (!section.is_object())
        throw Refusal{L"The bundle's \"autoProfile\" is not a set of values."};
    AutoProfile settings;
    if (const json* enabled = Member(section, "enabled")) {
        if (!enabled->is_boolean())
            throw Refusal{Where(where, "enabled") + L" is not true or false."};
        settings.enabled = enabled->get<bool>();
    }
    if (const json* fallback = Member(section, "fallback"); fallback && !fallback->is_null())
        settings.fallback = TakeNumber(section, "fallback", where);
    settings.settleMs = TakeNumber(section, "settleMs", where);
    if (Member(section, "rules")) {
        const json& rules = TakeArray(section, "rules", where, std::nullopt);
        for (const json& item : rules) {
            if (!item.is_object())
                throw Refusal{L"A rule of the automatic profiles is not a rule."};
            auto program = TakeText(item, "program", L"A rule");
            auto profile = TakeNumber(item, "profile", L"A rule");
            if (!program || !profile)
                throw Refusal{
                    L"A rule of the automatic profiles lacks its \"program\" or "
                    L"\"profile\"."};
            settings.rules.push_back({*program, *profile});
        }
    }
    return settings;
}

Bundle ReadBundle(const json& root) {
    if (!root.is_object()) throw Refusal{L"The file is not a profile bundle."};
    const json* format = Member(root, "format");
    if (!format || !format->is_string() || format->get<std::string>() != kBundleFormat)
        throw Refusal{L"The file is not a profile bundle (its \"format\" is not \"" +
                      FromUtf8(kBundleFormat) + L"\")."};
    const json* version = Member(root, "version");
    if (!version || !version->is_number_integer())
        throw Refusal{L"The bundle has no version number."};
    if (version->get<std::int64_t>() != kBundleVersion)
        throw Refusal{L"The bundle is of version " + FromUtf8(version->dump()) +
                      L"; this program reads version " + std::to_wstring(kBundleVersion) + L"."};

    Bundle bundle;
    const json& profiles = TakeArray(root, "profiles", L"The bundle", kProfileCount);
    for (int p = 0; p < kProfileCount; ++p) {
        const json& profile = profiles[static_cast<std::size_t>(p)];
        const std::wstring where = L"Profile " + std::to_wstring(p + 1);
        if (!profile.is_object()) throw Refusal{where + L" is not a profile."};
        const json& buttons = TakeArray(profile, "buttons", where, kButtonCount);
        for (int b = 0; b < kButtonCount; ++b) {
            const json& item = buttons[static_cast<std::size_t>(b)];
            const std::wstring slot = SlotName(p, b);
            if (!item.is_object()) throw Refusal{slot + L" is not a button."};
            BundleButton& button = bundle.profiles[p].buttons[b];
            TakeFields(item, kButtonFields, button, slot);
            button.macro = TakeText(item, "macro", slot);
        }
    }

    if (const json* macros = Member(root, "macros")) {
        if (!macros->is_array()) throw Refusal{L"The bundle's \"macros\" is not a list."};
        for (const json& item : *macros) {
            if (!item.is_object()) throw Refusal{L"A macro of the bundle is not a macro."};
            BundleMacro macro;
            auto name = TakeText(item, "name", L"A macro");
            if (!name) throw Refusal{L"A macro of the bundle has no name."};
            macro.name = *name;
            const std::wstring where = L"The macro \"" + macro.name + L"\"";
            TakeFields(item, kMacroFields, macro, where);
            bundle.macros.push_back(std::move(macro));
        }
    }

    if (const json* performance = Member(root, "performance")) {
        if (!performance->is_object())
            throw Refusal{L"The bundle's \"performance\" is not a set of values."};
        for (std::size_t i = 0; i < performance::kPerformanceWriteOrder.size(); ++i) {
            const std::string name = ToUtf8(performance::kPerformanceWriteOrder[i].name);
            bundle.performance[i] = TakeNumber(*performance, name.c_str(), L"The performance");
        }
    }
    if (const json* lights = Member(root, "lights")) {
        if (!lights->is_object()) throw Refusal{L"The bundle's \"lights\" is not a set of values."};
        bundle.lights.wheel = TakeNumber(*lights, "wheel", L"The lights");
        bundle.lights.logo = TakeNumber(*lights, "logo", L"The lights");
    }
    if (const json* section = Member(root, "autoProfile"))
        bundle.autoProfile = ReadAutoProfileSection(*section);
    return bundle;
}

}  // namespace

std::string BundleToJson(const Bundle& bundle) {
    json root = json::object();
    root["format"] = kBundleFormat;
    root["version"] = kBundleVersion;
    json profiles = json::array();
    for (int p = 0; p < kProfileCount; ++p) {
        json buttons = json::array();
        for (int b = 0; b < kButtonCount; ++b) {
            const BundleButton& button = bundle.profiles[p].buttons[b];
            json item = json::object();
            item["button"] = kButtonLabels[b];
            PutFields(item, kButtonFields, button);
            PutText(item, "macro", button.macro);
            buttons.push_back(std::move(item));
        }
        profiles.push_back(json{{"profile", p + 1}, {"buttons", std::move(buttons)}});
    }
    root["profiles"] = std::move(profiles);
    json macros = json::array();
    for (const BundleMacro& macro : bundle.macros) {
        json item = json::object();
        item["name"] = ToUtf8(macro.name);
        PutFields(item, kMacroFields, macro);
        macros.push_back(std::move(item));
    }
    root["macros"] = std::move(macros);
    json performance = json::object();
    for (std::size_t i = 0; i < performance::kPerformanceWriteOrder.size(); ++i)
        PutNumber(performance, ToUtf8(performance::kPerformanceWriteOrder[i].name).c_str(),
                  bundle.performance[i]);
    root["performance"] = std::move(performance);
    json lights = json::object();
    PutNumber(lights, "wheel", bundle.lights.wheel);
    PutNumber(lights, "logo", bundle.lights.logo);
    root["lights"] = std::move(lights);
    if (bundle.autoProfile) root["autoProfile"] = AutoProfileSection(*bundle.autoProfile);
    return root.dump(2) + "\n";
}

std::string AutoProfileToJson(const AutoProfile& settings) {
    return AutoProfileSection(settings).dump(2) + "\n";
}

BundleParse ParseBundle(std::string_view text) {
    BundleParse result;
    if (text.size() > kMaxBundleBytes) {
        result.error = L"The file is too large to be a profile bundle.";
        return result;
    }
    json root = json::parse(text.begin(), text.end(), nullptr, false);
    if (root.is_discarded()) {
        result.error = L"The file is not complete JSON (cut short or damaged).";
        return result;
    }
    try {
        result.bundle = ReadBundle(root);
    } catch (const Refusal& refusal) {
        result.error = refusal.why;
        return result;
    }
    result.error = CheckBundle(result.bundle);
    result.ok = result.error.empty();
    return result;
}

}  // namespace cli
