#pragma once

namespace device {

// The messages of the two message windows, by number. A window is shown with the notice it must
// show and acts on that one, whatever another caller shows meanwhile; MainState::MessageIndex
// follows the last one shown.
enum class Notice : int {
    PendingChanges = 1,  // question: write the profile with unsaved changes
    ResetConfirm = 2,    // question: reset the profile to its defaults
    NoDevice = 3,        // the mouse is not there; Yes ends the program
    NoLeftButton = 4,    // the profile has no left-button function, so it cannot be written
    BadMacroName = 5,    // a macro name with characters a file name cannot hold
    MacroExists = 6,     // a macro of that name exists
    WriteGivenUp = 7,    // the mouse did not take the profile
};

inline constexpr int NoticeNumber(Notice notice) { return static_cast<int>(notice); }
inline constexpr bool IsQuestion(Notice notice) {
    return notice == Notice::PendingChanges || notice == Notice::ResetConfirm;
}

}  // namespace device
