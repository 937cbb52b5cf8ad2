#include "cli/AutoRules.h"

#include <algorithm>

#include "device/EEPROMAddress.h"

namespace cli {

namespace {

constexpr int kProfiles = device::kProfileCount;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool SameChar(wchar_t a, wchar_t b) {
    if (IsSeparator(a) && IsSeparator(b)) return true;
    return FoldCase(a) == FoldCase(b);
}

}  // namespace

wchar_t FoldCase(wchar_t c) {
    const auto u = static_cast<unsigned>(c);
    if (u >= L'A' && u <= L'Z') return static_cast<wchar_t>(u + 32);
    // Latin-1: À..Þ without the multiplication sign.
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<wchar_t>(u + 32);
    // Latin Extended-A: capital at the even place, small after it (Ĳ..ķ and Ŋ..ŷ alike)...
    if ((u >= 0x100 && u <= 0x137) || (u >= 0x14A && u <= 0x177))
        return static_cast<wchar_t>(u | 1);
    // ...and at the odd place in Ĺ..ň and Ź..ž.
    if ((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E))
        return static_cast<wchar_t>(u % 2 ? u + 1 : u);
    if (u == 0x178) return static_cast<wchar_t>(0xFF);  // Ÿ
    // Greek capitals (no final sigma among them).
    if (u >= 0x391 && u <= 0x3AB && u != 0x3A2) return static_cast<wchar_t>(u + 32);
    // Cyrillic: Ѐ..Џ and А..Я.
    if (u >= 0x400 && u <= 0x40F) return static_cast<wchar_t>(u + 80);
    if (u >= 0x410 && u <= 0x42F) return static_cast<wchar_t>(u + 32);
    return c;
}

bool SameText(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameChar);
}

bool WildcardMatch(std::wstring_view pattern, std::wstring_view text) {
    // Greedy with one back-track point: each `*` only moves the point on, so the work stays
    // linear in pattern times text however many stars there are.
    std::size_t p = 0, t = 0;
    std::size_t star = std::wstring_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && SameChar(pattern[p], text[t])) {
            ++p;
            ++t;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

std::wstring_view FileNameOf(std::wstring_view path) {
    const std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring_view::npos ? path : path.substr(cut + 1);
}

bool RuleMatches(std::wstring_view program, std::wstring_view imagePath) {
    if (program.empty() || imagePath.empty()) return false;
    const bool hasFolder = program.find_first_of(L"\\/") != std::wstring_view::npos;
    return WildcardMatch(program, hasFolder ? imagePath : FileNameOf(imagePath));
}

std::optional<int> ProfileFor(const AutoProfile& settings, std::wstring_view imagePath) {
    if (imagePath.empty()) return std::nullopt;
    for (const AutoRule& rule : settings.rules)
        if (RuleMatches(rule.program, imagePath)) return rule.profile;
    return settings.fallback;
}

std::wstring RuleProgramProblem(std::wstring_view program) {
    if (program.empty()) return L"the program is empty";
    if (program.size() > kMaxRuleProgramLength)
        return L"the program is longer than 1024 characters";
    if (program.front() == L' ' || program.back() == L' ')
        return L"the program starts or ends with a space";
    for (wchar_t c : program) {
        // `|` separates the profile from the program in the stored rule; the others cannot be
        // in a Windows path.
        if (c < 0x20 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?')
            return L"\"" + std::wstring(program) + L"\" holds a character a program path cannot";
    }
    if (FileNameOf(program).empty()) return L"\"" + std::wstring(program) + L"\" names no file";
    return {};
}

std::wstring CheckAutoProfile(const AutoProfile& settings) {
    if (settings.rules.size() > static_cast<std::size_t>(kMaxAutoRules))
        return L"more than " + std::to_wstring(kMaxAutoRules) + L" rules";
    if (settings.fallback && (*settings.fallback < 1 || *settings.fallback > kProfiles))
        return L"the fallback profile " + std::to_wstring(*settings.fallback) + L" is not 1 to 5";
    if (settings.settleMs &&
        (*settings.settleMs < kMinSettleMs || *settings.settleMs > kMaxSettleMs))
        return L"the settling time " + std::to_wstring(*settings.settleMs) +
               L" ms is not 0 to 60000";
    for (std::size_t i = 0; i < settings.rules.size(); ++i) {
        const AutoRule& rule = settings.rules[i];
        const std::wstring which = L"rule " + std::to_wstring(i + 1);
        if (auto problem = RuleProgramProblem(rule.program); !problem.empty())
            return which + L": " + problem;
        if (rule.profile < 1 || rule.profile > kProfiles)
            return which + L": the profile " + std::to_wstring(rule.profile) + L" is not 1 to 5";
        for (std::size_t j = 0; j < i; ++j)
            if (SameText(settings.rules[j].program, rule.program))
                return which + L": \"" + rule.program + L"\" has a rule already (rule " +
                       std::to_wstring(j + 1) + L")";
    }
    return {};
}

std::optional<int> ProfileNumber(std::wstring_view text) {
    if (text.size() != 1 || text[0] < L'1' || text[0] > L'0' + kProfiles) return std::nullopt;
    return text[0] - L'0';
}

std::wstring AddRule(AutoProfile& settings, std::wstring_view program, int profile) {
    if (auto problem = RuleProgramProblem(program); !problem.empty()) return problem;
    if (profile < 1 || profile > kProfiles) return L"the profile is 1 to 5";
    AutoProfile changed = settings;
    auto same = std::find_if(changed.rules.begin(), changed.rules.end(),
                             [&](const AutoRule& rule) { return SameText(rule.program, program); });
    if (same != changed.rules.end()) {
        same->program = std::wstring(program);
        same->profile = profile;
    } else {
        changed.rules.push_back({std::wstring(program), profile});
    }
    if (auto problem = CheckAutoProfile(changed); !problem.empty()) return problem;
    settings = std::move(changed);
    return {};
}

bool RemoveRule(AutoProfile& settings, std::wstring_view program) {
    const auto before = settings.rules.size();
    std::erase_if(settings.rules,
                  [&](const AutoRule& rule) { return SameText(rule.program, program); });
    return settings.rules.size() != before;
}

}  // namespace cli
