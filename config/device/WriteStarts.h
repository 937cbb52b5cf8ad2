#pragma once
// The ways a profile write is started: Apply, OK, the pending-changes question and reset. Each
// does its steps around the click on the hidden write button.
#include "device/DeviceSession.h"
#include "device/MainState.h"
#include "device/MainView.h"
#include "device/ProfileWrite.h"
#include "platform/SettingsStore.h"

namespace device {

// Apply: the program stays open after the write.
void ApplyProfile(ProfileWriter& writer, MainState& state, MainView& view);
// OK: the program ends when the write has ended (not when it is refused or given up).
void OkProfile(ProfileWriter& writer, MainState& state, MainView& view);
// The pending-changes question answered OK: writes the profile the question was asked for, as
// it stood then (whatever the window showed meanwhile), to that profile's addresses and keys,
// then shows CurrentProfile again as stored. The controls stay disabled while it is written.
// Each of these does nothing while a write runs.
void WritePendingProfile(ProfileWriter& writer, MainState& state, platform::SettingsStore& store,
                         MainView& view, const ProfileSnapshot& pending);
// The pending-changes question answered: OK writes the pending profile as above; Cancel drops
// the changes and shows the profile now selected as stored. Nothing is pending after either.
void AnswerPendingChanges(DeviceSession& session, ProfileWriter& writer, MainState& state,
                          platform::SettingsStore& store, MainView& view,
                          const ProfileSnapshot& pending, bool ok);
// Reset confirmed: the current profile's five buttons get their defaults and are written.
void ResetProfile(ProfileWriter& writer, MainState& state, MainView& view);

}  // namespace device
