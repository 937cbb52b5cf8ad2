// The profile watcher (tavrine watch) on the virtual mouse: its processor time at rest with
// rules and a steady program in front, its private memory against an empty window program, the
// time from a foreground change to the switch's write in the mouse's trace (median of 20,
// against the settling time + 50 ms), and a burst of 1,000 foreground changes: switches, writes
// of the active-profile byte, and whether the watcher still answers. Prints; asserts nothing.
// Lines starting with "@" are the figures bench/run.sh reads.
#include <windows.h>

#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchClock_win.h"
#include "tests/e2e/E2eSupport.h"
#include "vmouse/tool/ControlClient_win.h"

namespace {

using bench::NowMs;
using bench::CpuMs;

using namespace std::chrono_literals;

constexpr int kSettleMs = 500;  // the watcher's --settle here
constexpr int kChanges = 20;
constexpr int kBurst = 1000;
constexpr auto kRest = 30s;
constexpr std::uint16_t kActiveProfileByte = 0x0005;
constexpr int kAlphaProfile = 3, kBetaProfile = 2;

double Median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double PrivateMb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                              sizeof memory))
        return -1;
    // Wine leaves PrivateUsage at 0; the commit charge (PagefileUsage) is the same figure.
    return static_cast<double>(std::max(memory.PrivateUsage, memory.PagefileUsage)) / 1048576.0;
}

HWND FrontWindowOf(const wchar_t* caption) { return FindWindowW(L"TavrineFrontWindow", caption); }
HWND WatchWindow() { return FindWindowW(L"TTavrineAutoProfile", L"Tavrine automatic profiles"); }

// The test window's own program brings it to the front, as in the end-to-end journey.
bool BringToFront(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0;
}

std::optional<int> ActiveProfile(vmtool::ControlClient& client) {
    vmouse::StatusInfo status{};
    std::wstring error;
    if (!client.Status(status, error)) return std::nullopt;
    return status.live.activeProfile;
}

bool IsActiveProfileWrite(const vmouse::TraceEntry& entry) {
    return entry.direction == vmouse::TraceDirection::In &&
           entry.kind == vmouse::TraceKind::SetFeature && entry.length > 2 && entry.bytes[0] == 3 &&
           (entry.bytes[1] | (entry.bytes[2] << 8)) == kActiveProfileByte;
}

int ActiveProfileWrites(vmtool::ControlClient& client) {
    std::vector<vmouse::TraceEntry> entries;
    std::wstring error;
    if (!client.ReadTrace(entries, error)) return -1;
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), IsActiveProfileWrite));
}

bool ClearTrace(vmtool::ControlClient& client) {
    std::wstring error;
    return client.Simple(vmouse::ControlCommand::ClearTrace, error);
}

bool WaitForProfile(vmtool::ControlClient& client, int profile, std::chrono::milliseconds timeout) {
    return e2e::WaitUntil([&] { return ActiveProfile(client) == profile; }, timeout);
}

double EmptyPrivateMb() {
    e2e::Started empty;
    if (!e2e::Start(empty, L"bench_empty_window.exe", L"")) return -1;
    if (!e2e::WaitUntil([] { return FindWindowW(L"BenchEmptyWindow", nullptr) != nullptr; }, 20s))
        return -1;
    Sleep(1000);  // settled, as the watcher is when measured
    const double mb = PrivateMb(empty.info.hProcess);
    PostMessageW(FindWindowW(L"BenchEmptyWindow", nullptr), WM_CLOSE, 0, 0);
    return mb;
}

}  // namespace

int wmain() {
    if (!e2e::MousePresent() && e2e::Vmouse(L"plug") != 0) {
        std::printf("the virtual mouse could not be plugged in\n");
        return 1;
    }
    if (WatchWindow()) {
        std::printf("a watcher is already running; end it first\n");
        return 1;
    }
    if (e2e::Vmouse(L"reset") != 0 || e2e::Vmouse(L"fault clear") != 0) {
        std::printf("the virtual mouse could not be reset\n");
        return 1;
    }
    std::wstring error;
    auto client = vmtool::ControlClient::Open(error);
    if (!client) {
        std::printf("no control channel to the virtual mouse\n");
        return 1;
    }
    e2e::DeleteUserSettings();
    if (e2e::RunTool(L"tavrine.exe", L"auto add front_alpha.exe 3").code != 0 ||
        e2e::RunTool(L"tavrine.exe", L"auto add front_beta.exe 2").code != 0) {
        std::printf("the rules could not be set\n");
        return 1;
    }
    e2e::Started alpha, beta, watcher;
    HWND alphaWindow = nullptr, betaWindow = nullptr;
    if (!e2e::Start(alpha, L"front_alpha.exe", L"alpha") ||
        !e2e::Start(beta, L"front_beta.exe", L"beta") ||
        !e2e::WaitUntil(
            [&] {
                return (alphaWindow = FrontWindowOf(L"alpha")) &&
                       (betaWindow = FrontWindowOf(L"beta"));
            },
            20s)) {
        std::printf("the test windows did not start\n");
        return 1;
    }
    if (!BringToFront(alphaWindow) ||
        !e2e::Start(watcher, L"tavrine.exe", L"watch --settle " + std::to_wstring(kSettleMs),
                    CREATE_NO_WINDOW) ||
        !e2e::WaitUntil([] { return WatchWindow() != nullptr; }, 20s) ||
        !WaitForProfile(*client, kAlphaProfile, 15s)) {
        std::printf("the watcher did not take up the program in front\n");
        return 1;
    }
    timeBeginPeriod(1);

    // At rest: rules loaded, the program in front handled, nothing changing.
    Sleep(2000);
    const double cpuBefore = CpuMs(watcher.info.hProcess);
    const double restStart = NowMs();
    std::this_thread::sleep_for(kRest);
    const double cpuPercent =
        100.0 * (CpuMs(watcher.info.hProcess) - cpuBefore) / (NowMs() - restStart);
    const double watcherMb = PrivateMb(watcher.info.hProcess);
    const double emptyMb = EmptyPrivateMb();

    // Foreground change to the switch's write in the mouse's trace.
    std::vector<double> latencies;
    int missed = 0;
    for (int i = 0; i < kChanges; ++i) {
        const bool toBeta = i % 2 == 0;
        if (!ClearTrace(*client)) break;
        const double start = NowMs();
        if (!BringToFront(toBeta ? betaWindow : alphaWindow)) break;
        bool written = false;
        while (!written && NowMs() - start < kSettleMs + 5000) {
            vmouse::StatusInfo status{};
            if (client->Status(status, error) && status.traceNext != status.traceFirst)
                written = ActiveProfileWrites(*client) > 0;
            if (!written) Sleep(2);
        }
        if (!written) {
            ++missed;
            continue;
        }
        latencies.push_back(NowMs() - start);
        // The switch runs to its end (the mouse applies the profile) before the next change.
        if (!WaitForProfile(*client, toBeta ? kBetaProfile : kAlphaProfile, 10s)) ++missed;
    }

    // A burst: the mouse's own button first moves it off the profile of the program the burst
    // ends on, so one switch is the right answer.
    const int endProfile = kChanges % 2 == 0 ? kAlphaProfile : kBetaProfile;
    client->Simple(vmouse::ControlCommand::Press, error,
                   static_cast<uint8_t>(vmouse::Control::Profile), 0);
    WaitForProfile(*client, endProfile + 1, 5s);
    ClearTrace(*client);
    const double burstStart = NowMs();
    int brought = 0;
    for (int i = 0; i < kBurst; ++i) brought += BringToFront(i % 2 == 0 ? betaWindow : alphaWindow);
    const double burstMs = NowMs() - burstStart;
    DWORD_PTR ignored = 0;
    const double askStart = NowMs();
    const bool answers =
        SendMessageTimeoutW(WatchWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0;
    const double answerMs = NowMs() - askStart;
    const bool switched = WaitForProfile(*client, endProfile, 15s);
    Sleep(kSettleMs * 2);  // any later switch would have been decided by now (settling clock)
    const int burstWrites = ActiveProfileWrites(*client);
    timeEndPeriod(1);

    std::printf("watcher at rest for %lld s: %.3f %% of one core\n",
                static_cast<long long>(kRest.count()), cpuPercent);
    std::printf("private memory: watcher %.1f MB, empty window program %.1f MB\n", watcherMb,
                emptyMb);
    std::printf(
        "foreground change -> active-profile write in the trace, %zu of %d changes "
        "(%d missed): median %.1f ms, min %.1f, max %.1f; settling time + 50 ms = %d ms\n",
        latencies.size(), kChanges, missed, Median(latencies),
        latencies.empty() ? -1 : *std::min_element(latencies.begin(), latencies.end()),
        latencies.empty() ? -1 : *std::max_element(latencies.begin(), latencies.end()),
        kSettleMs + 50);
    std::printf(
        "burst of %d foreground changes (%d brought to the front) in %.0f ms: mouse on "
        "the last program's profile %s, %d write(s) of the active-profile byte; watcher "
        "%s (%.1f ms round trip)\n",
        kBurst, brought, burstMs, switched ? "yes" : "NO", burstWrites,
        answers ? "answers" : "DOES NOT ANSWER", answerMs);
    std::printf("@ watch_idle_cpu_percent %.3f\n", cpuPercent);
    std::printf("@ watch_private_mb %.3f\n@ watch_empty_private_mb %.3f\n", watcherMb, emptyMb);
    std::printf("@ watch_switch_ms %.3f\n@ watch_settle_ms %d\n", Median(latencies), kSettleMs);
    std::printf("@ watch_burst_writes %d\n@ watch_burst_answers %d\n", burstWrites,
                answers ? 1 : 0);

    PostMessageW(WatchWindow(), WM_CLOSE, 0, 0);
    WaitForSingleObject(watcher.info.hProcess, 10000);
    PostMessageW(alphaWindow, WM_CLOSE, 0, 0);
    PostMessageW(betaWindow, WM_CLOSE, 0, 0);
    return 0;
}
