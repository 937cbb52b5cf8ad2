// The profile keys as the store hands them back: values of the wrong type, texts of any length
// and content (embedded terminators included), missing values. Loading never fails for a valid
// profile, gives 82-byte records, and what is saved from a loaded profile loads back the same.
#include "fuzz/FuzzInput.h"
#include "platform/MemorySettingsStore.h"
#include "device/ProfileStore.h"
#include "device/SettingsLayout.h"

using device::ButtonKeyPath;
using device::kButtonCount;
using device::kButtonRecordSize;
using device::kDescriptionValue;
using device::kFilePathValue;
using device::kKeysValue;
using device::kLogoLightValue;
using device::kProfileCount;
using device::kStateIdValue;
using device::kWheelLightValue;
using device::LightKeyPath;
using device::LoadProfile;
using device::MainState;
using device::ParseButtonRecordText;
using device::ReadLaunchFile;
using device::SaveProfile;

namespace {

const std::wstring_view kValueNames[] = {kKeysValue,     kDescriptionValue, kStateIdValue,
                                         kFilePathValue, kWheelLightValue,  kLogoLightValue};

void SeedValue(platform::MemorySettingsStore& store, FuzzInput& in) {
    const std::uint8_t where = in.Byte();
    const int profile = where % 6;  // 5: the light key
    const int button = (where >> 3) % kButtonCount;
    const std::wstring path = profile == 5 ? LightKeyPath() : ButtonKeyPath(profile, button);
    const std::wstring_view name = kValueNames[in.Byte() % std::size(kValueNames)];
    if (in.Byte() & 1)
        store.Seed(platform::SettingsHive::CurrentUser, path, name,
                   static_cast<std::int32_t>(in.Dword()));
    else
        store.Seed(platform::SettingsHive::CurrentUser, path, name, in.SizedText());
}

bool SameProfile(const MainState& a, const MainState& b, int p) {
    for (int k = 0; k < kButtonCount; ++k) {
        if (ParseButtonRecordText(a.recordTexts[k]) != ParseButtonRecordText(b.recordTexts[k]))
            return false;
        if (a.slotTable[p][k].description != b.slotTable[p][k].description ||
            a.slotTable[p][k].kind != b.slotTable[p][k].kind)
            return false;
    }
    return a.lightState.WheelLight == b.lightState.WheelLight &&
           a.lightState.LogoLight == b.lightState.LogoLight;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    platform::MemorySettingsStore store;
    const int values = in.Byte() % 24;
    for (int i = 0; i < values && !in.Empty(); ++i) SeedValue(store, in);

    const int wrong = static_cast<int>(static_cast<std::int8_t>(in.Byte()));
    if (wrong < 0 || wrong >= kProfileCount) {
        MainState untouched;
        Require(!LoadProfile(store, wrong, untouched));
    }

    for (int p = 0; p < kProfileCount; ++p) {
        MainState loaded;
        Require(LoadProfile(store, p, loaded));
        for (const auto& text : loaded.recordTexts)
            Require(ParseButtonRecordText(text).size() == kButtonRecordSize);
        for (int b = 0; b < kButtonCount; ++b) (void)ReadLaunchFile(store, p, b);

        platform::MemorySettingsStore copy;
        Require(SaveProfile(copy, p, loaded));
        MainState again;
        Require(LoadProfile(copy, p, again));
        Require(SameProfile(loaded, again, p));
    }
    return 0;
}
