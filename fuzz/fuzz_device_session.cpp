// The device session and the profile write against the virtual mouse, driven by a script of
// arbitrary event reports (every report state), presses on the mouse, writes, profile switches,
// plugging, faults and time. Whatever happened, the window's profile stays 0..4, and once the
// faults are cleared and the mouse is back a write of the current profile ends and leaves
// exactly its records in the mouse's EEPROM.
#include "common/DeviceIds.h"

#include <algorithm>
#include <vector>

#include "device/DeviceSession.h"
#include "fuzz/FuzzInput.h"
#include "platform/ManualTimeline.h"
#include "platform/MemorySettingsStore.h"
#include "device/ProfileWrite.h"
#include "vmouse/model/VirtualMouse.h"

using common::DeviceProductId;
using common::DeviceVendorId;

using device::ButtonRecord;
using device::ButtonRecordOffset;
using device::DeviceServices;
using device::DeviceSession;
using device::kButtonCount;
using device::kProfileCount;
using device::LightState;
using device::MainState;
using device::MainView;
using device::Notice;
using device::ParseButtonRecordText;
using device::ProfileRecordTexts;
using device::ProfileWriter;
using device::ROMAddress;

using platform::DeviceChannel;
using platform::FeatureReport;
using platform::ManualTimeline;
using platform::MemorySettingsStore;
using platform::Shell;
using platform::WindowMessenger;

namespace {

using namespace std::chrono_literals;

class ModelChannel final : public DeviceChannel {
  public:
    explicit ModelChannel(vmouse::VirtualMouse& mouse) : mouse_(mouse) {}
    int SetFeature(int vid, int pid, int page, int usage, const FeatureReport& report) override {
        if (!Matches(vid, pid)) return 0;
        return mouse_.SetFeature(static_cast<std::uint16_t>(page),
                                 static_cast<std::uint16_t>(usage), report.data(), report.size());
    }
    int GetFeature(int vid, int pid, int page, int usage, FeatureReport& buffer) override {
        if (!Matches(vid, pid)) return 0;
        return mouse_.GetFeature(static_cast<std::uint16_t>(page),
                                 static_cast<std::uint16_t>(usage), buffer.data(), buffer.size());
    }
    bool plugged = true;

  private:
    bool Matches(int vid, int pid) const {
        return plugged && vid == DeviceVendorId && pid == DeviceProductId;
    }
    vmouse::VirtualMouse& mouse_;
};

class NullMessenger final : public WindowMessenger {
  public:
    bool Post(std::wstring_view, std::wstring_view, std::uint32_t, std::uintptr_t,
              std::intptr_t) override {
        return true;
    }
};

class NullShell final : public Shell {
  public:
    bool Open(std::wstring_view) override { return true; }
};

class NullView final : public MainView {
  public:
    void SetMainControlsEnabled(bool) override {}
    void SetWindowEnabled(bool) override {}
    void ShowNotice(Notice) override {}
    void HideNoticeWindow() override {}
    void ShowProfileSelected(int profileIndex) override {
        Require(profileIndex >= 0 && profileIndex < kProfileCount);
    }
    void ShowLights(const LightState& lights) override {
        Require(lights.WheelLight <= 1 && lights.LogoLight <= 1);
    }
    void ShowAttachPictures() override {}
    void HideButtonMarker() override {}
    void FinishLightDialog() override {}
    void RegisterDeviceReports(const std::array<std::uint16_t, 3>&,
                               const std::array<std::uint16_t, 3>&) override {}
    void TerminateApplication() override {}
};

struct Rig {
    Rig() {
        mouse.SetClock(
            [](void* ctx) {
                return static_cast<std::uint32_t>(static_cast<ManualTimeline*>(ctx)->Now().count());
            },
            &time);
    }
    void Deliver() {
        vmouse::InputReport r;
        while (mouse.TakeInput(r)) {
            last.assign(std::begin(r.bytes), std::end(r.bytes));
            session.OnDeviceReport(DeviceVendorId, DeviceProductId, r.bytes);
        }
    }
    // Time passes as in steps of 1 ms, each followed by the delivery of what the mouse sent,
    // but a step goes straight to the next moment something can happen: a timer falls due or
    // a held-back acknowledgement comes out. The 1 ms steps in between fire and deliver
    // nothing, so skipping them changes no outcome; they were most of the fuzzer's time.
    void Step(std::chrono::milliseconds end) {
        auto next = end;
        if (const auto due = time.NextDue()) next = std::min(next, *due);
        if (const std::uint32_t ack = mouse.Poll())
            next = std::min(next, std::chrono::milliseconds{ack});
        if (mouse.PendingInputs()) next = time.Now();
        time.Advance(std::max(next, time.Now() + 1ms) - time.Now());
        Deliver();
    }
    void RunFor(std::chrono::milliseconds duration) {
        const auto end = time.Now() + duration;
        Deliver();
        while (time.Now() < end) Step(end);
    }

    // Time passes until the writer has nothing left to do, or `limit` has gone by.
    void RunUntilIdle(std::chrono::milliseconds limit) {
        const auto end = time.Now() + limit;
        Deliver();
        while (time.Now() < end && writer.busy()) Step(end);
        RunFor(500ms);  // what the end of the write starts
    }

    vmouse::VirtualMouse mouse;
    ManualTimeline time;
    ModelChannel channel{mouse};
    MemorySettingsStore store;
    NullMessenger messenger;
    NullShell shell;
    NullView view;
    MainState state;
    DeviceServices services{channel, store, time, time, messenger, shell};
    ProfileWriter writer{state, services, view};
    DeviceSession session{state, services, writer, view};
    std::vector<std::uint8_t> last;
};

// Longer scripts only repeat what shorter ones reach. The runners pass it as -max_len, so no
// run is spent on an input turned away here.
constexpr std::size_t kMaxInput = 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    FuzzInput in(data, size);
    Rig rig;
    rig.session.StartAttachTimer();
    rig.session.OnCollectionPresent();
    rig.RunFor(1600ms);

    while (!in.Empty()) {
        switch (in.Byte() % 12) {
            case 0: {  // any report, at any report state
                std::uint8_t report[16];
                const std::size_t n = in.Byte() % 17;
                for (std::size_t i = 0; i < n; ++i) report[i] = in.Byte();
                const bool ours = !(in.Byte() & 7);
                rig.session.OnDeviceReport(ours ? DeviceVendorId : in.Word(),
                                           ours ? DeviceProductId : in.Word(),
                                           std::span<const std::uint8_t>(report, n));
                break;
            }
            case 1:
                rig.state.recordTexts[in.Byte() % kButtonCount] = in.TokenText(in.Byte());
                rig.writer.Start();
                break;
            case 2: {
                const std::uint8_t which = in.Byte();
                switch (which % 5) {
                    case 0:
                        rig.mouse.PressDpi();
                        break;
                    case 1:
                        rig.mouse.PressProfile();
                        break;
                    case 2:
                        rig.mouse.PressPolling();
                        break;
                    case 3:
                        rig.mouse.PressLock();
                        break;
                    default:
                        rig.mouse.PressButton(static_cast<std::uint8_t>(which / 5));
                        break;
                }
                break;
            }
            case 3:
                rig.RunFor(std::chrono::milliseconds{in.Byte() * 16});
                break;
            case 4:
                rig.channel.plugged = !rig.channel.plugged;
                if (rig.channel.plugged)
                    rig.session.OnCollectionPresent();
                else
                    rig.session.OnNoCollectionLeft();
                break;
            case 5: {
                vmouse::Faults f{};
                const std::uint8_t b = in.Byte();
                f.dropAckIn = b & 1 ? in.Byte() % 40 : 0;
                f.ackDelayMs = b & 2 ? in.Word() % 5000 : 0;
                f.garbageAnswers = b & 4;
                f.silent = b & 8;
                f.duplicateAckIn = b & 16 ? in.Byte() % 40 : 0;
                rig.mouse.SetFaults(f);
                break;
            }
            case 6:
                rig.session.OnProfileChanged(static_cast<std::uintptr_t>(in.Dword()));
                break;
            case 7:
                rig.session.SwitchDeviceProfile(static_cast<std::int8_t>(in.Byte()));
                break;
            case 8:
                rig.session.SelectProfile(static_cast<std::int8_t>(in.Byte()));
                break;
            case 9:  // the last report again: a duplicated acknowledgement or event
                if (!rig.last.empty())
                    rig.session.OnDeviceReport(DeviceVendorId, DeviceProductId, rig.last);
                break;
            case 10:
                rig.session.ReadActiveProfile();
                break;
            default:
                rig.session.OnCollectionPresent();
                break;
        }
        Require(rig.state.CurrentProfile >= 0 && rig.state.CurrentProfile < kProfileCount);
    }

    // The faults go, the mouse comes back: everything pending ends, and a new write is whole.
    rig.mouse.ClearFaults();
    if (!rig.channel.plugged) {
        rig.channel.plugged = true;
        rig.session.OnCollectionPresent();
    }
    rig.RunUntilIdle(60s);
    Require(!rig.writer.busy());
    rig.state.recordTexts[0] = L"c0 " + rig.state.recordTexts[0];  // a write needs a left button
    // What is written is what the window held when the write was asked for, whatever profile
    // change the mouse reported before and the window carries out after.
    const int p = rig.state.CurrentProfile;
    const ProfileRecordTexts texts = rig.state.recordTexts;
    rig.writer.Start();
    rig.RunUntilIdle(3s);
    Require(!rig.writer.busy());
    for (int b = 0; b < kButtonCount; ++b) {
        const ButtonRecord want = ParseButtonRecordText(texts[b]);
        const std::uint8_t* have = rig.mouse.Eeprom() + ROMAddress[p][ButtonRecordOffset(b)];
        Require(std::equal(want.begin(), want.end(), have));
    }
    return 0;
}
