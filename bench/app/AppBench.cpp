// The configuration program under Wine with the virtual mouse: start to window shown, start to
// the window enabled by the attach, Apply to the end of the write against its floor, the
// program's private memory, its processor time at rest and the pointer moves over the profile
// pictures and button areas; beside them the empty window program's start and memory, measured
// in the same run. Prints figures; asserts nothing. Lines starting with "@" are the figures
// bench/run.sh reads; the pictures read during the pointer moves are counted outside Wine
// between the marker files this program creates in bin\bench-marks.
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>
#include <setupapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include "bench/BenchClock_win.h"
#include "vmouse/tool/ControlClient_win.h"
#include "tests/e2e/E2eSupport.h"

extern "C" {
#include <hidsdi.h>
}

namespace {

using bench::CpuMs;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Polls finely: the start figures are read the same way, to a few milliseconds.
bool PollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        if (condition()) return true;
        Sleep(5);
    }
    return condition();
}

double PrivateMb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                              sizeof memory)) {
        return -1;
    }
    // Wine leaves PrivateUsage at 0; the commit charge (PagefileUsage) is the same figure.
    return static_cast<double>(std::max(memory.PrivateUsage, memory.PagefileUsage)) /
           (1024.0 * 1024.0);
}

void Mark(const std::wstring& name) {
    const std::wstring folder = e2e::BinFolder() + L"\\bench-marks";
    CreateDirectoryW(folder.c_str(), nullptr);
    HANDLE file = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

struct Empty {
    double shown = -1, privateMb = -1;
};

// The empty window program: start to its window shown, then its memory once it has settled.
Empty EmptyRun() {
    Empty run;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + e2e::BinFolder() + L"\\bench_empty_window.exe\"";
    const auto start = Clock::now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        e2e::BinFolder().c_str(), &startup, &process)) {
        return run;
    }
    HWND window = nullptr;
    if (PollUntil(
            [&] {
                window = FindWindowW(L"BenchEmptyWindow", nullptr);
                DWORD pid = 0;
                if (window) GetWindowThreadProcessId(window, &pid);
                return window && pid == process.dwProcessId && IsWindowVisible(window);
            },
            20s)) {
        run.shown = Ms(Clock::now() - start);
        Sleep(1000);
        run.privateMb = PrivateMb(process.hProcess);
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return run;
}

constexpr int kHoverMoves = 20;

// Pointer moves that change nothing: within one profile picture that is not the current one,
// and within one button area, after the pointer has come in.
void HoverMoves(HWND main) {
    e2e::Program::Move(main, 700, 140);
    e2e::Settle(200ms);
    Mark(L"profile-hover-begin");
    for (int i = 0; i < kHoverMoves; ++i) {
        PostMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(700 + i % 7, 140 + i % 5));
        e2e::Settle(30ms);
    }
    e2e::Settle(300ms);
    Mark(L"profile-hover-end");
    e2e::Program::Move(main, 290, 300);
    e2e::Settle(200ms);
    Mark(L"button-hover-begin");
    for (int i = 0; i < kHoverMoves; ++i) {
        PostMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(290 + i % 7, 300 + i % 5));
        e2e::Settle(30ms);
    }
    e2e::Settle(300ms);
    Mark(L"button-hover-end");
    // Away from everything again, so that the rest is measured without a hover.
    e2e::Program::Move(main, 60, 700);
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The write collection's path, found the way the program's library finds it.
std::wstring WriteCollectionPath() {
    GUID hid;
    HidD_GetHidGuid(&hid);
    HDEVINFO set =
        SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    std::wstring found;
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD i = 0; found.empty() && SetupDiEnumDeviceInterfaces(set, nullptr, &hid, i, &data);
         ++i) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr);
        std::vector<BYTE> buffer(size + 2);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr)) continue;
        std::wstring path = detail->DevicePath;
        for (auto& c : path) c = static_cast<wchar_t>(towlower(c));
        if (path.find(L"vid_1d57&pid_5502&col01") != std::wstring::npos) found = detail->DevicePath;
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

// Write report taken to acknowledgement as the program receives it: the acknowledgement travels as
// an input report through raw input (WM_INPUT), as WMINPUT.DLL hands it on. Each round rewrites the
// active-profile byte with the value it has, so the mouse is left as it was.
LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

bool AcknowledgementIn(HRAWINPUT handle) {
    UINT size = 0;
    GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER));
    std::vector<BYTE> buffer(size);
    if (GetRawInputData(handle, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) != size) {
        return false;
    }
    const auto* input = reinterpret_cast<const RAWINPUT*>(buffer.data());
    return input->header.dwType == RIM_TYPEHID && input->data.hid.dwSizeHid > 1 &&
           input->data.hid.bRawData[1] == 0x10;
}

std::vector<double> AcknowledgementLatencies(int rounds) {
    std::vector<double> samples;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = SinkProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"AppBenchSink";
    RegisterClassExW(&windowClass);
    HWND sink = CreateWindowExW(0, L"AppBenchSink", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    RAWINPUTDEVICE device{0xFF00, 0xFF00, RIDEV_INPUTSINK, sink};
    RegisterRawInputDevices(&device, 1, sizeof device);

    const std::wstring path = WriteCollectionPath();
    HANDLE collection =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (collection == INVALID_HANDLE_VALUE) return samples;
    for (int i = 0; i < rounds; ++i) {
        BYTE report[16] = {3, 0x05, 0x00, 1, 0x20};
        // From the report taken to its acknowledgement: the feature call itself is the walk's.
        if (!HidD_SetFeature(collection, report, sizeof report)) break;
        const auto start = Clock::now();
        bool acknowledged = false;
        while (!acknowledged && Clock::now() - start < 1s) {
            MSG msg;
            if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
                continue;
            }
            if (msg.message == WM_INPUT &&
                AcknowledgementIn(reinterpret_cast<HRAWINPUT>(msg.lParam))) {
                acknowledged = true;
                samples.push_back(Ms(Clock::now() - start));
            }
            DispatchMessageW(&msg);
        }
    }
    CloseHandle(collection);
    device.dwFlags = RIDEV_REMOVE;
    device.hwndTarget = nullptr;
    RegisterRawInputDevices(&device, 1, sizeof device);
    DestroyWindow(sink);
    return samples;
}

struct Run {
    double shown = -1, enabled = -1;
    std::vector<double> writes, deviceSpans;
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    double idleCpuMs = -1, idleWallMs = -1, totalCpuMs = -1;
};

constexpr auto kIdle = 30s;
constexpr int kWritesPerRun = 4;

// The attach's read of the light state (address 7) is in the mouse's trace.
bool LightReadSeen() {
    static std::optional<vmtool::ControlClient> client;
    std::wstring error;
    if (!client) client = vmtool::ControlClient::Open(error);
    std::vector<vmouse::TraceEntry> entries;
    if (!client || !client->ReadTrace(entries, error)) return false;
    for (const auto& e : entries) {
        if (e.direction == vmouse::TraceDirection::In && e.kind == vmouse::TraceKind::SetFeature &&
            e.length >= 3 && e.bytes[0] == 4 && (e.bytes[1] | (e.bytes[2] << 8)) == 0x0007) {
            return true;
        }
    }
    return false;
}

Run OneRun(bool measureRest) {
    Run run;
    e2e::DeleteUserSettings();
    e2e::ClearTrace();
    e2e::Program program;
    const auto start = Clock::now();
    if (!program.Launch() ||
        !PollUntil([&] { return program.Main() && IsWindowVisible(program.Main()); }, 20s)) {
        return run;
    }
    run.shown = Ms(Clock::now() - start);
    HWND main = program.Main();
    // The controls are enabled right after the attach reads the light state (address 7): the
    // mouse's trace is polled for that read straight through its control channel, every 5 ms.
    if (!PollUntil([] { return LightReadSeen(); }, 10s)) return run;
    run.enabled = Ms(Clock::now() - start);
    e2e::Settle(300ms);

    // A first run has empty records: give the left button its default, then Apply; again for
    // each write, so that each one has something to write.
    HWND loading = program.Window(L"TLoadingForm", L"LoadingForm");
    for (int w = 0; w < kWritesPerRun; ++w) {
        e2e::ClearTrace();
        e2e::Program::Click(main, 294, 309);
        e2e::Program::Click(main, 717, 430);
        PostMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(651, 716));
        PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(651, 716));
        e2e::Settle(50ms);
        const auto apply = Clock::now();
        PostMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(651, 716));
        // The progress window shows while the write runs and hides when it ends.
        bool seen = false, ended = false;
        const auto limit = apply + 10s;
        while (Clock::now() < limit) {
            const bool visible = IsWindowVisible(loading) != FALSE;
            if (visible) seen = true;
            if (seen && !visible) {
                run.writes.push_back(Ms(Clock::now() - apply));
                ended = true;
                break;
            }
            Sleep(1);
        }
        if (!ended) break;
        // The write as the mouse saw it: first write report in to the last acknowledgement out.
        const auto trace = e2e::ReadTraceTimed();
        double first = -1, last = -1;
        for (const auto& r : trace) {
            if (r.report.in && r.report.kind == "set-feature" && !r.report.bytes.empty() &&
                r.report.bytes[0] == 3 && first < 0) {
                first = r.timeMs;
            }
            if (!r.report.in && r.report.kind == "input" && r.report.bytes.size() > 1 &&
                r.report.bytes[1] == 0x10) {
                last = r.timeMs;
            }
        }
        if (first >= 0 && last >= first) run.deviceSpans.push_back(last - first);
        e2e::Settle(300ms);
    }

    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(program.Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        // Wine leaves PrivateUsage at 0; the commit charge (PagefileUsage) is the same figure.
        run.privateBytes = std::max(memory.PrivateUsage, memory.PagefileUsage);
        run.workingSet = memory.WorkingSetSize;
    } else {
        std::printf("memory counters not available: error %lu\n", GetLastError());
    }
    if (!measureRest) return run;
    HoverMoves(main);
    e2e::Settle(2s);
    const double cpu0 = CpuMs(program.Process());
    const auto idleStart = Clock::now();
    Sleep(static_cast<DWORD>(std::chrono::milliseconds(kIdle).count()));
    const double cpu1 = CpuMs(program.Process());
    run.totalCpuMs = cpu1;
    // A process that has used no time at all since it started means the counters are not kept.
    if (cpu0 > 0 && cpu1 >= cpu0) {
        run.idleCpuMs = cpu1 - cpu0;
        run.idleWallMs = Ms(Clock::now() - idleStart);
    }
    return run;
}

double QpcMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// "app_bench start [runs]": where the start's time goes. Each run starts the program with
// TAVRINE_STARTUP_TRACE set and prints the steps it wrote, in milliseconds from the moment this
// process started it (the performance counter is one clock for every process), beside the empty
// program's start to window shown.
int StartSteps(int runs) {
    const std::wstring trace = e2e::BinFolder() + L"\\startup-trace.txt";
    SetEnvironmentVariableW(L"TAVRINE_STARTUP_TRACE", trace.c_str());
    std::vector<double> emptyShown;
    for (int i = 0; i < runs; ++i) {
        emptyShown.push_back(EmptyRun().shown);
        DeleteFileW(trace.c_str());
        e2e::Program program;
        const double start = QpcMs();
        if (!program.Launch() ||
            !PollUntil([&] { return program.Main() && IsWindowVisible(program.Main()); }, 20s)) {
            std::printf("run %d: the program did not show its window\n", i + 1);
            continue;
        }
        const double shown = QpcMs() - start;
        WaitForInputIdle(program.Process(), 10000);
        const double idle = QpcMs() - start;
        Sleep(300);
        std::printf(
            "run %d: window seen shown at %.0f ms, its loop waiting at %.0f ms (empty program "
            "%.0f ms); steps:",
            i + 1, shown, idle, emptyShown.back());
        FILE* file = _wfopen(trace.c_str(), L"r");
        char step[64];
        double at = 0, previous = start;
        while (file && std::fscanf(file, "%63s %lf", step, &at) == 2) {
            std::printf(" %s %.0f (+%.0f)", step, at - start, at - previous);
            previous = at;
        }
        if (file) std::fclose(file);
        std::printf("\n");
    }
    SetEnvironmentVariableW(L"TAVRINE_STARTUP_TRACE", nullptr);
    DeleteFileW(trace.c_str());
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"start") {
        e2e::WriteInstallKey(e2e::BinFolder());
        if (!e2e::MousePresent() && e2e::Vmouse(L"plug") != 0) {
            std::printf("the virtual mouse could not be plugged in\n");
            return 1;
        }
        return StartSteps(argc > 2 ? _wtoi(argv[2]) : 5);
    }
    e2e::WriteInstallKey(e2e::BinFolder());
    if (!e2e::MousePresent() && e2e::Vmouse(L"plug") != 0) {
        std::printf("the virtual mouse could not be plugged in\n");
        return 1;
    }
    if (e2e::Vmouse(L"reset") != 0) {
        std::printf("the virtual mouse could not be reset\n");
        return 1;
    }
    const auto latencies = AcknowledgementLatencies(50);
    const double ack = Median(latencies);
    std::vector<double> shown, enabled, writes, spans, memoryMb, workingMb;
    std::vector<double> emptyShown, emptyMb;
    Run last;
    constexpr int kRuns = 3;
    for (int i = 0; i < kRuns; ++i) {
        // The empty program just before each run, so both see the same machine.
        for (int k = 0; k < 2; ++k) {
            const Empty empty = EmptyRun();
            if (empty.shown >= 0) emptyShown.push_back(empty.shown);
            if (empty.privateMb >= 0) emptyMb.push_back(empty.privateMb);
        }
        const Run run = OneRun(i == kRuns - 1);
        if (i == kRuns - 1) last = run;
        if (run.shown >= 0) shown.push_back(run.shown);
        if (run.enabled >= 0) enabled.push_back(run.enabled);
        writes.insert(writes.end(), run.writes.begin(), run.writes.end());
        spans.insert(spans.end(), run.deviceSpans.begin(), run.deviceSpans.end());
        if (run.workingSet)
            workingMb.push_back(static_cast<double>(run.workingSet) / (1024.0 * 1024.0));
        if (run.privateBytes)
            memoryMb.push_back(static_cast<double>(run.privateBytes) / (1024.0 * 1024.0));
    }
    const double floor = 100.0 + 35.0 * (3.0 + ack);
    // What the program's 3 ms wait really takes here: Sleep(3) at a 1 ms timer period, as the
    // program asks for it.
    std::vector<double> sleeps;
    timeBeginPeriod(1);
    for (int i = 0; i < 100; ++i) {
        const auto t0 = Clock::now();
        Sleep(3);
        sleeps.push_back(Ms(Clock::now() - t0));
    }
    timeEndPeriod(1);
    std::printf("Sleep(3) takes, median of 100: %.2f ms (35 of them: %.0f ms beyond 35 x 3 ms)\n",
                Median(sleeps), 35.0 * (Median(sleeps) - 3.0));
    std::printf(
        "acknowledgement latency (write report taken to its acknowledgement through raw input), "
        "median "
        "of %zu: %.2f ms\n",
        latencies.size(), ack);
    std::printf("start to main window shown, median of %zu: %.0f ms; empty program %.0f ms\n",
                shown.size(), Median(shown), Median(emptyShown));
    std::printf(
        "start to controls enabled, median of %zu: %.0f ms "
        "(1300 ms + 200 ms of it are by design)\n",
        enabled.size(), Median(enabled));
    // Apply to WriteEnding starting (the last acknowledgement): the progress window hides when
    // WriteEnding fires, 100 ms later, so that is taken off the wall time.
    const double toEnding = writes.empty() ? 0.0 : Median(writes) - 100.0;
    std::printf(
        "Apply to WriteEnding, median of %zu: %.0f ms (progress hidden %.0f ms minus the "
        "100 ms WriteEnding timer); floor 100 + 35 x (3 + %.2f) = %.0f ms; ratio %.3f "
        "(goal within 10 %%)\n",
        writes.size(), toEnding, writes.empty() ? 0.0 : Median(writes), ack, floor,
        toEnding / floor);
    const double spanFloor = 35.0 * (3.0 + ack) - 3.0;
    std::printf(
        "as the mouse saw it, first write report to last acknowledgement, median of %zu: "
        "%.0f ms; floor 35 x (3 + %.2f) - 3 = %.0f ms; ratio %.3f\n",
        spans.size(), Median(spans), ack, spanFloor,
        spans.empty() ? 0.0 : Median(spans) / spanFloor);
    std::printf(
        "private memory after a write, median of %zu: %.1f MB; empty program %.1f MB; "
        "working set %.1f MB\n",
        memoryMb.size(), Median(memoryMb), Median(emptyMb), Median(workingMb));
    if (last.idleWallMs > 0) {
        std::printf(
            "processor time at rest with the mouse attached: %.1f ms in %.1f s "
            "(%.0f ms since its start)\n",
            last.idleCpuMs, last.idleWallMs / 1000.0, last.totalCpuMs);
    } else {
        std::printf("processor time of the program not available (%.0f ms)\n", last.totalCpuMs);
    }
    auto figure = [](const char* name, double value) { std::printf("@ %s %.3f\n", name, value); };
    figure("ack_ms", ack);
    figure("start_shown_ms", Median(shown));
    figure("empty_shown_ms", Median(emptyShown));
    figure("start_enabled_ms", Median(enabled));
    figure("write_ending_ms", toEnding);
    figure("write_floor_ms", floor);
    figure("sleep3_ms", Median(sleeps));
    figure("private_mb", Median(memoryMb));
    figure("empty_private_mb", Median(emptyMb));
    if (last.idleWallMs > 0) figure("idle_cpu_percent", 100.0 * last.idleCpuMs / last.idleWallMs);
    figure("hover_moves", kHoverMoves);
    figure("runs", static_cast<double>(shown.size()));
    return 0;
}
