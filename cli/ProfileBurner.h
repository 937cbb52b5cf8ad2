#pragma once
// Writes whole profiles into the mouse through the configuration program's write sequence (each
// chunk acknowledged, resent when it is not, a cut-off write redone from its start), one profile
// after the other, for a program without windows. A profile whose write is given up is written
// once more from its start; if that fails too, the burn stops and says which profile the mouse
// does not hold.
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "device/DeviceServices.h"
#include "device/MainState.h"
#include "device/MainView.h"
#include "device/ProfileWrite.h"

namespace cli {

class ProfileBurner {
  public:
    ProfileBurner(platform::DeviceChannel& channel, platform::SettingsStore& store,
                  platform::Timers& timers, platform::Waits& waits);
    ProfileBurner(const ProfileBurner&) = delete;
    ProfileBurner& operator=(const ProfileBurner&) = delete;

    void Start(std::vector<device::ProfileSnapshot> profiles);
    // An input report of the mouse (its first bytes); acknowledgements move the write on.
    void OnDeviceReport(std::span<const std::uint8_t> report);

    bool done() const { return done_; }
    bool ok() const { return done_ && error_.empty(); }
    const std::wstring& error() const { return error_; }
    int written() const { return written_; }

  private:
    // The writer's window side: only the notices matter here.
    class View final : public device::MainView {
      public:
        bool givenUp = false;
        bool refused = false;
        void ShowNotice(device::Notice notice) override;
        void SetMainControlsEnabled(bool) override {}
        void SetWindowEnabled(bool) override {}
        void HideNoticeWindow() override {}
        void ShowProfileSelected(int) override {}
        void ShowLights(const device::LightState&) override {}
        void ShowAttachPictures() override {}
        void HideButtonMarker() override {}
        void FinishLightDialog() override {}
        void RegisterDeviceReports(const std::array<std::uint16_t, 3>&,
                                   const std::array<std::uint16_t, 3>&) override {}
        void TerminateApplication() override {}
    };
    // The loading animation belongs to the configuration program; nothing is posted to it.
    class NoMessages final : public platform::WindowMessenger {
      public:
        bool Post(std::wstring_view, std::wstring_view, std::uint32_t, std::uintptr_t,
                  std::intptr_t) override {
            return false;
        }
    };
    class NoShell final : public platform::Shell {
      public:
        bool Open(std::wstring_view) override { return false; }
    };

    void StartNext();
    void OnWriterIdle();

    NoMessages messages_;
    NoShell shell_;
    device::DeviceServices services_;
    device::MainState state_;
    View view_;
    device::ProfileWriter writer_;
    std::deque<device::ProfileSnapshot> pending_;
    device::ProfileSnapshot current_{};
    int attempts_ = 0;
    int written_ = 0;
    bool done_ = true;
    std::wstring error_;
};

}  // namespace cli
