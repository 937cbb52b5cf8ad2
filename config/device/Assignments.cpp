#include "device/Assignments.h"

#include "device/ProfileStore.h"
#include "device/RecordTemplates.h"

namespace device {

namespace {

ButtonSlot& SlotOf(MainState& state, SlotRef slot) {
    return state.slotTable[static_cast<std::size_t>(slot.profile)]
                          [static_cast<std::size_t>(slot.button)];
}

void Put(MainState& state, SlotRef slot, std::wstring recordText, std::wstring_view description,
         std::int32_t kind) {
    state.recordTexts[static_cast<std::size_t>(slot.button)] = std::move(recordText);
    ButtonSlot& s = SlotOf(state, slot);
    s.description = std::wstring(description.substr(0, kMaxDescriptionLength));
    s.kind = kind;
    state.PendingProfile = slot.profile;
}

}  // namespace

SlotRef SelectedSlot(const MainState& state) { return {state.CurrentProfile, state.CurrentButton}; }

bool HoldsSlot(const MainState& state, SlotRef slot) {
    return slot.profile >= 0 && slot.profile < kProfileCount && slot.button >= 0 &&
           slot.button < kButtonCount && slot.profile == state.CurrentProfile;
}

bool AssignSingleCommand(MainState& state, SlotRef slot, std::optional<std::size_t> command,
                         std::wstring_view name) {
    if (!HoldsSlot(state, slot)) return false;
    if (!command) {
        SlotOf(state, slot).kind = kFunctionSingleCommand;
        state.PendingProfile = slot.profile;
        return true;
    }
    if (*command >= kSingleCommands.size()) return false;
    Put(state, slot, SingleCommandRecordText(*command), name, kFunctionSingleCommand);
    return true;
}

bool AssignMacro(MainState& state, SlotRef slot, std::wstring_view name,
                 std::wstring_view recordText) {
    if (!HoldsSlot(state, slot)) return false;
    Put(state, slot, std::wstring(recordText), name, kFunctionMacro);
    return true;
}

bool AssignDefault(MainState& state, platform::SettingsStore& store, SlotRef slot) {
    if (!HoldsSlot(state, slot)) return false;
    const std::wstring_view description = DefaultDescription(slot.button);
    WriteSlotDescription(store, slot.profile, slot.button, description);
    Put(state, slot, DefaultRecordText(slot.button), description, kFunctionDefault);
    return true;
}

bool AssignLaunchProgram(MainState& state, platform::SettingsStore& store, SlotRef slot,
                         std::wstring_view file) {
    if (!HoldsSlot(state, slot) || file.empty()) return false;
    WriteLaunchFile(store, slot.profile, slot.button, file);
    // The description is the file's name without its folder.
    const std::size_t slash = file.rfind(L'\\');
    const std::wstring_view name =
        slash == std::wstring_view::npos ? std::wstring_view() : file.substr(slash + 1);
    Put(state, slot, LaunchRecordText(slot.profile, slot.button), name, kFunctionLaunchProgram);
    return true;
}

}  // namespace device
