#pragma once
// Support for end-to-end tests: the real program, the virtual mouse's control tool, the registry
// and real window messages, all from a test process under Wine.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

std::wstring BinFolder();  // the folder of the test program, where everything was built

// vmouse.exe is beside the tests (a build without it skips the journeys that need it).
bool VirtualMouseBuilt();
// vmouse.exe with the given arguments; its exit code (or -1 when it could not run).
[[nodiscard]] int Vmouse(const std::wstring& arguments, DWORD timeoutMs = 90000);
std::vector<std::uint8_t> DumpEeprom();
// Both of the mouse's collections are visible to the system.
bool MousePresent();

struct TraceReport {
    bool in = false;          // towards the mouse
    std::uint16_t usage = 0;  // 0xFF00 write collection, 0x0002 read collection
    std::string kind;         // set-feature, get-feature, input
    std::vector<std::uint8_t> bytes;
    std::string note;
};
std::vector<TraceReport> ReadTrace();
struct TimedReport {
    double timeMs = 0;  // the mouse's own clock
    TraceReport report;
};
std::vector<TimedReport> ReadTraceTimed();
void ClearTrace();
// Write reports (id 3) the mouse received, in order.
std::vector<std::vector<std::uint8_t>> WritesIn(const std::vector<TraceReport>& trace);
// Read requests (id 4) for an address.
int ReadRequestsFor(const std::vector<TraceReport>& trace, std::uint16_t address);

// A program of the build run to its end (at most 5 minutes), its output taken through pipes.
struct ToolOutcome {
    DWORD code = 0xFFFFFFFF;
    std::string out;
    std::string err;
};
[[nodiscard]] ToolOutcome RunTool(const std::wstring& program, const std::wstring& arguments);

// Registry, as the program sees it.
std::optional<std::wstring> ReadUserString(const std::wstring& key, const std::wstring& name);
std::optional<DWORD> ReadUserDword(const std::wstring& key, const std::wstring& name);
void DeleteUserSettings();
void WriteInstallKey(const std::wstring& folder);

[[nodiscard]] bool WaitUntil(const std::function<bool()>& condition,
                             std::chrono::milliseconds timeout);

// Another process's window text (up to 600 characters), and the child of a class whose left
// edge lies at `left` in its parent's client area.
std::wstring TextOf(HWND window);
HWND ChildAt(HWND parent, const wchar_t* className, int left);

// Another program of the build (a test window, tavrine.exe watch), started in the build's
// folder; ended, if still running, when this goes.
struct Started {
    PROCESS_INFORMATION info{};
    Started() = default;
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;
    ~Started();
};
[[nodiscard]] bool Start(Started& started, const std::wstring& program,
                         const std::wstring& arguments, DWORD flags = 0);

class Program {
  public:
    // The configuration program of the build, or the one at the given path (an installed copy),
    // started in its own folder.
    explicit Program(std::wstring path = {}) : path_(std::move(path)) {}
    ~Program();
    // Starts the program and waits until its main window shows and its message loop runs.
    bool Start();
    // Starts it without waiting for anything.
    bool Launch();
    bool Running() const;
    HANDLE Process() const { return process_.hProcess; }
    bool WaitForExit(std::chrono::milliseconds timeout, DWORD* exitCode = nullptr);
    void Kill();

    HWND Window(const wchar_t* className, const wchar_t* caption = nullptr) const;
    HWND Main() const { return Window(L"TTavrineMainForm1", L"Norvex TAVRINE"); }
    bool Visible(const wchar_t* className) const;
    // Clicks a button of `from` and waits until the program shows the window of that class;
    // nullptr when it does not within 5 s.
    HWND OpenDialog(HWND from, POINT button, const wchar_t* className) const;

    // Mouse messages at client coordinates of the window, handled by the program before these
    // return (false when it did not answer). They reach the window procedure as sent messages,
    // ahead of anything posted; a click whose handler opens a modal loop (a file chooser, an
    // error report) returns once that loop runs, with the program still inside the click.
    static bool Move(HWND window, int x, int y);
    static bool Click(HWND window, int x, int y);
    static bool Press(HWND window, int x, int y);
    // A click posted as real input arrives, through the program's message loop, without waiting:
    // for a click that opens a modal loop, which then runs as it does for a user (device
    // reports included). The caller waits on what the click shows.
    static void PostClick(HWND window, int x, int y);
    // Posted, so that the program's loop translates them; nothing tells when they are handled,
    // so this waits a moment.
    static void KeyPress(HWND window, UINT virtualKey);
    // Returns once the window's thread has handled everything sent to it before.
    static bool Sync(HWND window);

  private:
    std::wstring path_;
    PROCESS_INFORMATION process_{};
};

// The mouse's level-and-lights byte, the one the main window reads at the attach and after the
// light dialog.
inline constexpr std::uint16_t kLightsAddress = 0x0007;

// The mouse plugged in, with its factory memory and no fault armed. Empty when so, else what
// failed.
[[nodiscard]] std::string FactoryMouse();

// Starts the program with the mouse plugged in (as the test left it otherwise) and an empty
// trace, and returns once the attach has read the lights and the program has handled
// what followed (its controls are enabled then). Empty when it did, else what was missing.
[[nodiscard]] std::string StartAttached(Program& program);

// A first run has empty records, and a profile without a left button is refused: the left,
// right and middle buttons of the shown profile get their defaults, which makes it writable.
[[nodiscard]] bool GiveMainButtonsDefaults(HWND main);

// The display program's popup is up (visible) within the time.
[[nodiscard]] bool WaitForDisplayPopup(std::chrono::milliseconds timeout);

// The whole screen as Windows draws it, saved as build/<preset>/test-artifacts/<name>.bmp.
// (Grabbed through GDI: the X server's own capture shows overlapping Wine windows black.)
bool SaveScreenshot(const std::wstring& name);

// A plain sleep. Only for a wait that nothing can be asked about: the mouse's own clock (its
// acknowledgement delay, the driver taking in a report) or Wine painting a window before a
// screenshot. Whatever the program or the mouse can tell is waited on with WaitUntil instead.
void Settle(std::chrono::milliseconds time = std::chrono::milliseconds(300));

}  // namespace e2e
