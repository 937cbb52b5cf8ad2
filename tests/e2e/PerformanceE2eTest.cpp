// The performance and light dialogs driven through real window messages, checked through the
// virtual mouse's trace and EEPROM, Windows' own pointer settings and the registry.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/e2e/E2eLayout.h"
#include "tests/e2e/E2eSupport.h"

namespace {

using namespace e2e::layout;

using namespace std::chrono_literals;
using e2e::ChildAt;
using e2e::Program;
using e2e::TextOf;
using Bytes = std::vector<std::uint8_t>;

const wchar_t* const kPerformanceKey = L"SOFTWARE\\Tavrine5502\\Performance";
const std::array<const wchar_t*, 10> kWriteOrder = {
    L"DoubleClickSpeed", L"CursorSpeed", L"ScrollSpeed", L"OneScreenPage", L"LevelNumber",
    L"DpiLevel1",        L"DpiLevel2",   L"DpiLevel3",   L"DpiLevel4",     L"PollingRate"};

void SetPointer(UINT doubleClick, int speed, UINT lines) {
    SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, doubleClick, nullptr, SPIF_UPDATEINIFILE);
    // Wine takes the speed from the integer argument, Windows from the pointer one.
    SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(speed),
                          reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed)),
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, SPIF_UPDATEINIFILE);
}

// What "vmouse status" says, one text.
std::string VmouseStatus() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring file = std::wstring(temp) + L"vmouse-status.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + e2e::BinFolder() + L"\\vmouse.exe\" status";
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       e2e::BinFolder().c_str(), &startup, &process)) {
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    std::ifstream in{std::filesystem::path(file)};
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Write reports (id 3) since the trace was cleared that begin with these bytes.
int WritesStartingWith(const Bytes& lead) {
    int n = 0;
    for (const Bytes& w : e2e::WritesIn(e2e::ReadTrace()))
        n += w.size() >= lead.size() && std::equal(lead.begin(), lead.end(), w.begin());
    return n;
}
// Windows' pointer settings as the user's profile holds them: double-click time and wheel
// lines stored, the mouse speed announced only (Wine keeps it among its temporary settings).
void ExpectWindowsPointer(const wchar_t* doubleClick, const wchar_t* wheelLines,
                          const wchar_t* speed) {
    EXPECT_EQ(e2e::ReadUserString(L"Control Panel\\Mouse", L"DoubleClickSpeed"), doubleClick);
    EXPECT_EQ(e2e::ReadUserString(L"Control Panel\\Desktop", L"WheelScrollLines"), wheelLines);
    EXPECT_EQ(
        e2e::ReadUserString(L"Software\\Wine\\Temporary System Parameters\\Control Panel\\Mouse",
                            L"MouseSensitivity"),
        speed);
}

std::vector<Bytes> WriteLeads(std::size_t length) {
    std::vector<Bytes> leads;
    for (const Bytes& w : e2e::WritesIn(e2e::ReadTrace()))
        leads.emplace_back(w.begin(),
                           w.begin() + static_cast<std::ptrdiff_t>(std::min(length, w.size())));
    return leads;
}

// Wine without a window manager holds a program for up to two seconds after one of its windows
// hides; the next step waits until the program handles messages again.
void AnswersAgain(HWND window) { EXPECT_TRUE(Program::Sync(window)) << "the program answers"; }

// A stand-in for the display program's listener window, counting what the program posts.
class DisplayListener {
  public:
    DisplayListener() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VISTREL";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, L"VISTREL", L"Vistrel", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    }
    ~DisplayListener() { DestroyWindow(window_); }
    // Messages of this number posted since the last call.
    int Take(UINT message) {
        int n = 0;
        MSG msg;
        while (PeekMessageW(&msg, window_, message, message, PM_REMOVE)) n += msg.wParam == 0;
        return n;
    }

  private:
    HWND window_ = nullptr;
};

// How many of the pixels in which two pictures differ the screen shows as the first one does.
double ShownAs(HWND window, POINT at, const std::wstring& shown, const std::wstring& other) {
    auto load = [](const std::wstring& f) {
        return static_cast<HBITMAP>(LoadImageW(nullptr, f.c_str(), IMAGE_BITMAP, 0, 0,
                                               LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    };
    HBITMAP a = load(shown), b = load(other);
    if (!a || !b) return -1;
    BITMAP info{};
    GetObjectW(a, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC da = CreateCompatibleDC(screen), db = CreateCompatibleDC(screen);
    SelectObject(da, a);
    SelectObject(db, b);
    POINT origin = at;
    ClientToScreen(window, &origin);
    int differing = 0, matching = 0;
    for (int y = 0; y < info.bmHeight; y += 2) {
        for (int x = 0; x < info.bmWidth; x += 2) {
            const COLORREF pa = GetPixel(da, x, y);
            if (pa == GetPixel(db, x, y) || pa == RGB(0, 255, 0)) continue;
            ++differing;
            matching += GetPixel(screen, origin.x + x, origin.y + y) == pa;
        }
    }
    DeleteDC(da);
    DeleteDC(db);
    ReleaseDC(nullptr, screen);
    DeleteObject(a);
    DeleteObject(b);
    return differing ? static_cast<double>(matching) / differing : -1;
}

class PerformanceE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::VirtualMouseBuilt())
            GTEST_SKIP() << "the virtual mouse is not part of this build";
        e2e::WriteInstallKey(e2e::BinFolder());
        e2e::DeleteUserSettings();
        ASSERT_EQ(e2e::FactoryMouse(), "");
    }
    void TearDown() override {
        program.Kill();
        SetPointer(500, 10, 3);  // Wine's own defaults, for the tests that follow
    }

    void StartProgram() {
        ASSERT_EQ(e2e::StartAttached(program), "");
        main = program.Main();
    }
    HWND OpenDialog(POINT button, const wchar_t* className) {
        return program.OpenDialog(main, button, className);
    }

    Program program;
    HWND main = nullptr;
};

TEST_F(PerformanceE2e, LevelRateAndDpiFromShowToOkThenResetAndCancelChangeNothing) {
    SetPointer(700, 14, 6);
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    // The first attach stored Windows' settings and the mouse's level with the start DPI values.
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"DoubleClickSpeed"), 700u);
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"ScrollSpeed"), 6u);
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"LevelNumber"), 3u);
    EXPECT_EQ(e2e::ReadUserDword(std::wstring(kPerformanceKey) + L"\\Default", L"ScrollSpeed"), 3u);

    SetPointer(500, 10, 3);  // changed in Windows meanwhile: showing the dialog sets them back
    e2e::ClearTrace();
    HWND perform = OpenDialog(kPerformButton, L"TPerform1");
    ASSERT_NE(perform, nullptr);
    const auto trace = e2e::ReadTrace();
    std::vector<Bytes> requests;
    for (const auto& r : trace)
        if (r.in && r.kind == "set-feature" && r.bytes.size() >= 4 && r.bytes[0] == 4)
            requests.emplace_back(r.bytes.begin(), r.bytes.begin() + 4);
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0], (Bytes{0x04, 0x00, 0xFF, 0x02}));
    EXPECT_EQ(requests[1], (Bytes{0x04, 0x01, 0xFF, 0x01}));
    EXPECT_EQ(WriteLeads(6), (std::vector<Bytes>{{0x03, 0x00, 0xFF, 0x02, 0x02, 0x0C},
                                                 {0x03, 0x01, 0xFF, 0x01, 0x00, 0x00}}));
    ExpectWindowsPointer(L"700", L"6", L"14");
    EXPECT_TRUE(e2e::SaveScreenshot(L"performance-dialog"));

    // 500 Hz twice, with the display program absent: one command, and the mouse runs 500 Hz.
    e2e::ClearTrace();
    // A click returns once the dialog has handled it: its writes are in the trace by then.
    Program::Click(perform, kHz500.x, kHz500.y);
    Program::Click(perform, kHz500.x, kHz500.y);
    EXPECT_EQ(WritesStartingWith({0x03, 0x01, 0xFF, 0x01, 0x01}), 1);
    EXPECT_NE(VmouseStatus().find("polling 500 Hz"), std::string::npos);
    {
        DisplayListener display;
        Program::Click(perform, kHz125.x, kHz125.y);
        Program::Click(perform, kHz500.x, kHz500.y);
        EXPECT_EQ(display.Take(0x539), 2) << "one notice per rate that reached the mouse";
    }

    HWND entry = FindWindowExW(perform, nullptr, L"Edit", nullptr);
    ASSERT_NE(entry, nullptr);
    SendMessageW(entry, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"3499"));
    Program::KeyPress(entry, VK_RETURN);
    EXPECT_EQ(TextOf(entry), L"3400");
    Program::Click(perform, kBarColumnY250.x, kBarColumnY250.y);
    EXPECT_EQ(TextOf(entry), L"3400") << "y 250 lies between two steps";
    // The display program reports the mouse's own changes: level 2 (800 DPI) and 125 Hz; values
    // no mouse can have are ignored.
    PostMessageW(perform, 0x640, 1, 800);
    PostMessageW(perform, 0x640, 9, 5000);
    PostMessageW(perform, 0x639, 125, 0);
    PostMessageW(perform, 0x639, 333, 0);

    e2e::Settle();
    e2e::ClearTrace();
    Program::Click(perform, kPerformOk.x, kPerformOk.y);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(perform); }, 5s));
    AnswersAgain(main);
    std::vector<std::pair<double, Bytes>> writes;
    for (const auto& t : e2e::ReadTraceTimed()) {
        const auto& r = t.report;
        if (r.in && r.kind == "set-feature" && r.bytes.size() >= 6 && r.bytes[0] == 3)
            writes.push_back({t.timeMs, Bytes(r.bytes.begin(), r.bytes.begin() + 6)});
    }
    const std::vector<Bytes> expected = {
        {0x03, 0x07, 0x00, 0x01, 0x31, 0}, {0x03, 0x08, 0x00, 0x01, 0x04, 0},
        {0x03, 0x09, 0x00, 0x01, 0x08, 0}, {0x03, 0x0A, 0x00, 0x01, 0x22, 0},
        {0x03, 0x0B, 0x00, 0x01, 0x23, 0}, {0x03, 0x06, 0x00, 0x01, 0x02, 0},
        {0x03, 0x06, 0xFF, 0x01, 0x01, 0}, {0x03, 0x00, 0xFF, 0x02, 0x01, 0x08},
        {0x03, 0x01, 0xFF, 0x01, 0x02, 0}};
    ASSERT_EQ(writes.size(), expected.size());
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].second, expected[i]) << "write " << i;
        if (i > 0 && i < 7) {
            EXPECT_GE(writes[i].first - writes[i - 1].first, 35.0) << "pause before write " << i;
        }
    }
    const auto eeprom = e2e::DumpEeprom();
    ASSERT_GE(eeprom.size(), 12u);
    EXPECT_EQ(Bytes(eeprom.begin() + 6, eeprom.begin() + 12),
              (Bytes{0x02, 0x31, 0x04, 0x08, 0x22, 0x23}));

    // The order of the values is checked natively: the registry lists them by name here.
    for (const wchar_t* name : kWriteOrder)
        EXPECT_TRUE(e2e::ReadUserDword(kPerformanceKey, name).has_value()) << name;
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"DpiLevel3"), 34u);
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"PollingRate"), 2u);
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"LevelNumber"), 2u);
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"CursorSpeed"), 14u);
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"DoubleClickSpeed"), 700u);

    // The mouse moves to level 3 (3400 DPI) on its own; the dialog is shown again, Reset to
    // Default applies the factory values at once, and Cancel puts back what was shown: the
    // mouse's level, DPI and rate, Windows' settings, and neither EEPROM nor registry change.
    ASSERT_EQ(e2e::Vmouse(L"write FF00 02 22"), 0);
    perform = OpenDialog(kPerformButton, L"TPerform1");
    ASSERT_NE(perform, nullptr);
    AnswersAgain(perform);
    e2e::ClearTrace();
    Program::Click(perform, kPerformReset.x, kPerformReset.y);
    ASSERT_TRUE(e2e::WaitUntil(
        [] {
            return WritesStartingWith({0x03, 0x01, 0xFF, 0x01, 0x00}) == 1;
        },
        5s));
    EXPECT_EQ(e2e::ReadUserString(L"Control Panel\\Mouse", L"DoubleClickSpeed"), L"500")
        << "Reset sets the factory values in Windows at once";
    Program::Click(perform, kPerformCancel.x, kPerformCancel.y);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(perform); }, 5s));
    AnswersAgain(main);
    EXPECT_EQ(WriteLeads(6), (std::vector<Bytes>{{0x03, 0x00, 0xFF, 0x02, 0x00, 0x04},
                                                 {0x03, 0x01, 0xFF, 0x01, 0x00, 0x00},
                                                 {0x03, 0x00, 0xFF, 0x02, 0x02, 0x22},
                                                 {0x03, 0x01, 0xFF, 0x01, 0x02, 0x00}}));
    const std::string status = VmouseStatus();
    EXPECT_NE(status.find("polling 125 Hz"), std::string::npos) << status;
    const auto kept = e2e::DumpEeprom();
    ASSERT_GE(kept.size(), 12u);
    EXPECT_EQ(Bytes(kept.begin() + 6, kept.begin() + 12),
              (Bytes{0x02, 0x31, 0x04, 0x08, 0x22, 0x23}));
    ExpectWindowsPointer(L"700", L"6", L"14");
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"DpiLevel3"), 34u);
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"LevelNumber"), 2u);
    EXPECT_EQ(e2e::ReadUserDword(kPerformanceKey, L"ScrollSpeed"), 6u);
}

TEST_F(PerformanceE2e, LightsSwitchLiveAndOkStoresThemAfterTheMousesAnswer) {
    // Level 2 with both lights on, as the mouse would have it after an earlier visit.
    ASSERT_EQ(e2e::Vmouse(L"write 0007 31"), 0);
    ASSERT_EQ(e2e::Vmouse(L"write FF06 01"), 0);
    ASSERT_NO_FATAL_FAILURE(StartProgram());

    HWND light = OpenDialog(kLightButton, L"TLightOptionForm");
    ASSERT_NE(light, nullptr);
    e2e::ClearTrace();
    Program::Click(light, kWheel.x, kWheel.y);
    Program::Click(light, kOff.x, kOff.y);
    EXPECT_EQ(WriteLeads(5), (std::vector<Bytes>{{0x03, 0x03, 0xFF, 0x01, 0x00}}));
    EXPECT_NE(VmouseStatus().find("wheel off, logo on"), std::string::npos);
    EXPECT_TRUE(e2e::SaveScreenshot(L"light-dialog"));

    e2e::ClearTrace();
    Program::Click(light, kLightOk.x, kLightOk.y);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(light); }, 5s))
        << "the dialog closes once the mouse has answered";
    // and the main window has read the lights back
    EXPECT_TRUE(e2e::WaitUntil(
        [] { return e2e::ReadRequestsFor(e2e::ReadTrace(), e2e::kLightsAddress) >= 1; }, 5s));
    AnswersAgain(main);
    const auto leads = WriteLeads(5);
    ASSERT_GE(leads.size(), 2u);
    EXPECT_EQ(leads[0], (Bytes{0x03, 0x07, 0x00, 0x01, 0x21}));
    EXPECT_EQ(leads[1], (Bytes{0x03, 0x06, 0xFF, 0x01, 0x01}));
    const auto eeprom = e2e::DumpEeprom();
    ASSERT_GE(eeprom.size(), 8u);
    EXPECT_EQ(eeprom[7], 0x21);
    const std::wstring skin = e2e::BinFolder() + L"\\skin\\";
    EXPECT_GT(
        ShownAs(main, {319, 257}, skin + L"Main\\Img_MBtn00.bmp", skin + L"Main\\Img_MBtn11.bmp"),
        0.9)
        << "the wheel shows off";
    EXPECT_GT(
        ShownAs(main, {310, 478}, skin + L"Common\\Img_Logo1.bmp", skin + L"Common\\Img_Logo0.bmp"),
        0.9)
        << "the logo shows on";
    EXPECT_TRUE(e2e::SaveScreenshot(L"light-main-window-after-ok"));

    light = OpenDialog(kLightButton, L"TLightOptionForm");
    e2e::ClearTrace();
    Program::Click(light, kWheel.x, kWheel.y);
    Program::Click(light, kOn.x, kOn.y);
    Program::Click(light, kLightCancel.x, kLightCancel.y);
    EXPECT_FALSE(IsWindowVisible(light));
    EXPECT_EQ(WriteLeads(5), (std::vector<Bytes>{{0x03, 0x03, 0xFF, 0x01, 0x01},
                                                 {0x03, 0x03, 0xFF, 0x01, 0x00},
                                                 {0x03, 0x04, 0xFF, 0x01, 0x01}}));
    EXPECT_EQ(e2e::DumpEeprom()[7], 0x21) << "Cancel stores nothing";
}

}  // namespace
