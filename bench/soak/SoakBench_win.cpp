// Soak of the configuration program against the virtual mouse: 200 profile writes in a row,
// then 1,000 event reports from the mouse in bursts. Private bytes, handles and GDI/USER objects
// of the program before and after each part, and every write's reports as the mouse counted
// them (35 each: one more means an acknowledgement was missed and a chunk resent). Prints
// figures; asserts nothing.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "vmouse/tool/ControlClient_win.h"
#include "tests/e2e/E2eSupport.h"

namespace {

using namespace std::chrono_literals;

struct Usage {
    double privateKb = 0;
    DWORD handles = 0, gdi = 0, user = 0;
};

Usage Measure(HANDLE process) {
    Usage u;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        // Wine leaves PrivateUsage at 0; the commit charge (PagefileUsage) is the same figure.
        u.privateKb =
            static_cast<double>(std::max(memory.PrivateUsage, memory.PagefileUsage)) / 1024;
    }
    GetProcessHandleCount(process, &u.handles);
    u.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    u.user = GetGuiResources(process, GR_USEROBJECTS);
    return u;
}

void PrintUsage(const char* when, const Usage& u) {
    std::printf("  %-28s private %9.0f KB  handles %5lu  GDI objects %5lu  USER objects %5lu\n",
                when, u.privateKb, u.handles, u.gdi, u.user);
}

void PrintGrowth(const Usage& a, const Usage& b) {
    std::printf("  %-28s private %+9.0f KB  handles %+5ld  GDI objects %+5ld  USER objects %+5ld\n",
                "growth", b.privateKb - a.privateKb, static_cast<long>(b.handles - a.handles),
                static_cast<long>(b.gdi - a.gdi), static_cast<long>(b.user - a.user));
}

std::optional<vmouse::StatusInfo> MouseStatus(vmtool::ControlClient& client) {
    vmouse::StatusInfo status{};
    std::wstring error;
    if (!client.Status(status, error)) return std::nullopt;
    return status;
}

// Apply as a user clicks it, then the end of the write: the progress window shown and hidden,
// or the mouse having taken all 35 reports with the window already gone.
bool OneWrite(HWND main, HWND loading, vmtool::ControlClient& client, std::uint32_t& reports) {
    const auto before = MouseStatus(client);
    if (!before) return false;
    PostMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(651, 716));
    PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(651, 716));
    PostMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(651, 716));
    bool seen = false;
    const bool ended = e2e::WaitUntil(
        [&] {
            const bool visible = IsWindowVisible(loading) != FALSE;
            seen = seen || visible;
            if (seen && !visible) return true;
            if (seen) return false;
            const auto now = MouseStatus(client);
            return now && now->counters.writesAccepted - before->counters.writesAccepted >= 35 &&
                   !IsWindowVisible(loading);
        },
        30s);
    e2e::Settle(150ms);  // WriteEnding and the controls coming back
    const auto after = MouseStatus(client);
    reports = after ? after->counters.writesAccepted - before->counters.writesAccepted : 0;
    return ended;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int writes = argc > 1 ? _wtoi(argv[1]) : 200;
    const int events = argc > 2 ? _wtoi(argv[2]) : 1000;
    constexpr int kBurst = 25;

    e2e::WriteInstallKey(e2e::BinFolder());
    if (!e2e::MousePresent() && e2e::Vmouse(L"plug") != 0) {
        std::printf("the virtual mouse could not be plugged in\n");
        return 1;
    }
    if (e2e::Vmouse(L"reset") != 0 || e2e::Vmouse(L"fault clear") != 0) {
        std::printf("the virtual mouse could not be reset\n");
        return 1;
    }
    e2e::DeleteUserSettings();
    e2e::Program program;
    if (!program.Start()) {
        std::printf("the program did not start\n");
        return 1;
    }
    e2e::Settle(2500ms);  // the attach
    HWND main = program.Main();
    HWND loading = program.Window(L"TLoadingForm", L"LoadingForm");
    e2e::Program::Click(main, 294, 309);  // a first run has empty records: the left button's
    e2e::Program::Click(main, 717, 430);  // default makes the profile writable
    std::wstring error;
    auto client = vmtool::ControlClient::Open(error);
    if (!client) {
        std::printf("the mouse's control collection could not be opened\n");
        return 1;
    }
    std::uint32_t reports = 0;
    OneWrite(main, loading, *client, reports);  // the first write sets up what every write uses
    e2e::Settle(500ms);

    const Usage start = Measure(program.Process());
    int ended = 0, whole = 0, resent = 0;
    std::uint32_t total = 0;
    const auto writeStart = std::chrono::steady_clock::now();
    for (int i = 0; i < writes && program.Running(); ++i) {
        const bool ok = OneWrite(main, loading, *client, reports);
        ended += ok;
        whole += reports == 35;
        resent += reports > 35 ? static_cast<int>(reports - 35) : 0;
        total += reports;
    }
    const double writeSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - writeStart).count();
    e2e::Settle(500ms);
    const Usage afterWrites = Measure(program.Process());

    const auto status0 = MouseStatus(*client);
    int pressed = 0;
    const vmouse::Control kinds[] = {vmouse::Control::Dpi, vmouse::Control::Polling,
                                     vmouse::Control::Lock};
    while (pressed < events && program.Running()) {
        for (int k = 0; k < kBurst && pressed < events; ++k, ++pressed) {
            client->Simple(vmouse::ControlCommand::Press, error,
                           static_cast<std::uint8_t>(kinds[pressed % 3]));
        }
        e2e::Settle(200ms);
    }
    e2e::Settle(1s);
    const auto status1 = MouseStatus(*client);
    const Usage afterEvents = Measure(program.Process());
    DWORD_PTR answer = 0;
    const bool responsive =
        SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
    // One more write after the events: the program still writes whole profiles.
    const bool lastOk = OneWrite(main, loading, *client, reports) && reports == 35;

    std::printf("soak of the configuration program against the virtual mouse\n");
    std::printf(
        "profile writes: %d asked, %d ended, %d with exactly 35 reports, %d reports resent "
        "(missed acknowledgements), %u reports in all, %.1f s (%.0f ms a write)\n",
        writes, ended, whole, resent, total, writeSeconds,
        writes ? 1000.0 * writeSeconds / writes : 0.0);
    PrintUsage("before the writes", start);
    PrintUsage("after the writes", afterWrites);
    PrintGrowth(start, afterWrites);
    const std::uint32_t sent =
        status0 && status1 ? status1->counters.inputsSent - status0->counters.inputsSent : 0;
    std::printf("event reports: %d presses in bursts of %d, %u input reports sent by the mouse\n",
                pressed, kBurst, sent);
    PrintUsage("after the events", afterEvents);
    PrintGrowth(afterWrites, afterEvents);
    std::printf("program running %s, answering messages %s, a write after the events %s\n",
                program.Running() ? "yes" : "NO", responsive ? "yes" : "NO",
                lastOk ? "whole (35 reports)" : "NOT whole");
    if (afterEvents.gdi == 0 && afterEvents.user == 0)
        std::printf("(GDI/USER counts of 0: this Wine does not count them per process)\n");
    if (afterEvents.handles == 0)
        std::printf("(handle count of 0: this Wine does not report another process's handles)\n");
    program.Kill();
    return 0;
}
