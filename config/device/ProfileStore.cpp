#include "device/ProfileStore.h"

#include "device/SettingsLayout.h"

namespace device {

using platform::SettingsHive;
using platform::SettingsStore;

namespace {

bool ValidSlot(int profile, int button) {
    return profile >= 0 && profile < kProfileCount && button >= 0 && button < kButtonCount;
}

// Descriptions are shown in a fixed-size field; cut what the store may hold beyond it.
std::wstring Bounded(std::wstring text) {
    if (text.size() > kMaxDescriptionLength) text.resize(kMaxDescriptionLength);
    return text;
}

}  // namespace

bool LoadProfile(SettingsStore& store, int profile, MainState& state) {
    if (profile < 0 || profile >= kProfileCount) return false;
    for (int b = 0; b < kButtonCount; ++b) {
        std::wstring keys;
        if (auto key = store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(profile, b))) {
            keys = key->ReadString(kKeysValue).value_or(L"");
            auto& slot = state.slotTable[profile][b];
            slot.description = Bounded(key->ReadString(kDescriptionValue).value_or(L""));
            slot.kind = key->ReadInteger(kStateIdValue).value_or(kFunctionNone);
        }
        state.recordTexts[b] = std::move(keys);
    }
    if (auto key = store.OpenKey(SettingsHive::CurrentUser, LightKeyPath())) {
        if (auto wheel = key->ReadInteger(kWheelLightValue)) {
            state.lightState.WheelLight = *wheel != 0;
            // The system always writes both; a lone WheelLight leaves the logo light as it was.
            if (auto logo = key->ReadInteger(kLogoLightValue))
                state.lightState.LogoLight = *logo != 0;
        }
    }
    return true;
}

bool SaveProfile(SettingsStore& store, int profile, const ProfileRecordTexts& texts,
                 const std::array<ButtonSlot, kButtonCount>& slots, const LightState& lights) {
    if (profile < 0 || profile >= kProfileCount) return false;
    bool ok = true;
    for (int b = 0; b < kButtonCount; ++b) {
        auto key = store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(profile, b));
        if (!key) {
            ok = false;
            continue;
        }
        ok &= key->WriteString(kKeysValue, texts[b]);
        ok &= key->WriteString(kDescriptionValue, slots[b].description);
        ok &= key->WriteInteger(kStateIdValue, slots[b].kind);
    }
    if (auto key = store.OpenKey(SettingsHive::CurrentUser, LightKeyPath())) {
        ok &= key->WriteInteger(kWheelLightValue, lights.WheelLight);
        ok &= key->WriteInteger(kLogoLightValue, lights.LogoLight);
    } else {
        ok = false;
    }
    return ok;
}

bool SaveProfile(SettingsStore& store, int profile, const MainState& state) {
    if (profile < 0 || profile >= kProfileCount) return false;
    return SaveProfile(store, profile, state.recordTexts, state.slotTable[profile],
                       state.lightState);
}

std::wstring ReadLaunchFile(SettingsStore& store, int profile, int button) {
    if (!ValidSlot(profile, button)) return {};
    auto key = store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(profile, button));
    return key ? key->ReadString(kFilePathValue).value_or(L"") : std::wstring{};
}

bool WriteSlotDescription(SettingsStore& store, int profile, int button,
                          std::wstring_view description) {
    if (!ValidSlot(profile, button)) return false;
    auto key = store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(profile, button));
    return key && key->WriteString(kDescriptionValue, description);
}

bool WriteLaunchFile(SettingsStore& store, int profile, int button, std::wstring_view file) {
    if (!ValidSlot(profile, button)) return false;
    auto key = store.OpenKey(SettingsHive::CurrentUser, ButtonKeyPath(profile, button));
    return key && key->WriteString(kFilePathValue, file);
}

std::wstring ReadInstallPath(SettingsStore& store) {
    auto key = store.OpenKey(SettingsHive::LocalMachine, kInstallKey);
    return key ? key->ReadString(kInstallPathValue).value_or(L"") : std::wstring{};
}

}  // namespace device
