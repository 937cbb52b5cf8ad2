#pragma once
// The device core wired to the virtual mouse: a DeviceChannel that stands in for Portivo, the
// input reports delivered as the input component would, an in-memory store, manual time, and
// recording fakes of the window side.
#include <gmock/gmock.h>

#include "common/DeviceIds.h"

#include <optional>
#include <string>
#include <vector>

#include "device/DeviceSession.h"
#include "platform/ManualTimeline.h"
#include "platform/MemorySettingsStore.h"
#include "device/ProfileWrite.h"
#include "vmouse/model/VirtualMouse.h"
#include "device/WindowMessages.h"

// Every report the core hands to the channel, with the collection it named.
struct SentReport {
    int usage;
    platform::FeatureReport bytes;
    std::chrono::milliseconds at;
};

class ModelChannel final : public platform::DeviceChannel {
  public:
    ModelChannel(vmouse::VirtualMouse& mouse, const platform::Clock& clock)
        : mouse_(mouse), clock_(clock) {}

    int SetFeature(int vid, int pid, int page, int usage,
                   const platform::FeatureReport& report) override {
        sent.push_back({usage, report, clock_.Now()});
        if (!Matches(vid, pid)) return 0;
        return mouse_.SetFeature(static_cast<std::uint16_t>(page),
                                 static_cast<std::uint16_t>(usage), report.data(), report.size());
    }
    int GetFeature(int vid, int pid, int page, int usage,
                   platform::FeatureReport& buffer) override {
        if (!Matches(vid, pid)) return 0;
        return mouse_.GetFeature(static_cast<std::uint16_t>(page),
                                 static_cast<std::uint16_t>(usage), buffer.data(), buffer.size());
    }

    bool plugged = true;
    std::vector<SentReport> sent;

  private:
    bool Matches(int vid, int pid) const {
        return plugged && vid == common::DeviceVendorId && pid == common::DeviceProductId;
    }
    vmouse::VirtualMouse& mouse_;
    const platform::Clock& clock_;
};

struct Post {
    std::wstring windowClass;
    std::wstring caption;
    std::uint32_t message;
    std::uintptr_t wParam;
};

class RecordingMessenger final : public platform::WindowMessenger {
  public:
    bool Post(std::wstring_view c, std::wstring_view t, std::uint32_t m, std::uintptr_t w,
              std::intptr_t) override {
        posts.push_back({std::wstring(c), std::wstring(t), m, w});
        return true;
    }
    std::vector<::Post> posts;
};

class RecordingShell final : public platform::Shell {
  public:
    bool Open(std::wstring_view file) override {
        opened.emplace_back(file);
        return true;
    }
    std::vector<std::wstring> opened;
};

class MockView : public device::MainView {
  public:
    MOCK_METHOD(void, SetMainControlsEnabled, (bool), (override));
    MOCK_METHOD(void, SetWindowEnabled, (bool), (override));
    MOCK_METHOD(void, ShowNotice, (device::Notice), (override));
    MOCK_METHOD(void, HideNoticeWindow, (), (override));
    MOCK_METHOD(void, ShowProfileSelected, (int), (override));
    MOCK_METHOD(void, ShowLights, (const device::LightState&), (override));
    MOCK_METHOD(void, ShowAttachPictures, (), (override));
    MOCK_METHOD(void, HideButtonMarker, (), (override));
    MOCK_METHOD(void, FinishLightDialog, (), (override));
    MOCK_METHOD(void, RegisterDeviceReports,
                ((const std::array<std::uint16_t, 3>&), (const std::array<std::uint16_t, 3>&)),
                (override));
    MOCK_METHOD(void, TerminateApplication, (), (override));
};

class MouseRig {
  public:
    MouseRig() {
        mouse.SetClock(
            [](void* ctx) {
                return static_cast<std::uint32_t>(
                    static_cast<platform::ManualTimeline*>(ctx)->Now().count());
            },
            &time);
    }

    // Hands every waiting input report to the handler, as message 0x515 would; reports caused
    // by the handling are delivered too. dropAcksAfter lets through that many acknowledgements
    // and swallows the rest (the model drops only single ones).
    int DeliverInputs() {
        int delivered = 0;
        vmouse::InputReport r;
        while (mouse.TakeInput(r)) {
            if (r.bytes[1] == vmouse::kEventAck && dropAcksAfter) {
                if (*dropAcksAfter == 0) continue;
                --*dropAcksAfter;
            }
            session.OnDeviceReport(common::DeviceVendorId, common::DeviceProductId, r.bytes);
            ++delivered;
        }
        return delivered;
    }

    // Lets time pass in 1 ms steps up to now + duration (waits inside handlers count too),
    // firing timers and delivering reports as they come.
    void RunFor(std::chrono::milliseconds duration) {
        const auto end = time.Now() + duration;
        DeliverInputs();
        while (time.Now() < end) {
            time.Advance(std::chrono::milliseconds{1});
            DeliverInputs();
        }
    }

    // Reports with report id 3 the core sent.
    std::vector<SentReport> Writes() const {
        std::vector<SentReport> out;
        for (const auto& s : channel.sent)
            if (s.bytes[0] == 3) out.push_back(s);
        return out;
    }

    // Posts of the progress message with this wParam.
    int LoadingPosts(std::uintptr_t wParam) const {
        int n = 0;
        for (const auto& p : messenger.posts)
            n += p.message == 0x501 && p.windowClass == L"TLoadingForm" &&
                 p.caption == L"LoadingForm" && p.wParam == wParam;
        return n;
    }

    vmouse::VirtualMouse mouse;
    platform::ManualTimeline time;
    ModelChannel channel{mouse, time};
    platform::MemorySettingsStore store;
    RecordingMessenger messenger;
    RecordingShell shell;
    testing::NiceMock<MockView> view;
    device::MainState state;
    device::DeviceServices services{channel, store, time, time, messenger, shell};
    device::ProfileWriter writer{state, services, view};
    device::DeviceSession session{state, services, writer, view};
    std::optional<int> dropAcksAfter;
};

inline platform::FeatureReport Bytes(std::initializer_list<std::uint8_t> lead) {
    platform::FeatureReport r{};
    std::copy(lead.begin(), lead.end(), r.begin());
    return r;
}
