// The device operations under the virtual mouse's faults: for each operation and fault, the
// program keeps running, tells the user where it should, leaves the registry and the EEPROM
// whole (every profile the mouse holds is exactly the one stored, or untouched), and works
// again once the fault is cleared. Prints the table of cases and outcomes.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "device/ButtonRecord.h"
#include "device/DeviceSession.h"
#include "device/ProfileWrite.h"
#include "tests/e2e/E2eLayout.h"
#include "tests/e2e/E2eSupport.h"
#include "vmouse/model/FaultTable.h"
#include "device/SettingsLayout.h"

using device::ButtonKeyPath;
using device::ButtonRecord;
using device::ButtonRecordOffset;
using device::kButtonCount;
using device::kDeviceAttachInterval;
using device::kRewriteInterval;
using device::kWriteEndingInterval;
using device::kWriteStartWait;
using device::ParseButtonRecordText;
using device::ROMAddress;

namespace {

using namespace e2e::layout;

using namespace std::chrono_literals;
using e2e::Program;
constexpr std::size_t kPollingAddress = 6, kLevelAndLightsAddress = 7;
constexpr std::uint8_t kWheelBit = 0x10;
// Held back longer than the write's resend interval, an acknowledgement comes after the chunk
// was sent again; shorter would test a slow mouse, not a late one.
constexpr auto kLateAck = kRewriteInterval + 500ms;
constexpr auto kLateAckMs = static_cast<std::uint32_t>(kLateAck.count());

struct Outcome {
    Outcome(std::string op, std::string f) : operation(std::move(op)), fault(std::move(f)) {}
    std::string operation, fault;
    bool running = false;
    std::string told;  // what the user saw, or "nothing"
    bool whole = false;
    bool recovered = false;
    std::string note;
};
std::vector<Outcome> g_table;

// Enters a case in the table and checks what every case must show; false when the program
// is gone, so the cases after it are not run against nothing.
bool Record(const Outcome& o) {
    g_table.push_back(o);
    EXPECT_TRUE(o.running);
    EXPECT_TRUE(o.whole) << o.note;
    EXPECT_TRUE(o.recovered);
    return o.running;
}

std::string Yes(bool b) { return b ? "yes" : "NO"; }

// The write reports since the trace was cleared, by their first five bytes.
std::string WriteList() {
    std::string list;
    char hex[4];
    for (const auto& w : e2e::WritesIn(e2e::ReadTrace())) {
        list += " ";
        for (std::size_t i = 0; i < 5 && i < w.size(); ++i) {
            std::snprintf(hex, sizeof hex, "%02X", w[i]);
            list += hex;
        }
    }
    return list;
}

// A profile in the mouse is whole when each of its five records is the one the registry holds.
bool ProfileMatchesStore(int profile) {
    const auto eeprom = e2e::DumpEeprom();
    if (eeprom.size() != 2066) return false;
    for (int b = 0; b < kButtonCount; ++b) {
        const std::wstring key = ButtonKeyPath(profile, b).substr(1);  // no leading backslash
        const auto text = e2e::ReadUserString(key + L"\\", L"keys");
        if (!text) return false;
        const ButtonRecord want = ParseButtonRecordText(*text);
        const std::size_t at = ROMAddress[profile][ButtonRecordOffset(b)];
        if (!std::equal(want.begin(), want.end(), eeprom.begin() + static_cast<long>(at)))
            return false;
    }
    return true;
}

// Bytes no profile write produces in the first, a middle and the last chunk of profile 1, so
// that only a whole new write makes the profile match the registry again.
void ScrambleProfile() {
    EXPECT_EQ(e2e::Vmouse(L"write 0010 ee ee ee ee ee ee ee ee ee ee ee ee"), 0);
    EXPECT_EQ(e2e::Vmouse(L"write 00d0 ee ee ee ee ee ee ee ee ee ee ee ee"), 0);
    EXPECT_EQ(e2e::Vmouse(L"write 01a8 ee ee"), 0);
}

// Acknowledgements the mouse sent since the trace was cleared.
int Acknowledgements() {
    int acks = 0;
    for (const auto& r : e2e::ReadTrace())
        acks += !r.in && r.kind == "input" && r.bytes.size() > 1 && r.bytes[1] == 0x10;
    return acks;
}

std::vector<std::uint8_t> ProfileBytes(const std::vector<std::uint8_t>& eeprom) {
    if (eeprom.size() < 0x10 + 410) return {};
    return {eeprom.begin() + 0x10, eeprom.begin() + 0x10 + 410};
}

// A row of the matrix: one of the virtual mouse's faults, or an unplug.
struct FaultCase {
    std::string fault;       // "drop-ack 5" (the tool's words), or what happens
    std::wstring arguments;  // the vmouse command line that sets it up
    const vmouse::FaultKind* kind = nullptr;
    bool unplug = false;  // unplugged as the operation runs

    // The mouse carries out nothing, answers nothing and sends nothing, not even its events.
    bool TakesNothing() const {
        return unplug || (kind && kind->scope == vmouse::FaultScope::Everything);
    }
};

// A fault of the table with the argument an operation uses: a counted fault hits the
// count-th write from now, a timed one lasts ms, a switch is on.
FaultCase TableFault(const vmouse::FaultKind& kind, std::uint32_t count, std::uint32_t ms) {
    const std::string call =
        std::string(kind.name) + " " +
        (kind.argument == vmouse::FaultArgument::Count          ? std::to_string(count)
         : kind.argument == vmouse::FaultArgument::Milliseconds ? std::to_string(ms)
                                                                : std::string("on"));
    return {call, L"fault " + std::wstring(call.begin(), call.end()), &kind, false};
}

// Every fault of the table, so that a new one is in the matrix without a word here. An
// operation that writes nothing leaves out the faults on acknowledgements.
std::vector<FaultCase> TableFaults(std::uint32_t count, std::uint32_t ms, bool writes = true) {
    std::vector<FaultCase> cases;
    for (const vmouse::FaultKind& kind : vmouse::kFaultKinds) {
        if (writes || kind.scope != vmouse::FaultScope::Acknowledgements)
            cases.push_back(TableFault(kind, count, ms));
    }
    return cases;
}

FaultCase Unplugged(std::string what, std::wstring arguments) {
    return {std::move(what), std::move(arguments), nullptr, true};
}

class FaultMatrixE2e : public ::testing::Test {
  protected:
    void RunAttach(const std::vector<FaultCase>& cases);
    void RunLaunch(const std::vector<FaultCase>& cases);

    static void SetUpTestSuite() {
        EXPECT_EQ(e2e::Vmouse(L"plug"), 0);
        g_table.clear();
    }
    static void TearDownTestSuite() {
        EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
        std::printf("\nfault matrix (virtual mouse under Wine)\n");
        std::printf("%-22s %-26s %-8s %-28s %-13s %-10s %s\n", "operation", "fault", "running",
                    "user told", "store+EEPROM", "recovered", "note");
        for (const Outcome& o : g_table)
            std::printf("%-22s %-26s %-8s %-28s %-13s %-10s %s\n", o.operation.c_str(),
                        o.fault.c_str(), Yes(o.running).c_str(), o.told.c_str(),
                        o.whole ? "whole" : "WRONG", Yes(o.recovered).c_str(), o.note.c_str());
        std::fflush(stdout);
    }

    void SetUp() override {
        if (!e2e::VirtualMouseBuilt())
            GTEST_SKIP() << "the virtual mouse is not part of this build";
        e2e::WriteInstallKey(e2e::BinFolder());
        e2e::DeleteUserSettings();
    }
    void TearDown() override {
        program.Kill();
        EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
    }

    void StartAttached() {
        ASSERT_EQ(e2e::FactoryMouse(), "");
        ASSERT_EQ(e2e::StartAttached(program), "");
        main = program.Main();
        ASSERT_TRUE(e2e::GiveMainButtonsDefaults(main));
    }

    void Click(POINT at) { EXPECT_TRUE(Program::Click(main, at.x, at.y)); }

    // The notice the program shows, by its window, or "nothing".
    std::string Told() {
        if (program.Visible(L"TWarningForm2")) return "notice (TWarningForm2)";
        if (program.Visible(L"TWarningForm1")) return "question (TWarningForm1)";
        if (program.Visible(L"#32770")) return "error report";
        return "nothing";
    }
    // Wine without a window manager holds a program for up to two seconds after one of its
    // windows hides; this waits until it handles messages again.
    void AnswersAgain() { EXPECT_TRUE(Program::Sync(main)); }
    // OK on the program's error report, when one is up.
    void DismissReport() {
        HWND report = program.Window(L"#32770");
        if (!report || !IsWindowVisible(report)) return;
        PostMessageW(report, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(
            e2e::WaitUntil([&] { return !IsWindow(report) || !IsWindowVisible(report); }, 5s));
        AnswersAgain();
    }
    HWND OpenDialog(POINT button, const wchar_t* className) {
        return program.OpenDialog(main, button, className);
    }
    // Unplugs the mouse and waits until the program has seen it go: the no-mouse notice then
    // holds the main window disabled.
    bool Unplug() {
        return e2e::Vmouse(L"unplug") == 0 &&
               e2e::WaitUntil([&] { return !IsWindowEnabled(main); }, 10s);
    }
    // Plugs the mouse in and waits until the attach has read the lights and the program has
    // handled what followed.
    bool PlugAndAttach() {
        const int reads = e2e::ReadRequestsFor(e2e::ReadTrace(), kLevelAndLightsAddress);
        return e2e::Vmouse(L"plug") == 0 &&
               e2e::WaitUntil(
                   [&] {
                       return e2e::ReadRequestsFor(e2e::ReadTrace(), kLevelAndLightsAddress) >
                              reads;
                   },
                   15s) &&
               Program::Sync(main) && IsWindowEnabled(main);
    }
    // Unplugged and plugged in again, the fault cleared meanwhile; back when the window is.
    void Replug() {
        EXPECT_TRUE(Unplug()) << "the program did not see the mouse go";
        EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
        EXPECT_TRUE(PlugAndAttach()) << "the program did not attach the mouse again";
    }
    // Yes on the notice, as the user clicks it.
    void DismissNotice() {
        HWND notice = program.Window(L"TWarningForm2");
        if (!notice || !IsWindowVisible(notice)) return;
        EXPECT_TRUE(Program::Click(notice, kNoticeYes.x, kNoticeYes.y));
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(notice); }, 3s));
        AnswersAgain();
    }

    // Waits until the running write is over: the progress window hidden, the window enabled
    // and no write report reaching the mouse for longer than the write's own pause between
    // chunks and its ending step.
    bool WaitForWriteEnd(std::chrono::milliseconds limit) {
        constexpr auto kQuiet = 2 * (kWriteStartWait + kWriteEndingInterval) + 100ms;
        HWND loading = program.Window(L"TLoadingForm", L"LoadingForm");
        std::size_t writes = static_cast<std::size_t>(-1);
        auto quietSince = std::chrono::steady_clock::now();
        return e2e::WaitUntil(
            [&] {
                const std::size_t now = e2e::WritesIn(e2e::ReadTrace()).size();
                const bool idle = !IsWindowVisible(loading) && IsWindowEnabled(main);
                if (now != writes || !idle) quietSince = std::chrono::steady_clock::now();
                writes = now;
                return std::chrono::steady_clock::now() - quietSince >= kQuiet;
            },
            limit);
    }

    // A write with no fault: the program works (again). Says what was wrong when it does not.
    bool CleanWrite() {
        DismissNotice();
        ScrambleProfile();
        e2e::ClearTrace();
        Click(kApply);
        const bool enabled = IsWindowEnabled(main) != FALSE;
        const bool ended = WaitForWriteEnd(20s);
        const std::size_t writes = e2e::WritesIn(e2e::ReadTrace()).size();
        const bool matches = ProfileMatchesStore(0);
        recovery = !ended ? "the write did not end"
                   : writes != 35
                       ? std::to_string(writes) + " write reports (window " +
                             (enabled ? "enabled" : "disabled") + ", shows " + Told() + ")"
                   : !matches ? "profile not the stored one"
                              : "";
        if (!recovery.empty())
            e2e::SaveScreenshot(L"fault-recovery-" + std::to_wstring(g_table.size()));
        return recovery.empty();
    }

    Program program;
    HWND main = nullptr;
    std::string recovery;  // why the last clean write failed
};

// Profile write (Apply) under each fault. A write the mouse does not take at all is given up
// after three sends and the user is told; every other fault ends in the whole profile.
TEST_F(FaultMatrixE2e, ProfileWrite) {
    ASSERT_NO_FATAL_FAILURE(StartAttached());
    struct Case {
        std::string fault;
        std::wstring before;           // vmouse arguments set before Apply
        std::function<void()> during;  // what happens while the write runs
        bool takes;                    // the mouse takes the profile in the end
        bool tells;                    // the user is told
        std::chrono::milliseconds limit;
    };
    std::vector<Case> cases;
    for (const FaultCase& f : TableFaults(5, kLateAckMs)) {
        // Held back that long, every chunk would wait out the resend: only the first chunk's
        // acknowledgement is late.
        const bool lateAcks = f.kind->scope == vmouse::FaultScope::Acknowledgements &&
                              f.kind->argument == vmouse::FaultArgument::Milliseconds;
        std::function<void()> during;
        if (lateAcks)
            during = [] {
                EXPECT_TRUE(e2e::WaitUntil([] { return !e2e::WritesIn(e2e::ReadTrace()).empty(); },
                                           kRewriteInterval));
                EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
            };
        cases.push_back({f.fault, f.arguments, during, !f.TakesNothing(), f.TakesNothing(),
                         lateAcks ? 25s : 20s});
    }
    cases.push_back(
        {"unplugged mid-write", L"fault delay-ack 250", [this] { Replug(); }, true, false, 40s});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        Outcome o{"profile write", c.fault};
        ScrambleProfile();
        const auto before = ProfileBytes(e2e::DumpEeprom());
        e2e::ClearTrace();
        ASSERT_EQ(e2e::Vmouse(c.before), 0);
        Click(kApply);
        if (c.during) c.during();
        const bool ended = WaitForWriteEnd(c.limit);
        o.running = program.Running();
        o.told = Told();
        if (o.told != "nothing")
            e2e::SaveScreenshot(L"fault-write-" + std::to_wstring(g_table.size()));
        const bool matches = ProfileMatchesStore(0);
        const bool untouched = ProfileBytes(e2e::DumpEeprom()) == before;
        o.whole = c.takes ? matches : untouched;
        o.note = std::to_string(e2e::WritesIn(e2e::ReadTrace()).size()) + " write reports" +
                 (ended ? "" : ", write did not end");
        EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
        o.recovered = o.running && CleanWrite();
        if (!o.recovered && !recovery.empty()) o.note += "; again: " + recovery;
        g_table.push_back(o);
        EXPECT_TRUE(o.running);
        EXPECT_TRUE(ended);
        EXPECT_EQ(o.told != "nothing", c.tells) << o.told;
        EXPECT_TRUE(o.whole) << "the mouse's profile is "
                             << (matches ? "the stored one" : "not the stored one");
        EXPECT_TRUE(o.recovered);
        if (!o.running) return;
    }
}

// The attach's read-back (active profile, lights) under the faults that touch answers, and an
// unplug in the middle of it. Acknowledgement faults do not apply: the attach writes nothing.
void FaultMatrixE2e::RunAttach(const std::vector<FaultCase>& cases) {
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.fault);
        e2e::DeleteUserSettings();
        if (!e2e::MousePresent()) {
            ASSERT_EQ(e2e::Vmouse(L"plug"), 0);
        }
        ASSERT_EQ(e2e::Vmouse(L"reset"), 0);
        ASSERT_EQ(e2e::Vmouse(c.arguments), 0);
        Outcome o{"attach and read-back", c.fault};
        e2e::ClearTrace();
        ASSERT_TRUE(program.Start());
        main = program.Main();
        const auto lightsRead = [](int n) {
            return e2e::WaitUntil(
                [&] { return e2e::ReadRequestsFor(e2e::ReadTrace(), kLevelAndLightsAddress) >= n; },
                kDeviceAttachInterval + 10s);
        };
        if (c.unplug) {
            // Within the attach interval after the mouse was found, before the attach ran.
            ASSERT_TRUE(Unplug()) << "the program did not see the mouse go";
            ASSERT_EQ(e2e::ReadRequestsFor(e2e::ReadTrace(), kLevelAndLightsAddress), 0)
                << "the attach ran before the unplug: this case tests nothing";
            o.note = "while unplugged: " + Told();
            ASSERT_EQ(e2e::Vmouse(L"plug"), 0);
        }
        // The attach asks for the lights under the fault whether or not the mouse answers.
        EXPECT_TRUE(lightsRead(1)) << "no attach";
        EXPECT_TRUE(Program::Sync(main));
        o.running = program.Running();
        o.told = Told();
        const auto wheel = e2e::ReadUserDword(L"SOFTWARE\\Tavrine5502\\LIGHT\\", L"WheelLight");
        const auto logo = e2e::ReadUserDword(L"SOFTWARE\\Tavrine5502\\LIGHT\\", L"LogoLight");
        const bool lightsSane = (!wheel || *wheel <= 1) && (!logo || *logo <= 1);
        EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
        // Works again: the window is usable and a profile write is whole.
        const bool enabled = IsWindowEnabled(main) != FALSE;
        o.note += std::string(o.note.empty() ? "" : "; ") + "window enabled " + Yes(enabled);
        EXPECT_TRUE(e2e::GiveMainButtonsDefaults(main));
        o.recovered = o.running && enabled && CleanWrite();
        if (!o.recovered) {
            o.note +=
                "; " + std::to_string(Acknowledgements()) + " acknowledgements sent by the mouse";
        }
        o.whole = lightsSane && ProfileMatchesStore(0);
        if (!o.recovered && !recovery.empty()) o.note += "; again: " + recovery;
        g_table.push_back(o);
        EXPECT_TRUE(o.running);
        EXPECT_TRUE(lightsSane);
        EXPECT_TRUE(o.recovered);
        program.Kill();
        if (!o.running) return;
    }
}

TEST_F(FaultMatrixE2e, AttachAndReadBack) { RunAttach(TableFaults(1, kLateAckMs, false)); }

// Unplugged within the 1.3 s before the attach runs, and plugged in again: the notice that was
// active goes, the window comes back active and the mouse's acknowledgements reach it (with no
// active window, Wine hands the reports to nobody and the next write was given up).
TEST_F(FaultMatrixE2e, AttachCutOffByUnplugging) {
    RunAttach({Unplugged("unplugged mid-attach", L"fault clear")});
}

// A click on a profile tab switches the mouse's active profile (EEPROM 0x0005, 0x20 x number).
// Under a fault the mouse ends on the old or the new profile, never elsewhere; cleared, a
// switch lands. Nothing is said to the user for a switch.
TEST_F(FaultMatrixE2e, ProfileSwitch) {
    ASSERT_NO_FATAL_FAILURE(StartAttached());
    ASSERT_TRUE(CleanWrite()) << recovery;
    std::vector<FaultCase> cases = TableFaults(1, kLateAckMs);
    cases.push_back(Unplugged("unplugged mid-switch", L"fault delay-ack 1000"));
    int current = 0;
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.fault);
        Outcome o{"profile switch", c.fault};
        ASSERT_EQ(e2e::Vmouse(c.arguments), 0);
        const int target = current == 0 ? 1 : 0;
        e2e::ClearTrace();
        Click(ProfileTab(target));
        if (c.unplug) {
            Replug();
        } else if (c.kind->argument == vmouse::FaultArgument::Milliseconds) {
            // Whatever the mouse holds back has come once its acknowledgement is in the trace.
            EXPECT_TRUE(e2e::WaitUntil([] { return Acknowledgements() > 0; }, kLateAck + 2s));
        }
        o.running = program.Running();
        o.told = Told();
        const auto eeprom = e2e::DumpEeprom();
        const int active = eeprom.size() > 5 ? eeprom[5] : -1;
        o.whole = active == 0x20 * (current + 1) || active == 0x20 * (target + 1);
        o.note = "active byte " + std::to_string(active / 0x20);
        EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
        DismissNotice();
        // Cleared: switching to the other tab and back lands on the tab clicked last.
        const auto activeIs = [](int profile) {
            return e2e::WaitUntil(
                [&] {
                    const auto e = e2e::DumpEeprom();
                    return e.size() > 5 && e[5] == 0x20 * (profile + 1);
                },
                5s);
        };
        Click(ProfileTab(current));
        const bool back = activeIs(current);
        Click(ProfileTab(target));
        // Only the last click counts: a switch the mouse held back across an unplug can land
        // after the attach read the active profile, and the first click then names the
        // profile the window already shows.
        o.recovered = o.running && activeIs(target);
        if (!back) o.note += "; the click back to " + std::to_string(current + 1) + " sent nothing";
        if (!o.recovered) {
            const auto e = e2e::DumpEeprom();
            o.note += std::string("; again: active byte ") +
                      std::to_string(e.size() > 5 ? e[5] / 0x20 : -1) + ", writes" + WriteList();
        }
        current = target;
        if (!o.recovered && !recovery.empty()) o.note += "; again: " + recovery;
        if (!Record(o)) return;
    }
}

// The performance dialog's OK writes the polling rate (EEPROM 6, with the level byte and the
// four DPI steps) without acknowledgements; the light dialog's OK writes address 7 and closes
// when the mouse answers. Under each fault the rate and the wheel light are either the old or
// the new ones; a mouse that takes nothing is reported; the light dialog that gets no answer
// stays open and Cancel closes it. Cleared, both dialogs work.
TEST_F(FaultMatrixE2e, PerformanceAndLights) {
    ASSERT_NO_FATAL_FAILURE(StartAttached());
    const auto pollingNow = [] {
        const auto e = e2e::DumpEeprom();
        return e.size() > kPollingAddress ? e[kPollingAddress] : -1;
    };
    const auto wheelNow = [] {
        const auto e = e2e::DumpEeprom();
        return e.size() > kLevelAndLightsAddress ? (e[kLevelAndLightsAddress] & kWheelBit) != 0
                                                 : false;
    };
    // Chooses the other rate and OK: true when the mouse then runs it.
    const auto performOk = [&](bool unplug) {
        const int before = pollingNow();
        const int target = before == 2 ? 1 : 2;  // 500 Hz or 125 Hz
        HWND perform = OpenDialog(kPerformButton, L"TPerform1");
        if (!perform) return std::pair{before, -2};
        const POINT rate = target == 2 ? kHz125 : kHz500;
        EXPECT_TRUE(Program::Click(perform, rate.x, rate.y));
        EXPECT_TRUE(Program::Click(perform, kPerformOk.x, kPerformOk.y));
        if (unplug) {
            EXPECT_TRUE(Unplug());
        }
        // A refused write leaves the dialog open behind its report.
        if (!e2e::WaitUntil([&] { return !IsWindowVisible(perform); }, 10s))
            return std::pair{before, -3};
        AnswersAgain();
        return std::pair{before, target};
    };
    const auto lightOk = [&](bool unplug, bool& closedOnAnswer) {
        const bool before = wheelNow();
        HWND light = OpenDialog(kLightButton, L"TLightOptionForm");
        closedOnAnswer = false;
        if (!light) return before;
        EXPECT_TRUE(Program::Click(light, kWheel.x, kWheel.y));
        const POINT to = before ? kOff : kOn;
        EXPECT_TRUE(Program::Click(light, to.x, to.y));
        EXPECT_TRUE(Program::Click(light, kLightOk.x, kLightOk.y));
        if (unplug) {
            EXPECT_EQ(e2e::Vmouse(L"unplug"), 0);
        }
        closedOnAnswer = e2e::WaitUntil([&] { return !IsWindowVisible(light); }, 5s);
        return before;
    };
    const auto cancelLight = [&] {
        HWND light = program.Window(L"TLightOptionForm");
        if (!light || !IsWindowVisible(light)) return;
        DismissReport();
        EXPECT_TRUE(Program::Click(light, kLightCancel.x, kLightCancel.y));
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(light); }, 5s));
        AnswersAgain();
    };
    // Unplugged right after OK. A mouse that takes nothing (while plugged) is reported.
    std::vector<FaultCase> cases = TableFaults(1, kLateAckMs);
    cases.push_back(Unplugged("unplugged after OK", L"fault clear"));
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.fault);
        {
            Outcome o{"performance OK", c.fault};
            ASSERT_EQ(e2e::Vmouse(c.arguments), 0);
            const auto [before, target] = performOk(c.unplug);
            o.running = program.Running();
            o.told = Told();
            const int after = pollingNow();
            o.whole = after == target || (after == before && o.told != "nothing");
            if (target == -3) o.note += "dialog stayed open; ";
            o.note = "polling byte " + std::to_string(before) + " -> " + std::to_string(after);
            DismissReport();
            // Yes on the no-mouse notice ends the program; plugging the mouse in hides it.
            if (c.unplug)
                Replug();
            else
                DismissNotice();
            EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
            DismissNotice();
            const auto [again, want] = performOk(false);
            o.recovered = o.running && pollingNow() == want && want != again;
            if (!o.recovered)
                o.note += "; again: " + std::to_string(again) + " -> " +
                          std::to_string(pollingNow()) + " (wanted " + std::to_string(want) +
                          "), running " + Yes(program.Running()) + ", " + Told();
            if (!o.recovered)
                e2e::SaveScreenshot(L"fault-perform-" + std::to_wstring(g_table.size()));
            if (!c.unplug) {
                EXPECT_EQ(o.told != "nothing", c.TakesNothing()) << o.told;
            }
            if (!Record(o)) return;
        }
        {
            // The light's live command is the first write: the counted faults hit OK's write.
            const FaultCase lightCase = c.kind ? TableFault(*c.kind, 2, kLateAckMs) : c;
            Outcome o{"light OK", lightCase.fault};
            ASSERT_EQ(e2e::Vmouse(lightCase.arguments), 0);
            bool closed = false;
            const bool before = lightOk(c.unplug, closed);
            o.running = program.Running();
            o.told = Told();
            o.note = std::string("dialog ") + (closed ? "closed on the answer" : "stayed open");
            cancelLight();
            // Closed, by the answer or by Cancel; closed by an answer, the mouse holds the new
            // light.
            HWND light = program.Window(L"TLightOptionForm");
            const bool gone = !light || !IsWindowVisible(light);
            const bool after = wheelNow();
            o.whole = gone && (!closed || after != before);
            o.note += std::string(", wheel ") + (before ? "on" : "off") + " -> " +
                      (after ? "on" : "off") + (gone ? "" : ", dialog still open");
            if (c.unplug)
                Replug();
            else
                DismissNotice();
            EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
            DismissNotice();
            bool closedAgain = false;
            e2e::ClearTrace();
            const bool again = lightOk(false, closedAgain);
            o.recovered = o.running && closedAgain && wheelNow() != again;
            if (!o.recovered)
                o.note += std::string("; again: dialog ") + (closedAgain ? "closed" : "open") +
                          ", wheel " + (again ? "on" : "off") + " -> " +
                          (wheelNow() ? "on" : "off") + ", running " + Yes(program.Running()) +
                          ", " + Told() + ", writes" + WriteList();
            if (!o.recovered)
                e2e::SaveScreenshot(L"fault-light-" + std::to_wstring(g_table.size()));
            cancelLight();
            if (!Record(o)) return;
        }
    }
}

// The display program shows the mouse's own DPI button. A silent or absent mouse sends no
// event, so nothing shows; garbage answers to its level query show nothing wrong and do not
// stop it; cleared (or plugged in again), the next press shows the popup.
TEST_F(FaultMatrixE2e, DisplayPopup) {
    const std::wstring vistrel = e2e::BinFolder() + L"\\Vistrel.exe";
    if (GetFileAttributesW(vistrel.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the display program is not part of this build";
    ASSERT_NO_FATAL_FAILURE(StartAttached());
    // Ended with the test however it ends: a display program left running would answer the
    // next suites' mouse events too.
    e2e::Started display;
    ASSERT_TRUE(e2e::Start(display, L"Vistrel.exe", L""));
    const auto popupShown = [] {
        HWND popup = FindWindowW(L"GDIPPOPWND", nullptr);
        return popup && IsWindowVisible(popup);
    };
    const auto displayRunning = [&] { return WaitForSingleObject(display.info.hProcess, 0) != 0; };
    ASSERT_TRUE(e2e::WaitUntil([] { return FindWindowW(L"VISTREL", L"Vistrel") != nullptr; }, 20s));
    // It registers for the mouse's raw input after its window exists: listening once a press
    // shows its popup.
    ASSERT_EQ(e2e::Vmouse(L"press dpi"), 0);
    ASSERT_TRUE(e2e::WaitUntil(popupShown, 10s)) << "the display program shows no popup";
    std::vector<FaultCase> cases = TableFaults(1, kLateAckMs, false);
    cases.push_back(Unplugged("unplugged", L"fault clear"));
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.fault);
        Outcome o{"display popup (DPI)", c.fault};
        EXPECT_TRUE(e2e::WaitUntil([&] { return !popupShown(); }, 5s));
        ASSERT_EQ(e2e::Vmouse(c.arguments), 0);
        if (c.unplug) {
            EXPECT_TRUE(Unplug());
        }
        EXPECT_EQ(e2e::Vmouse(L"press dpi"), 0);
        const bool shown = e2e::WaitUntil(popupShown, 3s);
        o.running = displayRunning() && program.Running();
        o.told = Told();
        o.note = std::string("popup ") + (shown ? "shown" : "not shown");
        // With no event sent, nothing may show; a mouse that still sends its events may show a
        // popup (garbage answers to the level query one of their own).
        o.whole = !c.TakesNothing() || !shown;
        if (c.unplug)
            Replug();
        else
            DismissNotice();
        EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
        DismissNotice();
        EXPECT_TRUE(e2e::WaitUntil([&] { return !popupShown(); }, 5s));
        EXPECT_EQ(e2e::Vmouse(L"press dpi"), 0);
        o.recovered = o.running && e2e::WaitUntil(popupShown, 3s);
        if (!Record(o)) break;
    }
}

// A launch key: the mouse reports the side button and the program starts the assigned file.
// A silent or absent mouse reports nothing, so nothing starts; cleared, the key works.
void FaultMatrixE2e::RunLaunch(const std::vector<FaultCase>& cases) {
    ASSERT_NO_FATAL_FAILURE(StartAttached());
    const std::wstring marker = e2e::BinFolder() + L"\\launch_marker.exe";
    const std::wstring markerFile = e2e::BinFolder() + L"\\launch-marker.txt";
    Click(kSide1Area);
    Program::PostClick(main, kLaunch.x, kLaunch.y);  // the file chooser runs its own loop
    HWND dialog = nullptr;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            dialog = program.Window(L"#32770");
            return dialog && IsWindowVisible(dialog);
        },
        10s));
    ASSERT_TRUE(Program::Sync(dialog));  // its controls exist once it answers
    if (!SetDlgItemTextW(dialog, 0x47C, marker.c_str()))
        SetDlgItemTextW(dialog, 0x480, marker.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10s));
    ASSERT_TRUE(CleanWrite()) << recovery;
    auto launched = [&] {
        return e2e::WaitUntil(
            [&] { return GetFileAttributesW(markerFile.c_str()) != INVALID_FILE_ATTRIBUTES; }, 8s);
    };
    for (const FaultCase& c : cases) {
        const bool starts = !c.TakesNothing();  // the assigned program is started
        SCOPED_TRACE(c.fault);
        Outcome o{"launch key", c.fault};
        DeleteFileW(markerFile.c_str());
        ASSERT_EQ(e2e::Vmouse(c.arguments), 0);
        if (c.unplug) {
            EXPECT_TRUE(Unplug());
        }
        EXPECT_EQ(e2e::Vmouse(L"press button 4"), 0);
        const bool started = launched();
        o.running = program.Running();
        o.told = Told();
        o.note = std::string("program started ") + Yes(started);
        EXPECT_EQ(e2e::Vmouse(L"fault clear"), 0);
        if (c.unplug) {
            EXPECT_TRUE(PlugAndAttach()) << "the program did not attach the mouse again";
        }
        o.whole = started == starts && ProfileMatchesStore(0);
        DeleteFileW(markerFile.c_str());
        EXPECT_EQ(e2e::Vmouse(L"press button 4"), 0);
        o.recovered = o.running && launched();
        if (!o.recovered && !recovery.empty()) o.note += "; again: " + recovery;
        EXPECT_EQ(started, starts);
        if (!Record(o)) return;
    }
}

TEST_F(FaultMatrixE2e, LaunchKey) { RunLaunch(TableFaults(1, kLateAckMs, false)); }

// Pressed while unplugged (nothing starts, the user is told the mouse is missing), then plugged
// in again: the key starts the program again.
TEST_F(FaultMatrixE2e, LaunchKeyAfterReplugging) {
    RunLaunch({Unplugged("unplugged", L"fault clear")});
}

}  // namespace
