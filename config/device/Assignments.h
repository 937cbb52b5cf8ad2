#pragma once
// What the assignment dialogs hand back, applied to the main window's state. Each function
// takes the slot it applies to; the forms only call them.
//
// The record texts the state holds are those of the profile shown (CurrentProfile): a slot of
// any other profile is refused and nothing changes, so a result can never put one profile's
// record into another profile's write. A dialog that runs its own message loop (the file
// chooser) lets the mouse's profile button or a re-attach show another profile meanwhile; its
// result applies to the selected button of the profile shown when it returns.
#include <cstddef>
#include <optional>
#include <string_view>

#include "device/MainState.h"
#include "platform/SettingsStore.h"

namespace device {

struct SlotRef {
    int profile = 0;
    int button = 0;
};

// The selected button of the profile shown now.
SlotRef SelectedSlot(const MainState& state);
// Whether the state holds the records of `slot`'s profile and the slot exists.
bool HoldsSlot(const MainState& state, SlotRef slot);

// Each returns whether it changed the slot. A change marks its profile as pending.
// A fixed command of the pop-up list (index into kSingleCommands) under its list name. With no
// command (the field matched no name) the button keeps its record and description and only
// its kind becomes a single command, as the dialog has always done.
bool AssignSingleCommand(MainState& state, SlotRef slot, std::optional<std::size_t> command,
                         std::wstring_view name);
// A stored macro, already expanded into its record text.
bool AssignMacro(MainState& state, SlotRef slot, std::wstring_view name,
                 std::wstring_view recordText);
// The button's default; its description is stored at once.
bool AssignDefault(MainState& state, platform::SettingsStore& store, SlotRef slot);
// A program to start; the file is stored at once, for the launch check.
bool AssignLaunchProgram(MainState& state, platform::SettingsStore& store, SlotRef slot,
                         std::wstring_view file);

}  // namespace device
