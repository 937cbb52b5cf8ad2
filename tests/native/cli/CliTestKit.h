#pragma once
// A store filled as the configuration program leaves it after some use, and a dump of a store
// to compare whole stores by.
#include <map>
#include <string>

#include "macro/MacroExpansion.h"
#include "macro/MacroStore.h"
#include "macro/MacroText.h"
#include "platform/MemorySettingsStore.h"
#include "performance/PerformanceRecord.h"
#include "device/RecordTemplates.h"
#include "device/SettingsLayout.h"

// path -> value name -> value text ("s:" or "i:" before it), for every key below the root.
inline std::map<std::wstring, std::map<std::wstring, std::wstring>> DumpStore(
    platform::SettingsStore& store, std::wstring path = L"\\SOFTWARE\\Tavrine5502") {
    std::map<std::wstring, std::map<std::wstring, std::wstring>> dump;
    if (!store.KeyExists(platform::SettingsHive::CurrentUser, path)) return dump;
    auto key = store.OpenKey(platform::SettingsHive::CurrentUser, path);
    auto& values = dump[path];
    for (const auto& name : key->ValueNames()) {
        if (auto s = key->ReadString(name)) values[name] = L"s:" + *s;
        if (auto i = key->ReadInteger(name)) values[name] = L"i:" + std::to_wstring(*i);
    }
    for (const auto& sub : store.SubkeyNames(platform::SettingsHive::CurrentUser, path))
        dump.merge(DumpStore(store, path + L"\\" + sub));
    return dump;
}

inline void SeedSlot(platform::MemorySettingsStore& store, int p, int b, const std::wstring& keys,
                     const std::wstring& des, std::int32_t kind) {
    store.Seed(platform::SettingsHive::CurrentUser, device::ButtonKeyPath(p, b), device::kKeysValue,
               keys);
    store.Seed(platform::SettingsHive::CurrentUser, device::ButtonKeyPath(p, b),
               device::kDescriptionValue, des);
    store.Seed(platform::SettingsHive::CurrentUser, device::ButtonKeyPath(p, b),
               device::kStateIdValue, kind);
}

// Defaults everywhere; profile 1's first side button "Forward"; profile 2's second side button
// the macro "Grüße" (a press and release of A, played while held); profile 3's middle button a
// launch program; performance values and lights.
inline device::ButtonRecord SeedUsedStore(platform::MemorySettingsStore& store) {
    for (int p = 0; p < device::kProfileCount; ++p)
        for (int b = 0; b < device::kButtonCount; ++b)
            SeedSlot(store, p, b, device::DefaultRecordText(b),
                     std::wstring(device::DefaultDescription(b)), device::kFunctionDefault);
    SeedSlot(store, 0, 3, device::SingleCommandRecordText(6), L"Forward",
             device::kFunctionSingleCommand);

    macro::MacroImage image{};
    image[0] = 0x04;
    image[1] = 0x02;
    image[2] = 0x04;
    image[3] = 0x80 | 0x40;
    const std::wstring macro = macro::MacroKeyPath(L"Grüße");
    store.Seed(platform::SettingsHive::CurrentUser, macro, device::kKeysValue,
               macro::MacroImageText(image));
    store.Seed(platform::SettingsHive::CurrentUser, macro, macro::kRepeatStateValue, L"a1");
    store.Seed(platform::SettingsHive::CurrentUser, macro, macro::kRepeatTimesValue, L"1");
    const macro::MacroAssignment assigned =
        macro::ExpandMacro(macro::ReadStoredMacro(store, L"Grüße"), L"Grüße");
    SeedSlot(store, 1, 4, assigned.recordText, L"Grüße", device::kFunctionMacro);
    // A second stored macro no button uses.
    store.Seed(platform::SettingsHive::CurrentUser, macro::MacroKeyPath(L"spare"),
               device::kKeysValue, macro::MacroImageText(image));

    SeedSlot(store, 2, 2, device::LaunchRecordText(2, 2), L"notepad.exe",
             device::kFunctionLaunchProgram);
    store.Seed(platform::SettingsHive::CurrentUser, device::ButtonKeyPath(2, 2),
               device::kFilePathValue, L"C:\\Windows\\notepad.exe");
    for (const performance::PerformanceField& field : performance::kPerformanceWriteOrder)
        store.Seed(platform::SettingsHive::CurrentUser, performance::kPerformanceKey, field.name,
                   performance::PerformanceRecord{2, 5, 9, 16, 30, 1, 400, 12, 3, 0}.*field.member);
    for (const performance::PerformanceField& field : performance::kPerformanceWriteOrder)
        store.Seed(platform::SettingsHive::CurrentUser, performance::kPerformanceDefaultKey,
                   field.name, performance::kFactoryPerformance.*field.member);
    store.Seed(platform::SettingsHive::CurrentUser, device::LightKeyPath(),
               device::kWheelLightValue, 0);
    store.Seed(platform::SettingsHive::CurrentUser, device::LightKeyPath(), device::kLogoLightValue,
               1);
    return assigned.record;
}
