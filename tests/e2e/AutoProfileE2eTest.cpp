// tavrine watch's journey under Wine with the virtual mouse: rules set with tavrine auto, two
// programs of different names brought to the front in turn, and the mouse's active profile
// (its registers and EEPROM, through its trace) following each after the settling time and not
// before; a quick flip that switches nothing; the configuration program, the mouse's absence
// and a pause holding the watcher back, and the program in front acted on when they end; the
// display program's popup; a rule from the tray menu; one watcher at a time; Exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/E2eSupport.h"

namespace {

using namespace std::chrono_literals;

// The watcher's settling time in this journey (--settle): short, so the journey stays short.
constexpr auto kSettle = 700ms;
// A wait on the settling clock after which any switch would have been decided.
constexpr auto kAfterSettled = kSettle * 2;
constexpr std::uint16_t kActiveProfileByte = 0x0005;
constexpr std::uint16_t kLiveProfile = 0xFF02;
// The watcher's menu commands (cli/TrayIcon_win.h), posted as its menu would send them.
constexpr UINT kCmdPause = 40001;
constexpr UINT kCmdExit = 40002;
constexpr UINT kCmdUseProfile1 = 40011;

e2e::ToolOutcome Tavrine(const std::wstring& arguments) {
    return e2e::RunTool(L"tavrine.exe", arguments);
}

int ActiveProfileWrites() {
    int writes = 0;
    for (const auto& write : e2e::WritesIn(e2e::ReadTrace()))
        writes += write.size() > 2 && (write[1] | (write[2] << 8)) == kActiveProfileByte;
    return writes;
}

// The mouse's active profile as its control tool reports it ("profile 3, ...").
int MouseProfile() {
    const std::string status = e2e::RunTool(L"vmouse.exe", L"status").out;
    const auto at = status.find("profile ");
    return at == std::string::npos ? 0 : status[at + 8] - '0';
}

HWND FrontWindowOf(const wchar_t* caption) { return FindWindowW(L"TavrineFrontWindow", caption); }
HWND WatchWindow() { return FindWindowW(L"TTavrineAutoProfile", L"Tavrine automatic profiles"); }

// Asks the window's own program to come to the front, as a click would, and returns once it is
// and the watcher (when running) has handled what the system told it: the program's handling
// of the request raises the event, so a message sent to the watcher after it comes after the
// event in the watcher's queue.
[[nodiscard]] bool BringToFront(HWND window) {
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, 5000, &ignored)) return false;
    if (!e2e::WaitUntil([window] { return GetForegroundWindow() == window; }, 5s)) return false;
    const HWND watcher = WatchWindow();
    return !watcher || e2e::Program::Sync(watcher);
}

// For a failure's message: what was in front and whether the watcher asked the mouse.
std::string Circumstances() {
    wchar_t caption[64] = L"";
    GetWindowTextW(GetForegroundWindow(), caption, 64);
    std::string front;
    for (const wchar_t* c = caption; *c; ++c) front += *c < 128 ? static_cast<char>(*c) : '?';
    return "in front: '" + front + "', profile reads in the trace: " +
           std::to_string(e2e::ReadRequestsFor(e2e::ReadTrace(), kLiveProfile));
}

[[nodiscard]] bool MouseReaches(int profile) {
    return e2e::WaitUntil([profile] { return MouseProfile() == profile; }, 15s);
}

TEST(AutoProfileE2e,
     TheActiveProfileFollowsTheProgramInFrontOnlyOnceItSettledAndNeverAgainstTheUser) {
    if (!e2e::VirtualMouseBuilt()) GTEST_SKIP() << "the virtual mouse is not part of this build";
    ASSERT_EQ(e2e::FactoryMouse(), "");
    e2e::DeleteUserSettings();
    const std::wstring rules = L"SOFTWARE\\Tavrine5502\\AutoProfile";

    // The rules, from the command line; a bad one is refused with one line and changes nothing.
    ASSERT_EQ(Tavrine(L"auto add front_alpha.exe 3").code, 0u);
    ASSERT_EQ(Tavrine(L"auto add FRONT_BETA.EXE 2").code, 0u);
    EXPECT_EQ(e2e::ReadUserString(rules, L"Rule1"), L"3|front_alpha.exe");
    EXPECT_EQ(e2e::ReadUserString(rules, L"Rule2"), L"2|FRONT_BETA.EXE");
    EXPECT_EQ(e2e::ReadUserDword(rules, L"Enabled"), 1u);
    const e2e::ToolOutcome bad = Tavrine(L"auto add \"front|alpha.exe\" 4");
    EXPECT_EQ(bad.code, 1u);
    EXPECT_EQ(bad.err.rfind("tavrine: auto failed: ", 0), 0u) << bad.err;
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
    EXPECT_FALSE(e2e::ReadUserString(rules, L"Rule3"));
    const e2e::ToolOutcome list = Tavrine(L"auto list --json");
    EXPECT_NE(list.out.find("\"program\": \"FRONT_BETA.EXE\""), std::string::npos) << list.out;

    e2e::Started display, alpha, beta, watcher;
    const bool withDisplay = GetFileAttributesW((e2e::BinFolder() + L"\\Vistrel.exe").c_str()) !=
                             INVALID_FILE_ATTRIBUTES;
    if (withDisplay) {
        ASSERT_TRUE(e2e::Start(display, L"Vistrel.exe", L""));
        ASSERT_TRUE(
            e2e::WaitUntil([] { return FindWindowW(L"VISTREL", L"Vistrel") != nullptr; }, 20s));
    }
    ASSERT_TRUE(e2e::Start(alpha, L"front_alpha.exe", L"alpha"));
    ASSERT_TRUE(e2e::Start(beta, L"front_beta.exe", L"beta"));
    HWND alphaWindow = nullptr, betaWindow = nullptr;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            return (alphaWindow = FrontWindowOf(L"alpha")) && (betaWindow = FrontWindowOf(L"beta"));
        },
        20s));
    ASSERT_TRUE(BringToFront(betaWindow));
    ASSERT_EQ(MouseProfile(), 1);

    // The watcher takes up the program in front at its start; a second one says so and ends.
    ASSERT_TRUE(e2e::Start(watcher, L"tavrine.exe",
                           L"watch --settle " + std::to_wstring(kSettle.count()),
                           CREATE_NO_WINDOW));
    ASSERT_TRUE(e2e::WaitUntil([] { return WatchWindow() != nullptr; }, 20s)) << "no watcher";
    const e2e::ToolOutcome second = Tavrine(L"watch");
    EXPECT_EQ(second.code, 1u);
    EXPECT_NE(second.err.find("already running"), std::string::npos) << second.err;
    EXPECT_TRUE(MouseReaches(2)) << "the program in front at the start; " << Circumstances();

    // Alpha to the front: nothing before the settling time, then one write of the active
    // profile byte, and the display program's popup.
    // The watcher hears of the change only after `asked`, so its write cannot come sooner than
    // the settling time after it; a slow machine only makes the span longer.
    e2e::ClearTrace();
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(BringToFront(alphaWindow));
    ASSERT_TRUE(e2e::WaitUntil([] { return ActiveProfileWrites() > 0; }, 15s)) << Circumstances();
    EXPECT_GE(std::chrono::steady_clock::now() - asked, kSettle)
        << "switched before the change settled";
    EXPECT_TRUE(MouseReaches(3));
    if (withDisplay) {
        EXPECT_TRUE(e2e::WaitForDisplayPopup(3s)) << "no popup for the automatic switch";
        e2e::SaveScreenshot(L"auto-profile-popup");
    }
    ASSERT_TRUE(e2e::Program::Sync(WatchWindow()));
    EXPECT_EQ(ActiveProfileWrites(), 1);
    EXPECT_EQ(e2e::DumpEeprom().at(kActiveProfileByte), 0x60) << "profile 3 kept by the mouse";

    // Beta: profile 2.
    e2e::ClearTrace();
    ASSERT_TRUE(BringToFront(betaWindow));
    EXPECT_TRUE(MouseReaches(2));
    ASSERT_TRUE(e2e::Program::Sync(WatchWindow()));
    EXPECT_EQ(ActiveProfileWrites(), 1);

    // A quick flip to alpha and back: the watcher asks the mouse once, for beta, and writes
    // nothing.
    e2e::ClearTrace();
    ASSERT_TRUE(BringToFront(alphaWindow));
    ASSERT_TRUE(BringToFront(betaWindow));
    EXPECT_TRUE(e2e::WaitUntil(
        [] { return e2e::ReadRequestsFor(e2e::ReadTrace(), kLiveProfile) >= 1; }, 10s));
    ASSERT_TRUE(e2e::Program::Sync(WatchWindow()));
    EXPECT_EQ(ActiveProfileWrites(), 0);
    EXPECT_EQ(MouseProfile(), 2);

    // Paused, it does nothing at all; resumed, it takes up the program in front.
    PostMessageW(WatchWindow(), WM_COMMAND, kCmdPause, 0);
    ASSERT_TRUE(e2e::Program::Sync(WatchWindow()));
    e2e::ClearTrace();
    ASSERT_TRUE(BringToFront(alphaWindow));
    e2e::Settle(kAfterSettled);
    EXPECT_EQ(e2e::ReadRequestsFor(e2e::ReadTrace(), kLiveProfile), 0) << "paused, yet asked";
    PostMessageW(WatchWindow(), WM_COMMAND, kCmdPause, 0);
    EXPECT_TRUE(MouseReaches(3)) << "resumed";

    // The mouse away: it waits, and acts on the program in front when the mouse is back.
    ASSERT_EQ(e2e::Vmouse(L"unplug"), 0);
    ASSERT_TRUE(BringToFront(betaWindow));
    ASSERT_EQ(e2e::Vmouse(L"plug"), 0);
    EXPECT_TRUE(MouseReaches(2)) << "after the mouse came back";

    // A rule from the tray menu: profile 4 for the program in front (beta), at once.
    PostMessageW(WatchWindow(), WM_COMMAND, kCmdUseProfile1 + 3, 0);
    EXPECT_TRUE(MouseReaches(4));
    EXPECT_EQ(e2e::ReadUserString(rules, L"Rule2"), L"4|front_beta.exe");

    // With the configuration program running, nothing: not a read, not a write. When it ends,
    // the program in front is acted on.
    e2e::WriteInstallKey(e2e::BinFolder());
    {
        e2e::Program program;
        ASSERT_EQ(e2e::StartAttached(program), "");
        e2e::ClearTrace();
        ASSERT_TRUE(BringToFront(alphaWindow));
        e2e::Settle(kAfterSettled);
        ASSERT_TRUE(e2e::Program::Sync(WatchWindow()));
        EXPECT_EQ(e2e::ReadRequestsFor(e2e::ReadTrace(), kLiveProfile), 0);
        EXPECT_EQ(ActiveProfileWrites(), 0);
        EXPECT_EQ(MouseProfile(), 4);
        program.Kill();
    }
    EXPECT_TRUE(MouseReaches(3)) << "after the configuration program ended";

    // Exit from its menu ends it.
    PostMessageW(WatchWindow(), WM_COMMAND, kCmdExit, 0);
    EXPECT_EQ(WaitForSingleObject(watcher.info.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(watcher.info.hProcess, &code);
    EXPECT_EQ(code, 0u);
    PostMessageW(alphaWindow, WM_CLOSE, 0, 0);
    PostMessageW(betaWindow, WM_CLOSE, 0, 0);
}

}  // namespace
