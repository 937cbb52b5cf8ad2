// The display program as a user meets it: one instance, the mouse's own buttons and the
// configuration program's requests turned into popups, checked by the mouse's trace, the messages
// other windows receive and the screen's pixels against the picture composed from its files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/e2e/E2eSupport.h"
#include "osd/PictureComposer_win.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The display program started with a command line.
class Vistrel {
  public:
    ~Vistrel() { Kill(); }
    bool Launch(const std::wstring& arguments = L"") {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = L"\"" + e2e::BinFolder() + L"\\Vistrel.exe\"";
        if (!arguments.empty()) line += L" " + arguments;
        return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              e2e::BinFolder().c_str(), &startup, &process_) != FALSE;
    }
    // Started and its listener found.
    bool Start() {
        return Launch() && e2e::WaitUntil([] { return Listener() != nullptr; }, 20s);
    }
    bool Exited(std::chrono::milliseconds within, DWORD* code = nullptr) const {
        if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(within.count())) !=
            WAIT_OBJECT_0) {
            return false;
        }
        if (code) GetExitCodeProcess(process_.hProcess, code);
        return true;
    }
    HANDLE Process() const { return process_.hProcess; }
    void Kill() {
        if (!process_.hProcess) return;
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    static HWND Listener() { return FindWindowW(L"VISTREL", L"Vistrel"); }
    static HWND Popup() { return FindWindowW(L"GDIPPOPWND", nullptr); }
    static bool PopupShown() {
        HWND popup = Popup();
        return popup && IsWindowVisible(popup);
    }

  private:
    PROCESS_INFORMATION process_{};
};

// Handles this thread's messages while waiting.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (true) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (condition()) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(5ms);
    }
}
void Pump(std::chrono::milliseconds time) {
    PumpUntil([] { return false; }, time);
}

// A window of the performance dialog's class and caption that records what it is sent; the
// dialog itself is another engineer's work in progress.
struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> g_received;
LRESULT CALLBACK StandInProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= 0x600 && msg < 0x700) g_received.push_back({msg, wParam, lParam});
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
class PerformStandIn {
  public:
    PerformStandIn() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = StandInProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TPerform1";
        RegisterClassExW(&windowClass);
        // Hidden, as the dialog is most of the time: hidden windows are found too.
        hwnd_ = CreateWindowExW(0, L"TPerform1", L"Perform1", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        g_received.clear();
    }
    ~PerformStandIn() { DestroyWindow(hwnd_); }
    HWND Handle() const { return hwnd_; }

  private:
    HWND hwnd_ = nullptr;
};

// The screen's pixels in a rectangle, top-down B, G, R, x.
std::vector<BYTE> Grab(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<BYTE> pixels(static_cast<std::size_t>(width) * height * 4);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Where the picture of this size goes in the work area.
RECT PictureArea(int width, int height) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const auto at =
        vistrel::PopupPlace({work.left, work.top, work.right, work.bottom}, width, height);
    return {at.x, at.y, at.x + width, at.y + height};
}

struct Match {
    double close = 0;    // share of pixels within a few levels of the expected blend
    double changed = 0;  // share of pixels the picture changed against the background
};
// The screen against the composed picture laid over the background it covered.
Match Compare(const vistrel::ComposedPicture& picture, const std::vector<BYTE>& background,
              const std::vector<BYTE>& screen) {
    int close = 0, changed = 0;
    const int w = picture.width, h = picture.height;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const BYTE* p = picture.Pixel(x, y);
            const std::size_t at = (static_cast<std::size_t>(y) * w + x) * 4;
            bool nearly = true, differs = false;
            for (int c = 0; c < 3; ++c) {
                const int expected = p[c] + background[at + c] * (255 - p[3]) / 255;
                nearly = nearly && std::abs(expected - screen[at + c]) <= 8;
                differs = differs || std::abs(screen[at + c] - background[at + c]) > 8;
            }
            close += nearly;
            changed += differs;
        }
    }
    return {close / double(w * h), changed / double(w * h)};
}

vistrel::Picture PictureOf(vistrel::PopupKind kind, const vistrel::DisplayState& state) {
    return vistrel::PictureFor(kind, state);
}

class VistrelE2e : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!e2e::MousePresent()) {
            EXPECT_EQ(e2e::Vmouse(L"plug"), 0);
        }
        gdiplus_ = new vistrel::GdiplusSession;
    }
    static void TearDownTestSuite() {
        delete gdiplus_;
        EXPECT_EQ(e2e::Vmouse(L"unplug"), 0);
    }
    void SetUp() override {
        if (!e2e::VirtualMouseBuilt())
            GTEST_SKIP() << "the virtual mouse is not part of this build";
        e2e::WriteInstallKey(e2e::BinFolder());  // AppPath: the pictures beside the programs
        ASSERT_TRUE(e2e::MousePresent() || e2e::Vmouse(L"plug") == 0);
        ASSERT_EQ(e2e::Vmouse(L"reset"), 0);
    }

    // Waits for the popup of this picture and checks the screen against it; the background is
    // what the screen showed there before.
    void ExpectOnScreen(const vistrel::Picture& expected, const std::wstring& shot,
                        const std::vector<BYTE>* background = nullptr) {
        const auto composed = vistrel::ComposePicture(expected, e2e::BinFolder() + L"\\");
        ASSERT_TRUE(composed) << "the test's own composition";
        ASSERT_TRUE(PumpUntil(&Vistrel::PopupShown, 3s)) << "no popup";
        Pump(150ms);
        const RECT area = PictureArea(composed->width, composed->height);
        RECT window{};
        GetWindowRect(Vistrel::Popup(), &window);
        EXPECT_EQ(window.left, area.left);
        EXPECT_EQ(window.top, area.top);
        EXPECT_EQ(window.right - window.left, 2 * composed->width);
        const std::vector<BYTE> under = background ? *background : background_;
        const Match match = Compare(*composed, under, Grab(area));
        EXPECT_GT(match.close, 0.97) << "screen against the composed picture, " << shot;
        EXPECT_GT(match.changed, 0.2) << "the picture is not on the screen, " << shot;
        e2e::SaveScreenshot(shot);
    }
    void TakeBackground(int width = 300, int height = 200) {
        background_ = Grab(PictureArea(width, height));
    }
    // The answer the mouse gave to the last read request of the trace.
    static std::vector<std::uint8_t> LastAnswer(const std::vector<e2e::TraceReport>& trace) {
        for (auto it = trace.rbegin(); it != trace.rend(); ++it) {
            if (!it->in && it->kind == "get-feature") return it->bytes;
        }
        return {};
    }

    static vistrel::GdiplusSession* gdiplus_;
    std::vector<BYTE> background_;
    Vistrel vistrel_;
};
vistrel::GdiplusSession* VistrelE2e::gdiplus_ = nullptr;

TEST_F(VistrelE2e, OneInstanceRunsAndOnlyExactlySlashQEndsIt) {
    ASSERT_TRUE(vistrel_.Start());
    HWND listener = Vistrel::Listener();
    EXPECT_FALSE(IsWindowVisible(listener));
    EXPECT_FALSE(Vistrel::PopupShown());

    for (const wchar_t* arguments : {L"", L"/Q", L"q", L"/q x"}) {
        Vistrel second;
        ASSERT_TRUE(second.Launch(arguments));
        DWORD code = 99;
        EXPECT_TRUE(second.Exited(10s, &code)) << "second start with '" << arguments << "'";
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(vistrel_.Exited(300ms)) << "'" << arguments << "' ended the running one";
        EXPECT_EQ(Vistrel::Listener(), listener);
    }
    // Closing the listener is refused.
    PostMessageW(listener, WM_CLOSE, 0, 0);
    EXPECT_FALSE(vistrel_.Exited(500ms));

    Vistrel quitter;
    ASSERT_TRUE(quitter.Launch(L"/q"));
    DWORD code = 99;
    EXPECT_TRUE(vistrel_.Exited(10s, &code)) << "/q did not end the running instance";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(quitter.Exited(10s));
}

TEST_F(VistrelE2e, DpiButtonQueriesTheLevelShowsItAndTellsThePerformanceDialog) {
    PerformStandIn perform;
    ASSERT_TRUE(vistrel_.Start());
    Pump(500ms);
    TakeBackground();
    e2e::ClearTrace();
    ASSERT_EQ(e2e::Vmouse(L"press dpi"), 0);
    ASSERT_TRUE(PumpUntil(&Vistrel::PopupShown, 3s));
    const auto shown = Clock::now();
    e2e::Settle(200ms);

    // The event report, the level query on the read collection, then the read, and nothing else.
    const auto timed = e2e::ReadTraceTimed();
    std::vector<e2e::TraceReport> trace;
    for (const auto& t : timed) trace.push_back(t.report);
    ASSERT_GE(timed.size(), 2u);
    EXPECT_GE(timed.back().timeMs - timed[timed.size() - 2].timeMs, 12.5)
        << "the read came before the mouse had its 13 ms";
    std::vector<std::string> kinds;
    for (const auto& r : trace)
        if (r.kind != "control") kinds.push_back((r.in ? "in " : "out ") + r.kind);
    EXPECT_EQ(kinds, (std::vector<std::string>{"out input", "in set-feature", "out get-feature"}));
    ASSERT_GE(trace.size(), 3u);
    const auto& request = trace[trace.size() - 2];
    EXPECT_EQ(request.usage, 0x0002);
    ASSERT_GE(request.bytes.size(), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(request.bytes.begin(), request.bytes.begin() + 4),
              (std::vector<std::uint8_t>{0x04, 0x00, 0xFF, 0x02}));
    const auto answer = LastAnswer(trace);
    ASSERT_GE(answer.size(), 6u);

    vistrel::DisplayState state;
    state.levelIndex = answer[4];
    state.dpi = answer[5] * 100;
    ASSERT_TRUE(PumpUntil([] { return !g_received.empty(); }, 2s));
    EXPECT_EQ(g_received[0].message, 0x640u);
    EXPECT_EQ(g_received[0].wParam, static_cast<WPARAM>(state.levelIndex));
    EXPECT_EQ(g_received[0].lParam, state.dpi);
    ExpectOnScreen(PictureOf(vistrel::PopupKind::Dpi, state), L"vistrel-dpi");

    // Hidden two seconds after the event.
    ASSERT_TRUE(PumpUntil([] { return !Vistrel::PopupShown(); }, 4s));
    const auto shownFor =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - shown);
    EXPECT_GE(shownFor.count(), 1800);
    EXPECT_LE(shownFor.count(), 2600);

    // Two events within two seconds: the second picture, held two seconds from the second.
    ASSERT_EQ(e2e::Vmouse(L"press dpi"), 0);
    ASSERT_TRUE(PumpUntil(&Vistrel::PopupShown, 3s));
    Pump(700ms);
    e2e::ClearTrace();
    ASSERT_EQ(e2e::Vmouse(L"press dpi"), 0);
    const auto second = Clock::now();
    e2e::Settle(200ms);
    const auto secondAnswer = LastAnswer(e2e::ReadTrace());
    ASSERT_GE(secondAnswer.size(), 6u);
    state.levelIndex = secondAnswer[4];
    state.dpi = secondAnswer[5] * 100;
    ExpectOnScreen(PictureOf(vistrel::PopupKind::Dpi, state), L"vistrel-dpi-second");
    ASSERT_TRUE(PumpUntil([] { return !Vistrel::PopupShown(); }, 4s));
    const auto held = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - second);
    EXPECT_GE(held.count(), 1700) << "the first event's timer hid the second picture";
    EXPECT_EQ(g_received.back().message, 0x640u);
    EXPECT_EQ(g_received.back().wParam, static_cast<WPARAM>(state.levelIndex));
}

TEST_F(VistrelE2e, PollingLockSideButtonsAndRequestsOfTheConfigurationProgram) {
    PerformStandIn perform;
    ASSERT_TRUE(vistrel_.Start());
    Pump(500ms);
    TakeBackground();

    e2e::ClearTrace();
    ASSERT_EQ(e2e::Vmouse(L"press polling"), 0);
    e2e::Settle(300ms);
    auto trace = e2e::ReadTrace();
    auto answer = LastAnswer(trace);
    ASSERT_GE(answer.size(), 5u);
    EXPECT_EQ(e2e::ReadRequestsFor(trace, 0xFF01), 1) << "polling query 04 01 FF";
    vistrel::DisplayState state;
    state.pollingHz = vistrel::PollingHzFromCode(answer[4]);
    ASSERT_TRUE(PumpUntil([] { return !g_received.empty(); }, 2s));
    EXPECT_EQ(g_received[0].message, 0x639u);
    EXPECT_EQ(g_received[0].wParam, static_cast<WPARAM>(state.pollingHz));
    EXPECT_EQ(g_received[0].lParam, 0);
    ExpectOnScreen(PictureOf(vistrel::PopupKind::Polling, state), L"vistrel-polling");
    ASSERT_TRUE(PumpUntil([] { return !Vistrel::PopupShown(); }, 4s));

    e2e::ClearTrace();
    ASSERT_EQ(e2e::Vmouse(L"press lock"), 0);
    e2e::Settle(300ms);
    answer = LastAnswer(e2e::ReadTrace());
    ASSERT_GE(answer.size(), 5u);
    state.lock = answer[4];
    EXPECT_NE(state.lock, 0) << "the mouse locks on the first press";
    ExpectOnScreen(PictureOf(vistrel::PopupKind::Lock, state), L"vistrel-lock");
    ASSERT_TRUE(PumpUntil([] { return !Vistrel::PopupShown(); }, 4s));

    // The side buttons of any mouse: their release shows the web pictures at once.
    for (const auto& [button, kind, shot] :
         {std::tuple{XBUTTON1, vistrel::PopupKind::WebBack, L"vistrel-web-back"},
          std::tuple{XBUTTON2, vistrel::PopupKind::WebForward, L"vistrel-web-forward"}}) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.mouseData = input[1].mi.mouseData = button;
        input[0].mi.dwFlags = MOUSEEVENTF_XDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_XUP;
        SendInput(1, &input[0], sizeof(INPUT));
        Pump(300ms);
        EXPECT_FALSE(Vistrel::PopupShown()) << "a press shows nothing, only the release";
        SendInput(1, &input[1], sizeof(INPUT));
        ExpectOnScreen(PictureOf(kind, state), shot);
        ASSERT_TRUE(PumpUntil([] { return !Vistrel::PopupShown(); }, 4s));
    }

    // What the performance dialog asks for after a click: the query, the picture, no notice back.
    g_received.clear();
    for (const auto& [message, address, kind, shot] :
         {std::tuple{0x539u, 0xFF01, vistrel::PopupKind::Polling, L"vistrel-request-polling"},
          std::tuple{0x540u, 0xFF00, vistrel::PopupKind::Dpi, L"vistrel-request-dpi"}}) {
        e2e::ClearTrace();
        PostMessageW(Vistrel::Listener(), message, 0, 0);
        ASSERT_TRUE(PumpUntil(&Vistrel::PopupShown, 3s));
        e2e::Settle(200ms);
        trace = e2e::ReadTrace();
        EXPECT_EQ(e2e::ReadRequestsFor(trace, static_cast<std::uint16_t>(address)), 1);
        answer = LastAnswer(trace);
        ASSERT_GE(answer.size(), 6u);
        vistrel::FeatureBuffer buffer{};
        std::copy_n(answer.begin(), std::min<std::size_t>(answer.size(), 16), buffer.begin());
        vistrel::ApplyAnswer(kind == vistrel::PopupKind::Dpi ? vistrel::Query::DpiLevel
                                                             : vistrel::Query::PollingRate,
                             buffer, state);
        ExpectOnScreen(PictureOf(kind, state), shot);
        ASSERT_TRUE(PumpUntil([] { return !Vistrel::PopupShown(); }, 4s));
    }
    Pump(200ms);
    EXPECT_TRUE(g_received.empty()) << "a request from the program is not told back to it";
}

// A skin bitmap as top-down B, G, R, x.
std::vector<BYTE> LoadBitmapPixels(const std::wstring& file, int& width, int& height) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) return {};
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    width = info.bmWidth;
    height = info.bmHeight;
    std::vector<BYTE> pixels(static_cast<std::size_t>(width) * height * 4);
    BITMAPINFO header{};
    header.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return pixels;
}

double SameShare(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    int same = 0;
    for (std::size_t i = 0; i < a.size(); i += 4) {
        same += std::abs(a[i] - b[i]) <= 8 && std::abs(a[i + 1] - b[i + 1]) <= 8 &&
                std::abs(a[i + 2] - b[i + 2]) <= 8;
    }
    return same / double(a.size() / 4);
}

TEST_F(VistrelE2e, ProfileButtonShowsTheProfileAndTheMainWindowSwitchesToIt) {
    e2e::DeleteUserSettings();
    e2e::Program program;
    ASSERT_EQ(e2e::StartAttached(program), "");  // the attach reads the mouse's active profile
    ASSERT_TRUE(vistrel_.Start());
    Pump(500ms);
    TakeBackground();

    e2e::ClearTrace();
    ASSERT_EQ(e2e::Vmouse(L"press profile"), 0);
    e2e::Settle(300ms);
    const auto trace = e2e::ReadTrace();
    EXPECT_EQ(e2e::ReadRequestsFor(trace, 0xFF02), 1) << "profile query 04 02 FF";
    const auto answer = LastAnswer(trace);
    ASSERT_GE(answer.size(), 5u);
    vistrel::DisplayState state;
    state.profile = answer[4];
    ASSERT_GE(state.profile, 1);
    ASSERT_LE(state.profile, 5);
    ExpectOnScreen(PictureOf(vistrel::PopupKind::Profile, state), L"vistrel-profile");

    // The main window (which leaves the mouse's profile events to this program) shows the new
    // profile's tab as chosen.
    constexpr int kTabLefts[5] = {344, 449, 554, 659, 763};
    const int tab = state.profile - 1;
    int width = 0, height = 0;
    const auto chosen = LoadBitmapPixels(
        e2e::BinFolder() + L"\\skin\\Main\\Img_Profile" + std::to_wstring(tab) + L"2.bmp", width,
        height);
    ASSERT_FALSE(chosen.empty());
    POINT origin{kTabLefts[tab], 125};
    ClientToScreen(program.Main(), &origin);
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            return SameShare(chosen, Grab({origin.x, origin.y, origin.x + width,
                                           origin.y + height})) > 0.95;
        },
        3s))
        << "profile tab " << state.profile << " is not shown as chosen";
    e2e::SaveScreenshot(L"vistrel-profile-main-window");
    program.Kill();
}

}  // namespace
