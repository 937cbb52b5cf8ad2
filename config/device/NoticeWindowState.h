#pragma once
// The single-button message window's rule: which notice it shows and what its Yes does. A
// notice that arrives while "plug in the mouse" is up must not hide that message for good: Yes
// on it goes back to the no-mouse message, and Yes there ends the program.
#include "device/Notice.h"

namespace device {

class NoticeWindowState {
  public:
    enum class YesAction { None, Hide, EndProgram, BackToNoDevice };

    // Returns whether the notice is one of this window's (3..7); the questions are not.
    bool Show(Notice notice, bool visible) {
        if (NoticeNumber(notice) < NoticeNumber(Notice::NoDevice) ||
            NoticeNumber(notice) > NoticeNumber(Notice::WriteGivenUp))
            return false;
        if (visible && shown_ == Notice::NoDevice && notice != Notice::NoDevice)
            returnToNoDevice_ = true;
        shown_ = notice;
        return true;
    }
    YesAction Yes(bool visible) {
        if (!visible) return YesAction::None;
        if (shown_ == Notice::NoDevice) return YesAction::EndProgram;
        if (returnToNoDevice_) {
            returnToNoDevice_ = false;
            shown_ = Notice::NoDevice;
            return YesAction::BackToNoDevice;
        }
        return YesAction::Hide;
    }
    // Hidden from outside (the mouse is back): nothing to go back to.
    void Hidden() { returnToNoDevice_ = false; }
    Notice shown() const { return shown_; }

  private:
    Notice shown_ = Notice::NoDevice;
    bool returnToNoDevice_ = false;
};

}  // namespace device
