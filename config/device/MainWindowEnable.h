#pragma once
// Whether the main window takes input. Two owners hold it off for their own reasons: the mouse
// being away (its notice is up) and one of the main window's dialogs being open. Each sets only
// its own reason, so a dialog that closes while the mouse is away does not open the window
// under the notice, and a mouse that returns does not open it under a dialog.
namespace device {

class MainWindowEnable {
  public:
    bool SetDeviceAway(bool away) {
        deviceAway_ = away;
        return Enabled();
    }
    bool SetDialogOpen(bool open) {
        dialogOpen_ = open;
        return Enabled();
    }
    bool Enabled() const { return !deviceAway_ && !dialogOpen_; }

  private:
    bool deviceAway_ = false;
    bool dialogOpen_ = false;
};

}  // namespace device
