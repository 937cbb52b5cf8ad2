#include "WriteStarts.h"

#include "ProfileStore.h"
#include "RecordTemplates.h"

void ApplyProfile(ProfileWriter& writer, MainState& state, MainView& view) {
    view.SetMainControlsEnabled(false);
    writer.Start();
    state.PendingProfile = -1;
    state.ExitAfterWrite = false;
}

void OkProfile(ProfileWriter& writer, MainState& state, MainView& view) {
    view.SetMainControlsEnabled(false);
    writer.Start();
    state.PendingProfile = -1;
    // Only a write that really started (or waits in the queue) may end the program; after a
    // refused one the flag would otherwise end it at some later, unrelated write.
    state.ExitAfterWrite = writer.busy();
}

void WritePendingProfile(ProfileWriter& writer, MainState& state, SettingsStore& store,
                         MainView& view, const ProfileSnapshot& pending) {
    state.PendingProfile = -1;
    if (pending.profile < 0 || pending.profile >= kProfileCount) return;
    view.SetMainControlsEnabled(false);
    writer.Start(pending);
    LoadProfile(store, state.CurrentProfile, state);
}

void ResetProfile(ProfileWriter& writer, MainState& state, MainView& view) {
    view.SetMainControlsEnabled(false);
    for (int b = 0; b < kButtonCount; ++b) {
        state.recordTexts[b] = DefaultRecordText(b);
        state.slotTable[state.CurrentProfile][b] = {std::wstring(DefaultDescription(b)),
                                                    kFunctionDefault};
    }
    writer.Start();
    state.PendingProfile = -1;
}
