// The macro editor's recording under Wine with the virtual mouse: a keystroke given through the
// system's input path (SendInput, so it passes the editor's keyboard hooks as a real one does) to
// its row in the editor's list view, read from this process with LVM_GETITEMCOUNT. Beside it, in
// the same run, the same keystroke to the empty window program, read back the same way (a message
// sent to it answers how many key messages it has had). Prints figures; asserts nothing.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/BenchClock_win.h"
#include "tests/e2e/E2eLayout.h"
#include "tests/e2e/E2eSupport.h"

namespace {

using bench::NowMs;

using namespace std::chrono_literals;
using namespace e2e::layout;

constexpr UINT kEmptyKeyCountMessage = WM_APP + 1;  // answered by bench_empty_window.exe

// Letters with their scan codes, as a keyboard sends them; each is pressed and released.
constexpr std::array<std::pair<WORD, WORD>, 12> kKeys = {{{'A', 0x1E},
                                                          {'S', 0x1F},
                                                          {'D', 0x20},
                                                          {'F', 0x21},
                                                          {'G', 0x22},
                                                          {'H', 0x23},
                                                          {'J', 0x24},
                                                          {'K', 0x25},
                                                          {'L', 0x26},
                                                          {'Q', 0x10},
                                                          {'W', 0x11},
                                                          {'E', 0x12}}};

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

void Key(WORD vk, WORD scan, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// A count the other process keeps, asked for by a sent message; -1 when it does not answer.
LRESULT CountOf(HWND window, UINT message) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return -1;
    return static_cast<LRESULT>(result);
}

// Each key pressed and released: the time from SendInput to the count going up, both ways, polled
// every millisecond. A key whose count does not move within 2 s is left out and counted.
std::vector<double> KeyLatencies(HWND window, UINT countMessage, int& lost) {
    std::vector<double> samples;
    timeBeginPeriod(1);
    for (const auto& [vk, scan] : kKeys) {
        for (const bool up : {false, true}) {
            const LRESULT before = CountOf(window, countMessage);
            if (before < 0) {
                ++lost;
                continue;
            }
            const double start = NowMs();
            Key(vk, scan, up);
            bool seen = false;
            while (NowMs() - start < 2000) {
                const LRESULT now = CountOf(window, countMessage);
                if (now > before) {
                    samples.push_back(NowMs() - start);
                    seen = true;
                    break;
                }
                Sleep(1);
            }
            if (!seen) ++lost;
            Sleep(120);  // a typist's pace, and time for the window to paint the row
        }
    }
    timeEndPeriod(1);
    return samples;
}

void Pump(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
}

// The empty window program in front, its keystrokes timed; empty when it could not be run.
std::vector<double> EmptyWindowLatencies(int& lost) {
    std::vector<double> samples;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + e2e::BinFolder() + L"\\bench_empty_window.exe\"";
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        e2e::BinFolder().c_str(), &startup, &process)) {
        return samples;
    }
    HWND window = nullptr;
    if (e2e::WaitUntil(
            [&] {
                window = FindWindowW(L"BenchEmptyWindow", nullptr);
                DWORD pid = 0;
                if (window) GetWindowThreadProcessId(window, &pid);
                return window && pid == process.dwProcessId && IsWindowVisible(window);
            },
            20s)) {
        SetForegroundWindow(window);
        Pump(1500ms);  // as long as the editor is given after its recording starts
        samples = KeyLatencies(window, kEmptyKeyCountMessage, lost);
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return samples;
}

// The program attached, its macro editor open with a new macro named, recording; the keystrokes
// timed to their rows. Empty, with the reason printed, when a step could not be taken.
std::vector<double> EditorLatencies(int& lost) {
    e2e::DeleteUserSettings();
    e2e::ClearTrace();
    e2e::Program program;
    if (!program.Start() ||
        !e2e::WaitUntil([] { return e2e::ReadRequestsFor(e2e::ReadTrace(), 0x0007) >= 1; }, 15s)) {
        std::printf("the program did not start and attach\n");
        return {};
    }
    e2e::Settle(500ms);
    HWND main = program.Main();
    HWND editor = program.Window(L"TMacroForm");
    HWND newMacro = program.Window(L"TNewMacroForm");
    HWND rows = editor ? FindWindowExW(editor, nullptr, L"SysListView32", nullptr) : nullptr;
    if (!rows || !newMacro) {
        std::printf("the macro editor's windows were not found\n");
        return {};
    }
    e2e::Program::Click(main, kMacro.x, kMacro.y);
    if (!e2e::WaitUntil([&] { return IsWindowVisible(editor) != FALSE; }, 5s)) {
        std::printf("the macro editor did not open\n");
        return {};
    }
    e2e::Program::Click(editor, kNew.x, kNew.y);
    HWND field = nullptr;
    if (e2e::WaitUntil([&] { return IsWindowVisible(newMacro) != FALSE; }, 5s)) {
        field = FindWindowExW(FindWindowExW(newMacro, nullptr, L"TPanel", nullptr), nullptr,
                              L"Edit", nullptr);
    }
    if (!field) {
        std::printf("the new-macro dialog did not open\n");
        return {};
    }
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Bench"));
    e2e::Program::KeyPress(field, VK_RETURN);
    if (!e2e::WaitUntil([&] { return !IsWindowVisible(newMacro); }, 5s)) {
        std::printf("the new-macro dialog did not take the name\n");
        return {};
    }
    e2e::Program::Click(editor, kRecord.x, kRecord.y);
    SetForegroundWindow(editor);
    // Under Wine the low-level hook sees keystrokes only a moment after it is installed.
    Pump(1500ms);
    auto samples = KeyLatencies(rows, LVM_GETITEMCOUNT, lost);
    e2e::Program::Click(editor, kStop.x, kStop.y);
    std::printf("rows in the editor at the end: %d\n",
                static_cast<int>(SendMessageW(rows, LVM_GETITEMCOUNT, 0, 0)));
    return samples;
}

}  // namespace

int wmain() {
    e2e::WriteInstallKey(e2e::BinFolder());
    if (!e2e::MousePresent() && e2e::Vmouse(L"plug") != 0) {
        std::printf("the virtual mouse could not be plugged in\n");
        return 1;
    }
    if (e2e::Vmouse(L"reset") != 0 || e2e::Vmouse(L"fault clear") != 0) {
        std::printf("the virtual mouse could not be reset\n");
        return 1;
    }
    // The empty window before and after the editor, so both see the same machine.
    int emptyLost = 0, editorLost = 0;
    std::vector<double> empty = EmptyWindowLatencies(emptyLost);
    const std::vector<double> editor = EditorLatencies(editorLost);
    const std::vector<double> emptyAfter = EmptyWindowLatencies(emptyLost);
    empty.insert(empty.end(), emptyAfter.begin(), emptyAfter.end());
    std::printf(
        "keystroke to its row in the macro editor, %zu keystrokes (%d lost): median %.1f ms, "
        "90th percentile %.1f ms\n",
        editor.size(), editorLost, Percentile(editor, 0.5), Percentile(editor, 0.9));
    std::printf(
        "keystroke to the empty window's key message, %zu keystrokes (%d lost): median %.1f ms, "
        "90th percentile %.1f ms\n",
        empty.size(), emptyLost, Percentile(empty, 0.5), Percentile(empty, 0.9));
    if (!editor.empty()) std::printf("@ macro_row_ms %.3f\n", Percentile(editor, 0.5));
    if (!empty.empty()) std::printf("@ key_delivery_ms %.3f\n", Percentile(empty, 0.5));
    // The slow tail is what a user sees lag: the 90th percentiles get a row of their own.
    if (!editor.empty()) std::printf("@ macro_row_p90_ms %.3f\n", Percentile(editor, 0.9));
    if (!empty.empty()) std::printf("@ key_delivery_p90_ms %.3f\n", Percentile(empty, 0.9));
    return 0;
}
