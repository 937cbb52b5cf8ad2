#include "cli/ReadBack.h"

#include <algorithm>

#include "macro/MacroExpansion.h"
#include "macro/MacroStore.h"
#include "cli/AutoRules.h"
#include "cli/MouseReads.h"
#include "performance/PerformanceRecord.h"
#include "performance/PerformanceTables.h"
#include "device/ProfileStore.h"
#include "device/SettingsLayout.h"
#include "cli/StoreTransaction.h"

namespace cli {

using performance::IsPollingCode;
using performance::kFactoryPerformance;
using performance::kLevelCount;
using performance::kMaxDpiStep;
using performance::kMinDpiStep;
using performance::kPerformanceDefaultKey;
using performance::kPerformanceKey;
using performance::kPerformanceWriteOrder;
using performance::PerformanceField;

using device::ButtonKeyPath;
using device::ButtonRecord;
using device::ButtonRecordOffset;
using device::DefaultDescription;
using device::DefaultRecord;
using device::DeviceReportState;
using device::EepromImage;
using device::FormatButtonRecord;
using device::kAttrLast;
using device::kButtonCount;
using device::kButtonRecordSize;
using device::kDescriptionValue;
using device::kEepromImageSize;
using device::kFunctionDefault;
using device::kFunctionLaunchProgram;
using device::kFunctionMacro;
using device::kFunctionSingleCommand;
using device::kKeysValue;
using device::kLogoLightValue;
using device::kProfileAreaStart;
using device::kProfileCount;
using device::kProfileImageSize;
using device::kRepeatCountByte;
using device::kRepeatModeByte;
using device::kRepeatTimes;
using device::kRepeatUntilPressed;
using device::kRepeatWhileHeld;
using device::kSettingsRoot;
using device::kSingleCommands;
using device::kStateIdValue;
using device::kWheelLightValue;
using device::LaunchRecord;
using device::LightKeyPath;
using device::ParseButtonRecord;
using device::ParseButtonRecordText;
using device::ProfileRecordTexts;
using device::ReadLaunchFile;
using device::SingleCommandRecord;

using platform::DeviceChannel;
using platform::SettingsHive;
using platform::SettingsStore;
using platform::Waits;

namespace {

constexpr std::wstring_view kUnnamedMacro = L"Macro from the mouse";

bool IsRepeatMode(std::uint8_t mode) {
    return mode == kRepeatTimes || mode == kRepeatWhileHeld || mode == kRepeatUntilPressed;
}

// Kind, description of one slot as the store will hold it.
std::pair<std::int32_t, std::wstring> SlotValues(SettingsStore& store, const ButtonRecord& record,
                                                 int profile, int button,
                                                 const std::vector<std::wstring>& macros) {
    const ButtonFunction function = DecodeButtonRecord(record, button);
    switch (function.kind) {
        case kFunctionDefault:
            return {kFunctionDefault, std::wstring(DefaultDescription(button))};
        case kFunctionSingleCommand:
            return {kFunctionSingleCommand, function.name};
        case kFunctionLaunchProgram: {
            const std::wstring file = ReadLaunchFile(store, profile, button);
            return {kFunctionLaunchProgram,
                    file.empty() ? function.name : std::wstring(FileNameOf(file))};
        }
        default:
            break;
    }
    for (const std::wstring& name : macros) {
        const macro::MacroAssignment expanded =
            macro::ExpandMacro(macro::ReadStoredMacro(store, name), name);
        if (expanded.ok && expanded.record == record) return {kFunctionMacro, name};
    }
    // The store's own copy of this very record keeps its name.
    if (auto key = store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(profile, button))) {
        const auto keys = key->ReadString(kKeysValue);
        const auto description = key->ReadString(kDescriptionValue);
        if (keys && description && !description->empty() &&
            key->ReadInteger(kStateIdValue) == kFunctionMacro &&
            ParseButtonRecordText(*keys) == record)
            return {kFunctionMacro, *description};
    }
    return {kFunctionMacro, std::wstring(kUnnamedMacro)};
}

bool WriteGlobals(SettingsStore& store, const MouseGlobals& globals) {
    const bool created = !store.KeyExists(SettingsHive::CurrentUser, kPerformanceKey);
    auto key = store.OpenKey(SettingsHive::CurrentUser, kPerformanceKey);
    if (!key) return false;
    bool ok = true;
    if (created) {
        // The program creates both keys together at its first attach; do what it would have.
        for (const PerformanceField& field : kPerformanceWriteOrder)
            ok &= key->WriteInteger(field.name, kFactoryPerformance.*field.member);
        if (auto defaults = store.OpenKey(SettingsHive::CurrentUser, kPerformanceDefaultKey)) {
            for (const PerformanceField& field : kPerformanceWriteOrder)
                ok &= defaults->WriteInteger(field.name, kFactoryPerformance.*field.member);
        } else {
            ok = false;
        }
    }
    // Bytes outside the mouse's ranges are the mouse's own fallbacks: leave the store's values.
    if (globals.LevelNumber() <= kLevelCount)
        ok &= key->WriteInteger(L"LevelNumber", globals.LevelNumber());
    static constexpr std::array<std::wstring_view, kLevelCount> kDpiNames = {
        L"DpiLevel1", L"DpiLevel2", L"DpiLevel3", L"DpiLevel4"};
    for (int level = 1; level <= kLevelCount; ++level) {
        const int step = globals.DpiStep(level);
        if (step >= kMinDpiStep && step <= kMaxDpiStep)
            ok &= key->WriteInteger(kDpiNames[static_cast<std::size_t>(level - 1)], step);
    }
    if (IsPollingCode(globals.PollingCode()))
        ok &= key->WriteInteger(L"PollingRate", globals.PollingCode());
    auto lights = store.OpenKey(SettingsHive::CurrentUser, LightKeyPath());
    if (!lights) return false;
    ok &= lights->WriteInteger(kWheelLightValue, globals.WheelLight() ? 1 : 0);
    ok &= lights->WriteInteger(kLogoLightValue, globals.LogoLight() ? 1 : 0);
    return ok;
}

bool KeepGlobalKeys(StoreTransaction& transaction) {
    return transaction.Keep(kSettingsRoot) && transaction.Keep(kPerformanceKey) &&
           transaction.Keep(kPerformanceDefaultKey) && transaction.Keep(LightKeyPath());
}

StoreChange Finish(StoreTransaction& transaction, bool written) {
    StoreChange change;
    change.ok = written;
    if (!written)
        change.error = transaction.Restore()
                           ? L"The settings could not be written; nothing was changed."
                           : L"The settings could not be written, and not all of them could be "
                             L"put back.";
    return change;
}

}  // namespace

ProfileReadBack ReadMouseProfiles(DeviceChannel& channel, Waits& waits, DeviceReportState& state) {
    ProfileReadBack result;
    const MouseRead globals = ReadMouseRange(channel, waits, state, kGlobalsAddress, kGlobalsSize);
    if (!globals.ok()) {
        result.error = L"The mouse does not answer reads of its settings (" + globals.error + L").";
        return result;
    }
    std::copy(globals.bytes.begin(), globals.bytes.end(), result.profiles.globals.bytes.begin());
    const MouseRead area =
        ReadMouseRange(channel, waits, state, static_cast<std::uint16_t>(kProfileAreaStart),
                       static_cast<std::size_t>(kEepromImageSize));
    if (!area.ok()) {
        result.error =
            L"The mouse does not answer reads of its profile area (" + area.error + L").";
        return result;
    }
    for (int p = 0; p < kProfileCount; ++p) {
        for (int b = 0; b < kButtonCount; ++b) {
            auto& record = result.profiles.records[p][b];
            const auto from = area.bytes.begin() + p * kProfileImageSize + ButtonRecordOffset(b);
            std::copy(from, from + kButtonRecordSize, record.begin());
            // Every record the program writes carries a repeat mode; anything else is not a
            // profile the mouse was given, whatever it answered.
            if (!IsRepeatMode(record[kRepeatModeByte])) {
                result.error = L"The mouse's answers hold no button record for " + SlotName(p, b) +
                               L" (repeat byte " + L"0x" +
                               HexWord(record[kRepeatModeByte]).substr(4) +
                               L"); it does not seem to answer reads of its profile area.";
                return result;
            }
        }
    }
    result.ok = true;
    return result;
}

ButtonFunction DecodeButtonRecord(const ButtonRecord& record, int button) {
    ButtonFunction function;
    function.repeatMode = record[kRepeatModeByte];
    function.repeatCount = record[kRepeatCountByte];
    if (button >= 0 && button < kButtonCount && record == DefaultRecord(button)) {
        function.kind = kFunctionDefault;
        function.name = DefaultDescription(button).empty()
                            ? L"Button Off"
                            : std::wstring(DefaultDescription(button));
        return function;
    }
    for (std::size_t i = 0; i < kSingleCommands.size(); ++i) {
        if (record == SingleCommandRecord(i)) {
            function.kind = kFunctionSingleCommand;
            function.name = kSingleCommands[i].name;
            return function;
        }
    }
    for (int p = 0; p < kProfileCount; ++p) {
        for (int b = 0; b < kButtonCount; ++b) {
            if (record == LaunchRecord(p, b)) {
                function.kind = kFunctionLaunchProgram;
                function.name = L"Launch program";
                function.launchProfile = p;
                function.launchButton = b;
                return function;
            }
        }
    }
    function.kind = kFunctionMacro;
    function.name = L"Macro";
    for (int slot = 0; slot < kRepeatModeByte / 2; ++slot) {
        if (record[2 * slot] == 0 && record[2 * slot + 1] == 0) break;
        ++function.events;
        if (record[2 * slot + 1] & kAttrLast) break;
    }
    return function;
}

std::wstring DescribeFunction(const ButtonFunction& function) {
    switch (function.kind) {
        case kFunctionDefault:
            return L"default (" + function.name + L")";
        case kFunctionSingleCommand:
            return L"command " + function.name;
        case kFunctionLaunchProgram:
            return L"launch program (" + SlotName(function.launchProfile, function.launchButton) +
                   L")";
        default:
            break;
    }
    std::wstring text = L"macro, " + std::to_wstring(function.events) +
                        (function.events == 1 ? L" event, " : L" events, ");
    if (function.repeatMode == kRepeatWhileHeld) return text + L"repeated while held";
    if (function.repeatMode == kRepeatUntilPressed) return text + L"repeated until pressed again";
    return text + L"played " + std::to_wstring(function.repeatCount) +
           (function.repeatCount == 1 ? L" time" : L" times");
}

StoreChange RecordReadBack(SettingsStore& store, const MouseProfiles& profiles) {
    std::vector<std::wstring> macros;
    if (store.KeyExists(SettingsHive::CurrentUser, macro::MacrosKeyPath()))
        macros = store.SubkeyNames(SettingsHive::CurrentUser, macro::MacrosKeyPath());
    // Decided before anything is written: the store's old values name the records.
    std::array<std::array<std::pair<std::int32_t, std::wstring>, kButtonCount>, kProfileCount>
        slots;
    for (int p = 0; p < kProfileCount; ++p)
        for (int b = 0; b < kButtonCount; ++b)
            slots[p][b] = SlotValues(store, profiles.records[p][b], p, b, macros);

    StoreTransaction transaction(store);
    bool kept = KeepGlobalKeys(transaction);
    for (int p = 0; p < kProfileCount; ++p) {
        kept =
            kept && transaction.Keep(std::wstring(kSettingsRoot) + L"profile" + std::to_wstring(p));
        for (int b = 0; b < kButtonCount; ++b) kept = kept && transaction.Keep(ButtonKeyPath(p, b));
    }
    if (!kept) return {false, L"The settings could not be read; nothing was changed."};

    bool written = true;
    for (int p = 0; p < kProfileCount && written; ++p) {
        for (int b = 0; b < kButtonCount && written; ++b) {
            auto key = store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(p, b));
            written = key &&
                      key->WriteString(kKeysValue, FormatButtonRecord(profiles.records[p][b])) &&
                      key->WriteString(kDescriptionValue, slots[p][b].second) &&
                      key->WriteInteger(kStateIdValue, slots[p][b].first);
        }
    }
    written = written && WriteGlobals(store, profiles.globals);
    return Finish(transaction, written);
}

StoreChange RecordGlobals(SettingsStore& store, const MouseGlobals& globals) {
    StoreTransaction transaction(store);
    if (!KeepGlobalKeys(transaction))
        return {false, L"The settings could not be read; nothing was changed."};
    return Finish(transaction, WriteGlobals(store, globals));
}

std::wstring CompareWritten(const MouseProfiles& read,
                            const std::vector<std::pair<int, ProfileRecordTexts>>& written) {
    for (const auto& [profile, texts] : written) {
        if (profile < 0 || profile >= kProfileCount) continue;
        for (int b = 0; b < kButtonCount; ++b) {
            // As the write parsed it: the same rules, the same bytes.
            EepromImage image{};
            ParseButtonRecord(image, 0, texts[b]);
            if (!std::equal(read.records[profile][b].begin(), read.records[profile][b].end(),
                            image.begin()))
                return SlotName(profile, b) + L" in the mouse is not what was written";
        }
    }
    return {};
}

}  // namespace cli
