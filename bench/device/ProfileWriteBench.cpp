// How long a profile write takes against the virtual mouse with real waits and timers, next to
// its floor: 100 ms + 35 x (3 ms + acknowledgement latency).
//
//   bench_profile_write [runs per latency] [latency ms ...]
#include "common/DeviceIds.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "device/DeviceSession.h"
#include "device/ProfileWrite.h"
#include "device/RecordTemplates.h"
#include "platform/MemorySettingsStore.h"
#include "vmouse/model/VirtualMouse.h"

using device::DefaultRecordText;
using device::DeviceServices;
using device::DeviceSession;
using device::LightState;
using device::MainState;
using device::MainView;
using device::Notice;
using device::ProfileWriter;
using device::SingleCommandRecordText;

using platform::DeviceChannel;
using platform::FeatureReport;
using platform::MemorySettingsStore;
using platform::Shell;
using platform::Timers;
using platform::Waits;
using platform::WindowMessenger;

namespace {

using Steady = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// One-shot timers of a single-threaded loop, as the GUI thread's timers are.
class LoopTimers final : public Timers {
  public:
    void Start(std::string_view role, std::chrono::milliseconds interval,
               std::function<void()> onFire) override {
        timers_.insert_or_assign(std::string(role),
                                 Entry{Steady::now() + interval, std::move(onFire)});
    }
    void Stop(std::string_view role) override {
        auto it = timers_.find(role);
        if (it != timers_.end()) timers_.erase(it);
    }
    bool IsRunning(std::string_view role) const override {
        return timers_.find(role) != timers_.end();
    }

    Steady::time_point NextDue() const {
        auto next = Steady::time_point::max();
        for (const auto& [name, e] : timers_) next = std::min(next, e.due);
        return next;
    }
    void FireDue() {
        for (;;) {
            auto it = std::min_element(
                timers_.begin(), timers_.end(),
                [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
            if (it == timers_.end() || it->second.due > Steady::now()) return;
            auto onFire = std::move(it->second.onFire);
            timers_.erase(it);
            onFire();
        }
    }

  private:
    struct Entry {
        Steady::time_point due;
        std::function<void()> onFire;
    };
    std::map<std::string, Entry, std::less<>> timers_;
};

// Sleeps overshoot by the scheduler's wake-up delay; the overshoot is summed so that the time
// over the floor can be split into the system's part and the core's own.
class SleepWaits final : public Waits {
  public:
    void Wait(std::chrono::milliseconds d) override {
        const auto due = Steady::now() + d;
        std::this_thread::sleep_until(due);
        overshoot += Steady::now() - due;
    }
    Steady::duration overshoot{};
};

class MouseChannel final : public DeviceChannel {
  public:
    explicit MouseChannel(vmouse::VirtualMouse& m) : mouse_(m) {}
    int SetFeature(int, int, int page, int usage, const FeatureReport& r) override {
        return mouse_.SetFeature(static_cast<std::uint16_t>(page),
                                 static_cast<std::uint16_t>(usage), r.data(), r.size());
    }
    int GetFeature(int, int, int page, int usage, FeatureReport& b) override {
        return mouse_.GetFeature(static_cast<std::uint16_t>(page),
                                 static_cast<std::uint16_t>(usage), b.data(), b.size());
    }

  private:
    vmouse::VirtualMouse& mouse_;
};

class NoMessenger final : public WindowMessenger {
  public:
    bool Post(std::wstring_view, std::wstring_view, std::uint32_t, std::uintptr_t,
              std::intptr_t) override {
        return false;
    }
};
class NoShell final : public Shell {
  public:
    bool Open(std::wstring_view) override { return false; }
};

class BenchView final : public MainView {
  public:
    void SetMainControlsEnabled(bool on) override { controlsOn = on; }
    void SetWindowEnabled(bool) override {}
    void ShowNotice(Notice) override { noticeShown = true; }
    void HideNoticeWindow() override {}
    void ShowProfileSelected(int) override {}
    void ShowLights(const LightState&) override {}
    void ShowAttachPictures() override {}
    void HideButtonMarker() override {}
    void FinishLightDialog() override {}
    void RegisterDeviceReports(const std::array<std::uint16_t, 3>&,
                               const std::array<std::uint16_t, 3>&) override {}
    void TerminateApplication() override {}
    bool controlsOn = false;
    bool noticeShown = false;
};

struct Result {
    double writeMs;     // click to the last acknowledgement handled
    double waitOverMs;  // the sleeps of the waits beyond their length
    double lagMs;       // acknowledgements handled after their delivery time
    double totalMs;     // click to the controls enabled again (WriteEnding included)
    int reports;
    bool ok;
};

Result RunOnce(std::chrono::microseconds latency) {
    vmouse::VirtualMouse mouse;
    const auto t0 = Steady::now();
    mouse.SetClock(
        [](void* start) {
            return static_cast<std::uint32_t>(
                std::chrono::duration_cast<std::chrono::milliseconds>(
                    Steady::now() - *static_cast<Steady::time_point*>(start))
                    .count());
        },
        const_cast<Steady::time_point*>(&t0));
    MouseChannel channel(mouse);
    MemorySettingsStore store;
    LoopTimers timers;
    SleepWaits waits;
    NoMessenger messenger;
    NoShell shell;
    BenchView view;
    MainState state;
    DeviceServices services{channel, store, timers, waits, messenger, shell};
    ProfileWriter writer(state, services, view);
    DeviceSession session(state, services, writer, view);
    for (int b = 0; b < 5; ++b)
        state.recordTexts[b] = SingleCommandRecordText(static_cast<std::size_t>(b) + 3);
    state.recordTexts[0] = DefaultRecordText(0);

    // Input reports reach the handler after the latency, like messages of the input component.
    struct Pending {
        Steady::time_point due;
        vmouse::InputReport report;
    };
    std::deque<Pending> inbox;
    auto collect = [&] {
        vmouse::InputReport r;
        while (mouse.TakeInput(r)) inbox.push_back({Steady::now() + latency, r});
    };

    const auto start = Steady::now();
    writer.Start();
    collect();
    Steady::time_point lastAck{};
    Steady::duration lag{};  // reports handled later than they were due
    const auto limit = start + std::chrono::seconds(30);
    while (!view.controlsOn && Steady::now() < limit) {
        auto next = timers.NextDue();
        if (!inbox.empty()) next = std::min(next, inbox.front().due);
        if (next > Steady::now()) std::this_thread::sleep_until(std::min(next, limit));
        timers.FireDue();
        collect();
        while (!inbox.empty() && inbox.front().due <= Steady::now()) {
            if (writer.phase() == ProfileWriter::Phase::Sending)
                lag += Steady::now() - inbox.front().due;
            const auto report = inbox.front().report;
            inbox.pop_front();
            const bool wasSending = writer.phase() == ProfileWriter::Phase::Sending;
            session.OnDeviceReport(common::DeviceVendorId, common::DeviceProductId, report.bytes);
            if (wasSending && writer.phase() == ProfileWriter::Phase::Ending)
                lastAck = Steady::now();
            collect();
        }
    }
    const auto end = Steady::now();
    return {Ms(lastAck - start).count(),
            Ms(waits.overshoot).count(),
            Ms(lag).count(),
            Ms(end - start).count(),
            static_cast<int>(mouse.Stats().writesAccepted),
            view.controlsOn && !view.noticeShown};
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<double> latencies;
    for (int i = 2; i < argc; ++i) latencies.push_back(std::atof(argv[i]));
    if (latencies.empty()) latencies = {0.0, 1.0, 2.0, 5.0};

    std::printf("profile write against the virtual mouse, real waits and timers, %d runs each\n",
                runs);
    std::printf("%9s %9s %11s %11s %8s %11s %10s %10s %10s %8s\n", "latency", "floor", "write(med)",
                "write(max)", "ratio", "wait over", "ack lag", "core", "with end", "reports");
    bool allOk = true;
    for (double latencyMs : latencies) {
        const auto latency = std::chrono::microseconds(static_cast<long long>(latencyMs * 1000));
        std::vector<Result> results;
        for (int r = 0; r < runs; ++r) results.push_back(RunOnce(latency));
        std::sort(results.begin(), results.end(),
                  [](const Result& a, const Result& b) { return a.writeMs < b.writeMs; });
        const Result& median = results[results.size() / 2];
        const double floorMs = 100.0 + 35.0 * (3.0 + latencyMs);
        for (const auto& r : results) allOk &= r.ok && r.reports == 35;
        const double coreMs = median.writeMs - floorMs - median.waitOverMs - median.lagMs;
        std::printf("%7.1fms %7.1fms %9.1fms %9.1fms %8.4f %9.2fms %8.2fms %8.2fms %8.1fms %8d\n",
                    latencyMs, floorMs, median.writeMs, results.back().writeMs,
                    median.writeMs / floorMs, median.waitOverMs, median.lagMs, coreMs,
                    median.totalMs, median.reports);
    }
    std::printf(
        "goal: ratio within 1.05 of the floor; wait over and ack lag are the system's\n"
        "sleep overshoot, core is what remains%s\n",
        allOk ? "" : " (SOME RUNS FAILED)");
    return allOk ? 0 : 1;
}
