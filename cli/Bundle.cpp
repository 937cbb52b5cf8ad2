#include "cli/Bundle.h"

#include <cwctype>
#include <set>

#include "macro/MacroStore.h"
#include "macro/MacroText.h"
#include "device/RecordTemplates.h"
#include "device/SettingsLayout.h"

namespace cli {

using device::kButtonCount;
using device::kButtonRecordSize;
using device::kFunctionLaunchProgram;
using device::kFunctionMacro;
using device::kFunctionNone;
using device::kProfileCount;
using device::ProfileHasLeftButton;
using device::ProfileRecordTexts;

namespace {

constexpr std::size_t kMaxTextLength = 255;
constexpr std::size_t kMaxPathLength = 32767;  // the longest path Windows takes
constexpr std::size_t kMaxKeysLength = 1024;

constexpr std::array<std::wstring_view, kButtonCount> kButtonWords = {
    L"left button", L"right button", L"middle button", L"first side button", L"second side button"};

std::wstring Folded(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return out;
}

bool IsHex(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// A record's text as the program writes it: 82 numbers of one or two hex digits, separated by
// single spaces (a trailing space allowed). The empty text of a slot never assigned is allowed
// too. Gives the reason when the text is not one.
std::wstring RecordTextProblem(std::wstring_view text) {
    if (text.empty()) return {};
    if (text.back() == L' ') text.remove_suffix(1);
    int count = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L' ', start);
        if (end == std::wstring_view::npos) end = text.size();
        const auto token = text.substr(start, end - start);
        if (token.empty() || token.size() > 2) return L"holds a number that is not one byte";
        for (wchar_t c : token)
            if (!IsHex(c)) return L"holds something that is not a hexadecimal number";
        ++count;
        start = end + 1;
    }
    if (count != kButtonRecordSize)
        return L"holds " + std::to_wstring(count) + L" numbers instead of " +
               std::to_wstring(kButtonRecordSize);
    return {};
}

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

std::wstring CheckButton(const BundleButton& button, int profile, int b,
                         const std::set<std::wstring>& macroNames) {
    const std::wstring slot = SlotName(profile, b);
    if (button.keys) {
        if (auto problem = RecordTextProblem(*button.keys); !problem.empty())
            return slot + L": the button record " + problem + L".";
    }
    if (button.description && button.description->size() > kMaxTextLength)
        return slot + L": the description is longer than 255 characters.";
    if (button.kind && (*button.kind < kFunctionNone || *button.kind > kFunctionLaunchProgram))
        return slot + L": the function kind " + std::to_wstring(*button.kind) + L" is unknown.";
    if (button.launchPath && button.launchPath->size() > kMaxPathLength)
        return slot + L": the program path is too long.";
    if (button.macro) {
        if (button.kind != kFunctionMacro)
            return slot + L": names a macro but is not a macro assignment.";
        if (!macroNames.count(Folded(*button.macro)))
            return slot + L": uses the macro " + Quoted(*button.macro) +
                   L", which the bundle does not hold.";
    }
    return {};
}

std::wstring CheckMacro(const BundleMacro& macro, std::set<std::wstring>& seen) {
    if (!macro::IsStorableMacroName(macro.name))
        return L"The macro name " + Quoted(macro.name) + L" cannot be stored.";
    if (!seen.insert(Folded(macro.name)).second)
        return L"The macro " + Quoted(macro.name) + L" is in the bundle twice.";
    const std::wstring which = L"The macro " + Quoted(macro.name);
    if (macro.keys) {
        if (macro.keys->size() > kMaxKeysLength || !macro::ParseMacroKeys(*macro.keys).ok)
            return which + L" holds events that are not a macro's.";
    }
    for (const auto* text : {&macro.commandSlots, &macro.description})
        if (*text && (*text)->size() > kMaxTextLength)
            return which + L" holds a text longer than 255 characters.";
    if (macro.repeatState && *macro.repeatState != L"a0" && *macro.repeatState != L"a1" &&
        *macro.repeatState != L"a2")
        return which + L" has an unknown repeat mode " + Quoted(*macro.repeatState) + L".";
    if (macro.repeatTimes) {
        const auto& times = *macro.repeatTimes;
        bool digits = !times.empty() && times.size() <= 3;
        for (wchar_t c : times) digits = digits && c >= L'0' && c <= L'9';
        if (!digits) return which + L" has a repeat count that is not a number up to 999.";
    }
    return {};
}

}  // namespace

std::wstring SlotName(int profile, int button) {
    return L"profile " + std::to_wstring(profile + 1) + L", " +
           std::wstring(kButtonWords.at(static_cast<std::size_t>(button)));
}

std::wstring CheckBundle(const Bundle& bundle) {
    std::set<std::wstring> macroNames;
    for (const BundleMacro& macro : bundle.macros)
        if (auto problem = CheckMacro(macro, macroNames); !problem.empty()) return problem;
    for (int p = 0; p < kProfileCount; ++p)
        for (int b = 0; b < kButtonCount; ++b)
            if (auto problem = CheckButton(bundle.profiles[p].buttons[b], p, b, macroNames);
                !problem.empty())
                return problem;
    for (std::size_t i = 0; i < bundle.performance.size(); ++i) {
        const auto& value = bundle.performance[i];
        const performance::PerformanceField& field = performance::kPerformanceWriteOrder[i];
        if (value && (*value < field.low || *value > field.high))
            return L"The performance value " + std::wstring(field.name) + L" is " +
                   std::to_wstring(*value) + L", outside " + std::to_wstring(field.low) + L".." +
                   std::to_wstring(field.high) + L".";
    }
    for (const auto* light : {&bundle.lights.wheel, &bundle.lights.logo})
        if (*light && **light != 0 && **light != 1)
            return L"A light is neither 0 (off) nor 1 (on).";
    if (bundle.autoProfile)
        if (auto problem = CheckAutoProfile(*bundle.autoProfile); !problem.empty())
            return L"The automatic profiles: " + problem + L".";
    return {};
}

std::wstring CheckBundleForMouse(const Bundle& bundle) {
    for (int p = 0; p < kProfileCount; ++p) {
        ProfileRecordTexts texts;
        for (int b = 0; b < kButtonCount; ++b)
            texts[b] = bundle.profiles[p].buttons[b].keys.value_or(L"");
        if (!ProfileHasLeftButton(texts))
            return L"Profile " + std::to_wstring(p + 1) +
                   L" has no button with the left-button function; the mouse would be left "
                   L"without one.";
    }
    return {};
}

}  // namespace cli
