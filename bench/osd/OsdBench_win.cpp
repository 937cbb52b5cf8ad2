// Display program figures on the virtual mouse: from the mouse's event report to the popup
// presented (median and spread over 50 events, against the 26 ms the two query waits take), and
// the program's private memory at rest. Prints; asserts nothing. Lines starting with "@" are the
// figures bench/run.sh reads.
#include <windows.h>

#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/BenchClock_win.h"
#include "vmouse/tool/ControlClient_win.h"
#include "tests/e2e/E2eSupport.h"
#include "osd/PictureComposer_win.h"

namespace {

using bench::NowMs;

using namespace std::chrono_literals;

constexpr int kEvents = 50;
constexpr double kQueryWaitsMs = 26.0;

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

HWND Listener() { return FindWindowW(L"VISTREL", L"Vistrel"); }
bool PopupShown() {
    HWND popup = FindWindowW(L"GDIPPOPWND", nullptr);
    return popup && IsWindowVisible(popup);
}

// How long one picture takes to compose from its files, the part of a popup that is ours alone.
void PrintCompositionTimes() {
    vistrel::GdiplusSession gdiplus;
    vistrel::DisplayState state;
    state.levelIndex = 2;
    state.dpi = 3500;
    state.pollingHz = 1000;
    state.profile = 3;
    const std::wstring folder = e2e::BinFolder() + L"\\";
    std::printf("composition from the PNG files, median of 20:");
    for (const auto& [kind, name] : {std::pair{vistrel::PopupKind::Dpi, "DPI"},
                                     std::pair{vistrel::PopupKind::Polling, "polling"},
                                     std::pair{vistrel::PopupKind::Profile, "profile"}}) {
        std::vector<double> times;
        for (int i = 0; i < 20; ++i) {
            const double start = NowMs();
            const auto composed = vistrel::ComposePicture(vistrel::PictureFor(kind, state), folder);
            times.push_back(NowMs() - start);
            if (!composed) std::printf(" (%s failed)", name);
        }
        std::printf(" %s %.1f ms", name, Percentile(times, 0.5));
    }
    std::printf("\n");
}

}  // namespace

int wmain() {
    if (!e2e::MousePresent() && e2e::Vmouse(L"plug") != 0) {
        std::printf("the virtual mouse could not be plugged in\n");
        return 1;
    }
    e2e::WriteInstallKey(e2e::BinFolder());
    std::wstring error;
    auto client = vmtool::ControlClient::Open(error);
    if (!client) {
        std::printf("no control channel to the virtual mouse\n");
        return 1;
    }
    if (Listener()) {
        std::printf("Vistrel is already running; end it first\n");
        return 1;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + e2e::BinFolder() + L"\\Vistrel.exe\"";
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        e2e::BinFolder().c_str(), &startup, &process) ||
        !e2e::WaitUntil([] { return Listener() != nullptr; }, 20s)) {
        std::printf("Vistrel did not start\n");
        return 1;
    }
    timeBeginPeriod(1);
    std::this_thread::sleep_for(1s);

    std::vector<double> latencies, brackets;
    int missed = 0;
    for (int i = 0; i < kEvents; ++i) {
        // The listener hides the popup on any timer message: start each event from a hidden one.
        PostMessageW(Listener(), WM_TIMER, 0, 0);
        if (!e2e::WaitUntil([] { return !PopupShown(); }, 3s))
            std::printf("a popup did not hide before the next event\n");
        std::this_thread::sleep_for(80ms);
        const double start = NowMs();
        if (!client->Simple(vmouse::ControlCommand::Press, error,
                            static_cast<uint8_t>(vmouse::Control::Dpi), 0)) {
            std::printf("press failed\n");
            break;
        }
        const double pressed = NowMs();
        bool shown = false;
        while (NowMs() - start < 2000) {
            if (PopupShown()) {
                shown = true;
                break;
            }
            std::this_thread::yield();
        }
        if (!shown) {
            ++missed;
            continue;
        }
        latencies.push_back(NowMs() - start);
        brackets.push_back(pressed - start);
    }
    PostMessageW(Listener(), WM_TIMER, 0, 0);
    std::this_thread::sleep_for(3s);  // at rest

    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    const bool haveMemory = GetProcessMemoryInfo(
        process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);

    std::printf("event report to popup presented, %zu of %d events (%d without a popup):\n",
                latencies.size(), kEvents, missed);
    std::printf("  median %.1f ms, p10 %.1f ms, p90 %.1f ms, min %.1f ms, max %.1f ms\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.1), Percentile(latencies, 0.9),
                Percentile(latencies, 0.0), Percentile(latencies, 1.0));
    std::printf("  the query's two waits: %.0f ms; beyond them (median): %.1f ms\n", kQueryWaitsMs,
                Percentile(latencies, 0.5) - kQueryWaitsMs);
    std::printf("  the control request that makes the event took (median) %.1f ms of that\n",
                Percentile(brackets, 0.5));
    if (haveMemory) {
        // Wine leaves PrivateUsage at 0; the commit charge (PagefileUsage) is the same figure.
        const double privateMb =
            static_cast<double>(std::max(memory.PrivateUsage, memory.PagefileUsage)) / 1048576.0;
        std::printf("private memory at rest: %.1f MB (working set %.1f MB)\n", privateMb,
                    static_cast<double>(memory.WorkingSetSize) / 1048576.0);
    } else {
        std::printf("memory counters not available: error %lu\n", GetLastError());
    }
    std::printf("@ osd_popup_ms %.3f\n@ osd_waits_ms %.3f\n", Percentile(latencies, 0.5),
                kQueryWaitsMs);
    if (haveMemory) {
        std::printf(
            "@ osd_private_mb %.3f\n",
            static_cast<double>(std::max(memory.PrivateUsage, memory.PagefileUsage)) / 1048576.0);
    }
    timeEndPeriod(1);
    PrintCompositionTimes();

    // "/q" as a user would end it.
    STARTUPINFOW quitStartup{};
    quitStartup.cb = sizeof quitStartup;
    PROCESS_INFORMATION quit{};
    std::wstring quitLine = line + L" /q";
    if (CreateProcessW(nullptr, quitLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       e2e::BinFolder().c_str(), &quitStartup, &quit)) {
        WaitForSingleObject(quit.hProcess, 10000);
        CloseHandle(quit.hProcess);
        CloseHandle(quit.hThread);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return 0;
}
