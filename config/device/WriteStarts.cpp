#include "device/WriteStarts.h"

#include "device/ProfileStore.h"
#include "device/RecordTemplates.h"

namespace device {

// While a write runs every start is refused by the writer; these leave the state as it is then,
// so the running write's own ending (and its OK, if any) stays in charge.

void ApplyProfile(ProfileWriter& writer, MainState& state, MainView& view) {
    if (writer.busy()) return;
    view.SetMainControlsEnabled(false);
    writer.Start();
    state.PendingProfile = -1;
    state.ExitAfterWrite = false;
}

void OkProfile(ProfileWriter& writer, MainState& state, MainView& view) {
    if (writer.busy()) return;
    view.SetMainControlsEnabled(false);
    // Only a write that really started may end the program; after a refused one the flag would
    // otherwise end it at some later, unrelated write.
    state.ExitAfterWrite = writer.Start();
    state.PendingProfile = -1;
}

void WritePendingProfile(ProfileWriter& writer, MainState& state, platform::SettingsStore& store,
                         MainView& view, const ProfileSnapshot& pending) {
    if (writer.busy()) return;  // the changes stay pending and shown
    state.PendingProfile = -1;
    if (pending.profile < 0 || pending.profile >= kProfileCount) return;
    view.SetMainControlsEnabled(false);
    writer.Start(pending);
    LoadProfile(store, state.CurrentProfile, state);
}

void AnswerPendingChanges(DeviceSession& session, ProfileWriter& writer, MainState& state,
                          platform::SettingsStore& store, MainView& view,
                          const ProfileSnapshot& pending, bool ok) {
    if (ok) {
        WritePendingProfile(writer, state, store, view, pending);
        return;
    }
    // Cancel drops the changes: the profile now selected is shown as stored.
    session.SelectProfile(state.CurrentProfile);
}

void ResetProfile(ProfileWriter& writer, MainState& state, MainView& view) {
    if (writer.busy()) return;
    view.SetMainControlsEnabled(false);
    for (int b = 0; b < kButtonCount; ++b) {
        state.recordTexts[b] = DefaultRecordText(b);
        state.slotTable[state.CurrentProfile][b] = {std::wstring(DefaultDescription(b)),
                                                    kFunctionDefault};
    }
    writer.Start();
    state.PendingProfile = -1;
}

}  // namespace device
