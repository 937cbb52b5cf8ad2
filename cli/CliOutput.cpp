#include "cli/CliOutput.h"

#include <nlohmann/json.hpp>

#include "cli/Bundle.h"
#include "performance/PerformanceTables.h"
#include "cli/Utf8.h"

namespace cli {

using device::ButtonRecord;
using device::FormatButtonRecord;
using device::FunctionKind;
using device::kButtonCount;
using device::kFunctionDefault;
using device::kFunctionLaunchProgram;
using device::kFunctionMacro;
using device::kFunctionSingleCommand;
using device::kProfileCount;
using device::kRepeatTimes;
using device::kRepeatUntilPressed;
using device::kRepeatWhileHeld;

using json = nlohmann::ordered_json;

namespace {

std::string FirmwareText(int version) {
    // BCD-like as USB devices give it: 0x0103 is 1.03.
    char text[16];
    std::snprintf(text, sizeof text, "%X.%02X", (version >> 8) & 0xFF, version & 0xFF);
    return text;
}

const char* KindWord(FunctionKind kind) {
    switch (kind) {
        case kFunctionDefault:
            return "default";
        case kFunctionSingleCommand:
            return "command";
        case kFunctionLaunchProgram:
            return "launch";
        default:
            return "macro";
    }
}

const char* RepeatWord(std::uint8_t mode) {
    if (mode == kRepeatWhileHeld) return "while-held";
    if (mode == kRepeatUntilPressed) return "until-pressed-again";
    return "times";
}

}  // namespace

std::string StatusText(const MouseStatus& status, std::optional<int> firmware, bool json_) {
    const int dpi = performance::DpiOfStep(status.dpiStep);
    const int hertz = PollingHertz(status.pollingCode);
    const bool wheel = status.stored.WheelLight();
    const bool logo = status.stored.LogoLight();
    if (json_) {
        json out = json::object();
        out["attached"] = true;
        out["firmware"] = firmware ? json(FirmwareText(*firmware)) : json(nullptr);
        out["profile"] = status.profile;
        out["level"] = status.levelIndex + 1;
        out["dpi"] = dpi;
        out["pollingHz"] = hertz;
        out["lights"] = {{"wheel", wheel}, {"logo", logo}};
        out["locked"] = status.locked;
        return out.dump(2) + "\n";
    }
    std::string text = "attached: yes\n";
    text += "firmware: " + (firmware ? FirmwareText(*firmware) : std::string("unknown")) + "\n";
    text += "profile: " + std::to_string(status.profile) + "\n";
    text +=
        "level: " + std::to_string(status.levelIndex + 1) + " (" + std::to_string(dpi) + " DPI)\n";
    text += "polling: " + std::to_string(hertz) + " Hz\n";
    text += std::string("lights: wheel ") + (wheel ? "on" : "off") + ", logo " +
            (logo ? "on" : "off") + "\n";
    text += std::string("lock: ") + (status.locked ? "locked" : "unlocked") + "\n";
    return text;
}

std::string DetachedStatusText(const std::wstring& why, bool json_) {
    if (json_) {
        json out = json::object();
        out["attached"] = false;
        out["reason"] = ToUtf8(why);
        return out.dump(2) + "\n";
    }
    return "attached: no (" + ToUtf8(why) + ")\n";
}

std::string ReadBackText(const MouseProfiles& profiles, bool json_) {
    if (json_) {
        json out = json::object();
        out["activeProfile"] = profiles.globals.ActiveProfile();
        json list = json::array();
        for (int p = 0; p < kProfileCount; ++p) {
            json buttons = json::array();
            for (int b = 0; b < kButtonCount; ++b) {
                const ButtonRecord& record = profiles.records[p][b];
                const ButtonFunction function = DecodeButtonRecord(record, b);
                json item = json::object();
                item["button"] = kButtonLabels[b];
                item["function"] = KindWord(function.kind);
                item["name"] = ToUtf8(function.name);
                if (function.kind == kFunctionLaunchProgram) {
                    item["launchProfile"] = function.launchProfile + 1;
                    item["launchButton"] = kButtonLabels[function.launchButton];
                }
                if (function.kind == kFunctionMacro) {
                    item["events"] = function.events;
                    item["repeat"] = RepeatWord(function.repeatMode);
                    if (function.repeatMode == kRepeatTimes) item["count"] = function.repeatCount;
                }
                item["record"] = ToUtf8(FormatButtonRecord(record));
                buttons.push_back(std::move(item));
            }
            list.push_back(json{{"profile", p + 1}, {"buttons", std::move(buttons)}});
        }
        out["profiles"] = std::move(list);
        return out.dump(2) + "\n";
    }
    std::string text;
    for (int p = 0; p < kProfileCount; ++p) {
        text += "profile " + std::to_string(p + 1) +
                (profiles.globals.ActiveProfile() == p + 1 ? " (active)" : "") + "\n";
        for (int b = 0; b < kButtonCount; ++b) {
            const ButtonFunction function = DecodeButtonRecord(profiles.records[p][b], b);
            char label[16];
            std::snprintf(label, sizeof label, "  %-7s ", kButtonLabels[b].data());
            text += label + ToUtf8(DescribeFunction(function)) + "\n";
        }
    }
    return text;
}

std::wstring ErrorLine(std::wstring_view what, std::wstring_view why) {
    std::wstring reason(why);
    while (!reason.empty() && (reason.back() == L'.' || reason.back() == L' ')) reason.pop_back();
    // A sentence's capital goes; a word in capitals ("DPI") stays.
    if (reason.size() > 1 && reason[0] >= L'A' && reason[0] <= L'Z' &&
        !(reason[1] >= L'A' && reason[1] <= L'Z'))
        reason[0] = static_cast<wchar_t>(reason[0] - L'A' + L'a');
    return L"tavrine: " + std::wstring(what) + L" failed: " + reason;
}

}  // namespace cli
