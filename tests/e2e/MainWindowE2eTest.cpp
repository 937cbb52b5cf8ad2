// A user's journeys through the main window, from start to the bytes in the virtual mouse.
#include <gtest/gtest.h>

#include "device/ProfileWrite.h"
#include "tests/e2e/E2eLayout.h"
#include "tests/e2e/E2eSupport.h"

namespace {

using namespace e2e::layout;

using namespace std::chrono_literals;
using device::kMaxResends;
using device::kRewriteInterval;
using e2e::Program;

const std::wstring kProfile0 = L"SOFTWARE\\Tavrine5502\\profile0\\";

bool HasRecordAt(const std::vector<std::uint8_t>& eeprom, int address,
                 std::initializer_list<std::uint8_t> lead) {
    if (eeprom.size() < static_cast<std::size_t>(address) + lead.size()) return false;
    int i = address;
    for (std::uint8_t b : lead) {
        if (eeprom[static_cast<std::size_t>(i++)] != b) return false;
    }
    return true;
}

// The tests run in the order written: the first starts without the mouse and plugs it in, the
// last unplugs it during a write. Between them the mouse stays plugged (replugging is slow).
class MainWindowE2e : public ::testing::Test {
  protected:
    // The first plug into a new prefix installs the driver; do it before any program runs.
    static void SetUpTestSuite() {
        EXPECT_EQ(e2e::Vmouse(L"plug"), 0);
        EXPECT_EQ(e2e::Vmouse(L"unplug"), 0);
    }
    static void TearDownTestSuite() { EXPECT_EQ(e2e::Vmouse(L"unplug"), 0); }

    void SetUp() override {
        if (!e2e::VirtualMouseBuilt())
            GTEST_SKIP() << "the virtual mouse is not part of this build";
        e2e::WriteInstallKey(e2e::BinFolder());
        e2e::DeleteUserSettings();
        DeleteFileW(MarkerFile().c_str());
    }
    void TearDown() override { program.Kill(); }

    static std::wstring MarkerFile() { return e2e::BinFolder() + L"\\launch-marker.txt"; }

    // Starts the program with the mouse plugged in and waits until the attach has enabled it.
    void StartAttached() {
        ASSERT_EQ(e2e::FactoryMouse(), "");
        ASSERT_EQ(e2e::StartAttached(program), "");
        main = program.Main();
        ASSERT_EQ(e2e::ReadRequestsFor(e2e::ReadTrace(), e2e::kLightsAddress), 1)
            << "the attach reads the lights once";
    }

    void Click(POINT at) { EXPECT_TRUE(Program::Click(main, at.x, at.y)); }

    // Drives the program's file chooser: types the path and presses OK. `whileOpen` runs
    // while the chooser is up, before OK is posted behind it.
    bool ChooseFile(const std::wstring& path, const std::function<void()>& whileOpen = {}) {
        HWND dialog = nullptr;
        if (!e2e::WaitUntil(
                [&] {
                    dialog = program.Window(L"#32770");
                    return dialog && IsWindowVisible(dialog);
                },
                10s)) {
            return false;
        }
        if (!Program::Sync(dialog)) return false;  // its controls exist once it answers
        // The file-name box of the Explorer-style dialog (cmb13), or the old-style edit (edt1).
        if (!SetDlgItemTextW(dialog, 0x47C, path.c_str()))
            SetDlgItemTextW(dialog, 0x480, path.c_str());
        if (whileOpen) whileOpen();
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return e2e::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10s);
    }

    void AssignLaunch(POINT area, const std::wstring& file, const std::wstring& key) {
        Click(area);
        Program::PostClick(main, kLaunch.x, kLaunch.y);  // the chooser runs its own loop
        ASSERT_TRUE(ChooseFile(file));
        // The choice is taken by a timer once the chooser has returned.
        ASSERT_TRUE(
            e2e::WaitUntil([&] { return e2e::ReadUserString(key, L"filepath") == file; }, 5s));
    }

    // The progress window shows while a write runs and hides when it has ended. A write of 35
    // chunks can be over before the window is first seen, so not seeing it within 3 s also ends
    // the wait; the trace then tells what reached the mouse.
    void WaitForWriteEnd() {
        HWND loading = program.Window(L"TLoadingForm", L"LoadingForm");
        if (!e2e::WaitUntil([&] { return IsWindowVisible(loading) != FALSE; }, 3s)) return;
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(loading); }, 20s))
            << "the write did not end";
    }

    void PressNoticeEnter() {
        HWND notice = program.Window(L"TWarningForm2");
        HWND edit = FindWindowExW(notice, nullptr, L"Edit", nullptr);
        ASSERT_NE(edit, nullptr);
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageW(edit, WM_CHAR, VK_RETURN, 1);
        PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
    }

    Program program;
    HWND main = nullptr;
};

TEST_F(MainWindowE2e, WithoutTheMouseTheWindowWaitsDisabledUnderTheNoDeviceMessage) {
    ASSERT_EQ(e2e::Vmouse(L"unplug"), 0);
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(e2e::WaitUntil([&] { return program.Visible(L"TWarningForm2"); }, 10s));
    EXPECT_FALSE(IsWindowEnabled(program.Main()));
    e2e::Settle(500ms);
    e2e::SaveScreenshot(L"main-no-mouse");

    // A second instance shows nothing, ends with 0 and leaves the first alone.
    Program second;
    ASSERT_TRUE(second.Launch());
    DWORD code = 1234;
    EXPECT_TRUE(second.WaitForExit(10s, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(program.Running());

    // Plugging the mouse in attaches once: the message goes, the window comes back.
    e2e::ClearTrace();
    ASSERT_EQ(e2e::Vmouse(L"plug"), 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(program.Main()); }, 15s));
    EXPECT_FALSE(program.Visible(L"TWarningForm2"));
    EXPECT_TRUE(e2e::WaitUntil(
        [] { return e2e::ReadRequestsFor(e2e::ReadTrace(), e2e::kLightsAddress) >= 1; }, 5s));
    EXPECT_TRUE(Program::Sync(program.Main()));
    e2e::Settle(500ms);  // Wine copies the new pictures to the screen on its own clock
    e2e::SaveScreenshot(L"main-attached");
    const auto trace = e2e::ReadTrace();
    EXPECT_EQ(e2e::ReadRequestsFor(trace, 0xFF02), 1) << "one attach reads the active profile once";
    EXPECT_EQ(e2e::ReadRequestsFor(trace, e2e::kLightsAddress), 1) << "and the light state once";
}

TEST_F(MainWindowE2e, LaunchProgramOnASideButtonReachesTheMouseAndStartsTheProgram) {
    StartAttached();
    ASSERT_TRUE(e2e::GiveMainButtonsDefaults(main));
    const std::wstring marker = e2e::BinFolder() + L"\\launch_marker.exe";
    AssignLaunch(kSide1Area, marker, kProfile0 + L"XB1button");
    Program::Move(main, kSide1Area.x, kSide1Area.y);  // the status area shows the new function
    e2e::Settle(500ms);
    e2e::SaveScreenshot(L"main-launch-assigned");
    e2e::ClearTrace();
    Click(kApply);
    WaitForWriteEnd();
    e2e::Settle(300ms);
    const auto writes = e2e::WritesIn(e2e::ReadTrace());
    ASSERT_EQ(writes.size(), 35u) << "one write per chunk, none resent";
    // Profile index 0 starts at 0x0010; chunks of 12, the last of 2.
    for (std::size_t k = 0; k < writes.size(); ++k) {
        const int address = 0x10 + 12 * static_cast<int>(k);
        EXPECT_EQ(writes[k][1] | (writes[k][2] << 8), address) << "chunk " << k;
        EXPECT_EQ(writes[k][3], k == 34 ? 2 : 12) << "chunk " << k;
    }

    const auto eeprom = e2e::DumpEeprom();
    ASSERT_EQ(eeprom.size(), 2066u);
    EXPECT_TRUE(HasRecordAt(eeprom, 0x10 + 0, {0xC0, 0x40}));
    EXPECT_TRUE(HasRecordAt(eeprom, 0x10 + 82, {0xC1, 0x40}));
    EXPECT_TRUE(HasRecordAt(eeprom, 0x10 + 164, {0xC2, 0x40}));
    EXPECT_TRUE(HasRecordAt(eeprom, 0x10 + 246, {0xA3, 0x40}))
        << "the launch code of profile 1, side 1";
    EXPECT_EQ(eeprom[0x10 + 246 + 80], 0xA0);
    EXPECT_TRUE(HasRecordAt(eeprom, 0x10 + 328, {0x00, 0x00})) << "never assigned: an empty record";
    EXPECT_EQ(eeprom[0x10 + 328 + 80], 0xA0);

    const std::wstring key = kProfile0 + L"XB1button";
    EXPECT_EQ(e2e::ReadUserString(key, L"filepath"), marker);
    EXPECT_EQ(e2e::ReadUserString(key, L"DES"), L"launch_marker.exe");
    EXPECT_EQ(e2e::ReadUserDword(key, L"StateID"), 4u);
    auto keys = e2e::ReadUserString(key, L"keys");
    ASSERT_TRUE(keys.has_value());
    EXPECT_EQ(keys->substr(0, 8), L"a3 40 00");

    // The mouse reports the side button: the program starts the assigned file.
    ASSERT_EQ(e2e::Vmouse(L"press button 4"), 0);
    EXPECT_TRUE(e2e::WaitUntil(
        [] { return GetFileAttributesW(MarkerFile().c_str()) != INVALID_FILE_ATTRIBUTES; }, 15s));

    // The mouse's own profile button while the chooser is open: the display program reports
    // profile 2, which the window then shows. The chooser's message loop handles that report
    // before the OK posted behind it, and the choice goes to the profile shown on return:
    // record, launch code, stored file and the profile written all name profile 2.
    Click(kSide2Area);
    Program::PostClick(main, kLaunch.x, kLaunch.y);
    ASSERT_TRUE(ChooseFile(marker, [&] { PostMessageW(main, 0x641, 2, 0); }));
    const std::wstring kProfile1 = L"SOFTWARE\\Tavrine5502\\profile1\\";
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return e2e::ReadUserString(kProfile1 + L"XB2button", L"filepath") == marker; }, 5s));
    EXPECT_FALSE(e2e::ReadUserString(kProfile0 + L"XB2button", L"filepath").has_value())
        << "nothing is stored for the profile shown when the chooser opened";
    ASSERT_TRUE(e2e::GiveMainButtonsDefaults(main));
    e2e::ClearTrace();
    Click(kApply);
    WaitForWriteEnd();
    const auto second = e2e::WritesIn(e2e::ReadTrace());
    ASSERT_EQ(second.size(), 35u);
    EXPECT_EQ(second[0][1] | (second[0][2] << 8), 0x10 + 410) << "profile 2 is written";
    const auto after = e2e::DumpEeprom();
    ASSERT_EQ(after.size(), 2066u);
    EXPECT_TRUE(HasRecordAt(after, 0x10 + 410 + 328, {0xA9, 0x40}))
        << "the launch code of profile 2, side 2";
    EXPECT_TRUE(HasRecordAt(after, 0x10 + 328, {0x00, 0x00})) << "profile 1 untouched";
    EXPECT_EQ(e2e::ReadUserDword(kProfile1 + L"XB2button", L"StateID"), 4u);
}

TEST_F(MainWindowE2e, ProfileWithoutLeftButtonIsRefusedAndNothingIsSent) {
    StartAttached();
    ASSERT_TRUE(e2e::GiveMainButtonsDefaults(main));
    AssignLaunch(kLeftArea, e2e::BinFolder() + L"\\launch_marker.exe", kProfile0 + L"Lbutton");
    e2e::ClearTrace();
    Click(kApply);
    EXPECT_TRUE(e2e::WaitUntil([&] { return program.Visible(L"TWarningForm2"); }, 5s));
    e2e::Settle(1s);
    e2e::SaveScreenshot(L"main-no-left-button");
    EXPECT_TRUE(e2e::WritesIn(e2e::ReadTrace()).empty());
    EXPECT_FALSE(e2e::ReadUserString(kProfile0 + L"Lbutton", L"keys").has_value())
        << "nothing is stored either";
    PressNoticeEnter();
    EXPECT_TRUE(e2e::WaitUntil([&] { return !program.Visible(L"TWarningForm2"); }, 5s))
        << "Enter hides this notice";
    EXPECT_TRUE(Program::Sync(main));
    EXPECT_TRUE(program.Running());
}

TEST_F(MainWindowE2e, DefaultIsGreyedForAButtonThatHasItsDefault) {
    StartAttached();
    Click(kRightArea);
    Click(kDefault);  // first run: the button had no function yet, so Default is offered
    EXPECT_EQ(e2e::ReadUserString(kProfile0 + L"Rbutton", L"DES"), L"Right button");
    e2e::DeleteUserSettings();
    Click(kRightArea);
    Click(kDefault);  // now greyed: nothing may happen
    EXPECT_FALSE(e2e::ReadUserString(kProfile0 + L"Rbutton", L"DES").has_value());
}

TEST_F(MainWindowE2e, OkEndsAfterTheWriteCancelAndCloseAtOnce) {
    StartAttached();
    ASSERT_TRUE(e2e::GiveMainButtonsDefaults(main));
    e2e::ClearTrace();
    Click(kOk);
    DWORD code = 1234;
    ASSERT_TRUE(program.WaitForExit(20s, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(e2e::WritesIn(e2e::ReadTrace()).size(), 35u) << "OK ends only after the last chunk";

    ASSERT_EQ(e2e::StartAttached(program), "");
    e2e::ClearTrace();
    Program::PostClick(program.Main(), kCancel.x, kCancel.y);  // the program ends inside it
    EXPECT_TRUE(program.WaitForExit(5s));
    EXPECT_TRUE(e2e::WritesIn(e2e::ReadTrace()).empty());

    ASSERT_EQ(e2e::StartAttached(program), "");
    Program::PostClick(program.Main(), kClose.x, kClose.y);
    EXPECT_TRUE(program.WaitForExit(5s));
}

// The mouse is pulled out in the middle of a write and plugged in again: the profile is written
// again from its start, never left half-written, and no "given up" notice hides the real cause.
TEST_F(MainWindowE2e, AWriteCutOffByUnpluggingIsWrittenAgainWhenTheMouseIsBack) {
    StartAttached();
    ASSERT_TRUE(e2e::GiveMainButtonsDefaults(main));
    ASSERT_EQ(e2e::Vmouse(L"fault delay-ack 400"), 0);  // keep the write running long enough
    Click(kApply);
    // The progress animation runs over the middle of the main window while the write waits.
    HWND loading = program.Window(L"TLoadingForm", L"LoadingForm");
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(loading) != FALSE; }, 2s));
    RECT frame{}, window{};
    GetWindowRect(loading, &frame);
    GetWindowRect(main, &window);
    EXPECT_EQ(frame.left, window.left + (window.right - window.left) / 2 - 100);
    EXPECT_EQ(frame.top, window.top + (window.bottom - window.top) / 2 - 100);
    EXPECT_EQ(frame.right - frame.left, 200) << "sized to its frame picture";
    EXPECT_TRUE(GetWindowLongW(loading, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongW(loading, GWL_EXSTYLE) & WS_EX_TOPMOST);
    e2e::SaveScreenshot(L"main-writing");
    ASSERT_EQ(e2e::Vmouse(L"unplug"), 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return program.Visible(L"TWarningForm2"); }, 5s));
    EXPECT_FALSE(IsWindowEnabled(program.Main()));
    // Longer than the sends after which a write is given up: this one waits. The mouse is
    // away, so nothing but time can show it.
    e2e::Settle((kMaxResends + 1) * kRewriteInterval + 2s);
    EXPECT_TRUE(program.Running());

    ASSERT_EQ(e2e::Vmouse(L"plug"), 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !program.Visible(L"TWarningForm2"); }, 15s));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(loading); }, 40s)) << "the write ends";
    e2e::Settle(500ms);
    const auto writes = e2e::WritesIn(e2e::ReadTrace());
    ASSERT_GE(writes.size(), 35u);
    const auto& first = writes[writes.size() - 35];
    EXPECT_EQ(first[1] | first[2] << 8, 0x10) << "written again from the profile's start";
    EXPECT_EQ(writes.back()[1] | writes.back()[2] << 8, 0x10 + 408) << "... to its end";
    EXPECT_TRUE(HasRecordAt(e2e::DumpEeprom(), 0x10, {0xC0, 0x40}));
    EXPECT_TRUE(program.Running());
}

}  // namespace
