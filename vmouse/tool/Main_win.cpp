// vmouse.exe: plugs, unplugs and drives the virtual mouse, and reads its EEPROM and trace.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "vmouse/tool/ControlClient_win.h"
#include "vmouse/tool/DeviceInstall_win.h"
#include "vmouse/model/FaultTable.h"
#include "vmouse/tool/HidEnum_win.h"
#include "common/HidHeaders_win.h"
#include "vmouse/model/TraceFormat.h"

namespace {

using namespace vmtool;

constexpr DWORD kPlugTimeoutMs = 30000;
constexpr DWORD kUnplugTimeoutMs = 15000;
constexpr wchar_t kParametersKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\TavrineVMouse\\Parameters";

void Say(const std::wstring& text, FILE* to = stdout) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), narrow.data(), n,
                        nullptr, nullptr);
    std::fprintf(to, "%s\n", narrow.c_str());
    std::fflush(to);
}

int Fail(const std::wstring& text) {
    Say(L"vmouse: " + text, stderr);
    return 1;
}

// The table's texts are ASCII.
std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

int Usage() {
    std::wstring faults, described;
    for (const vmouse::FaultKind& kind : vmouse::kFaultKinds) {
        const std::wstring call =
            Wide(kind.name) + L" " + Wide(vmouse::FaultArgumentText(kind.argument));
        faults += call + L" | ";
        described += L"\n  " + call + std::wstring(call.size() < 16 ? 16 - call.size() : 1, L' ') +
                     Wide(kind.description);
    }
    Say(L"usage: vmouse plug | unplug | remove | status | reset\n"
        L"              press dpi|profile|polling|lock|button N\n"
        L"              write ADDR BYTE... (hexadecimal, up to 12 bytes)\n"
        L"              dump FILE | trace FILE | trace-clear\n"
        L"              fault " +
            faults + L"clear\nfaults (clear: none):" + described,
        stderr);
    return 2;
}

bool MousePresent(const std::vector<HidCollection>& list) {
    return HasCollection(list, vmouse::kVendorUsagePage, vmouse::kWriteUsage) &&
           HasCollection(list, vmouse::kVendorUsagePage, vmouse::kReadUsage);
}
bool ControlPresent(const std::vector<HidCollection>& list) {
    return HasCollection(list, vmouse::kControlUsagePage, vmouse::kControlUsage);
}
bool NoMouseCollection(const std::vector<HidCollection>& list) {
    for (const HidCollection& c : list) {
        if (c.usagePage == vmouse::kVendorUsagePage) return false;
    }
    return true;
}

void ListMouse(const std::vector<HidCollection>& list) {
    for (const HidCollection& c : list) {
        wchar_t line[64];
        swprintf(line, 64, L"  %04X/%04X  ", c.usagePage, c.usage);
        Say(line + c.path);
    }
}

int Plug() {
    if (MousePresent(FindMouseCollections()) && ControlPresent(FindMouseCollections())) {
        Say(L"already plugged");
        ListMouse(FindMouseCollections());
        return 0;
    }
    std::wstring error;
    if (!InstallDevices(InfBesideProgram(), true, error)) return Fail(L"plug: " + error);
    const bool visible = WaitForCollections(
        [](const std::vector<HidCollection>& l) { return MousePresent(l) && ControlPresent(l); },
        kPlugTimeoutMs);
    if (!visible) return Fail(L"plug: the mouse's collections did not appear within 30 s");
    Say(L"plugged");
    ListMouse(FindMouseCollections());
    return 0;
}

int Unplug(bool everything) {
    std::wstring error;
    if (!RemoveDevices(true, everything, error)) return Fail(L"unplug: " + error);
    const bool gone = WaitForCollections(
        [everything](const std::vector<HidCollection>& l) {
            return everything ? l.empty() : NoMouseCollection(l);
        },
        kUnplugTimeoutMs);
    if (!gone) return Fail(L"unplug: the mouse's collections are still present after 15 s");
    Say(everything ? L"removed (mouse and control collection)" : L"unplugged");
    return 0;
}

std::optional<ControlClient> Control() {
    std::wstring error;
    auto client = ControlClient::Open(error);
    if (!client) Fail(error);
    return client;
}

int Press(int argc, wchar_t** argv) {
    if (argc < 3) return Usage();
    const std::wstring what = argv[2];
    vmouse::Control control;
    uint8_t button = 0;
    if (what == L"dpi")
        control = vmouse::Control::Dpi;
    else if (what == L"profile")
        control = vmouse::Control::Profile;
    else if (what == L"polling")
        control = vmouse::Control::Polling;
    else if (what == L"lock")
        control = vmouse::Control::Lock;
    else if (what == L"button" && argc >= 4) {
        const long n = std::wcstol(argv[3], nullptr, 10);
        if (n < 1 || n > 5)
            return Fail(L"press button: N is 1 to 5 (left, right, middle, side 1, side 2)");
        control = vmouse::Control::Button;
        button = static_cast<uint8_t>(n);
    } else {
        return Usage();
    }
    auto client = Control();
    if (!client) return 1;
    std::wstring error;
    if (!client->Simple(vmouse::ControlCommand::Press, error, static_cast<uint8_t>(control),
                        button))
        return Fail(L"press: " + error);
    Say(L"pressed " + what + (button ? L" " + std::to_wstring(button) : L""));
    return 0;
}

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size, std::wstring& error) {
    Handle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) {
        error = Win32ErrorText((L"CreateFileW " + path).c_str());
        return false;
    }
    DWORD written = 0;
    if (!WriteFile(f.get(), data, static_cast<DWORD>(size), &written, nullptr) || written != size) {
        error = Win32ErrorText((L"WriteFile " + path).c_str());
        return false;
    }
    return true;
}

// The image the driver keeps for the next power-up, for when the mouse is not installed.
bool StoredEeprom(std::vector<uint8_t>& image) {
    image.assign(vmouse::kEepromSize, 0);
    DWORD size = static_cast<DWORD>(image.size());
    DWORD type = 0;
    const LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, kParametersKey, L"Eeprom",
                                        RRF_RT_REG_BINARY, &type, image.data(), &size);
    return status == ERROR_SUCCESS && size == vmouse::kEepromSize;
}

int Dump(const std::wstring& path) {
    std::vector<uint8_t> image;
    std::wstring error;
    std::wstring source = L"from the mouse";
    auto client = ControlClient::Open(error);
    if (client) {
        if (!client->ReadEeprom(image, error)) return Fail(L"dump: " + error);
    } else if (StoredEeprom(image)) {
        source = L"from the stored image (the mouse is not installed)";
    } else {
        return Fail(L"dump: " + error);
    }
    if (!WriteFileBytes(path, image.data(), image.size(), error)) return Fail(L"dump: " + error);
    Say(L"EEPROM (" + std::to_wstring(image.size()) + L" bytes, " + source + L") written to " +
        path);
    return 0;
}

int Trace(const std::wstring& path) {
    auto client = Control();
    if (!client) return 1;
    std::vector<vmouse::TraceEntry> entries;
    std::wstring error;
    if (!client->ReadTrace(entries, error)) return Fail(L"trace: " + error);
    std::string text;
    for (const vmouse::TraceEntry& e : entries) {
        char line[vmouse::kTraceLineMax];
        if (vmouse::FormatTraceLine(e, line, sizeof line) == 0) continue;
        text += line;
        text += "\r\n";
    }
    if (!WriteFileBytes(path, text.data(), text.size(), error)) return Fail(L"trace: " + error);
    Say(std::to_wstring(entries.size()) + L" trace entries written to " + path);
    return 0;
}

int Fault(int argc, wchar_t** argv) {
    if (argc < 3) return Usage();
    auto client = Control();
    if (!client) return 1;
    vmouse::StatusInfo status{};
    std::wstring error;
    if (!client->Status(status, error)) return Fail(L"fault: " + error);
    vmouse::Faults f = status.faults;
    const std::wstring what = argv[2];
    if (what == L"clear") {
        f = vmouse::Faults{};
    } else if (argc < 4) {
        return Usage();
    } else if (const vmouse::FaultKind* kind = vmouse::FindFault(argv[2])) {
        uint32_t value = 0;
        if (!vmouse::ParseFaultArgument(kind->argument, argv[3], value)) {
            if (kind->argument == vmouse::FaultArgument::OnOff) return Usage();
            return Fail(L"fault: " + what + L" takes a number up to " +
                        std::to_wstring(vmouse::kFaultArgumentMax));
        }
        kind->set(f, value);
    } else {
        return Usage();
    }
    if (!client->SetFaults(f, error)) return Fail(L"fault: " + error);
    Say(L"faults set");
    return 0;
}

// Sends one write report to the write collection, as the configuration program does.
int Write(int argc, wchar_t** argv) {
    if (argc < 4) return Usage();
    auto number = [](const wchar_t* text, unsigned long max, unsigned long& out) {
        wchar_t* end = nullptr;
        out = std::wcstoul(text, &end, 16);
        return end != text && *end == L'\0' && out <= max;
    };
    unsigned long address = 0;
    if (!number(argv[2], 0xFFFF, address)) return Fail(L"write: ADDR is a hexadecimal address");
    const int count = argc - 3;
    if (count > static_cast<int>(vmouse::kMaxDataCount)) return Fail(L"write: at most 12 bytes");
    BYTE report[vmouse::kFeatureReportSize] = {
        vmouse::kWriteReportId, static_cast<BYTE>(address & 0xFF), static_cast<BYTE>(address >> 8),
        static_cast<BYTE>(count)};
    for (int i = 0; i < count; ++i) {
        unsigned long b = 0;
        if (!number(argv[3 + i], 0xFF, b)) return Fail(L"write: bytes are hexadecimal, 00 to ff");
        report[vmouse::kCommandHeaderSize + i] = static_cast<BYTE>(b);
    }
    for (const HidCollection& c : FindMouseCollections(vmouse::kVendorUsagePage)) {
        if (c.usage != vmouse::kWriteUsage) continue;
        Handle h = OpenCollection(c.path);
        if (!h.valid()) return Fail(Win32ErrorText(L"write: CreateFileW"));
        if (!HidD_SetFeature(h.get(), report, sizeof report))
            return Fail(Win32ErrorText(L"write: HidD_SetFeature (the mouse refused the report?)"));
        Say(L"written");
        return 0;
    }
    return Fail(L"write: the mouse is not plugged");
}

int Status() {
    const std::vector<HidCollection> list = FindMouseCollections();
    Say(std::wstring(L"plugged: ") + (MousePresent(list) ? L"yes" : L"no"));
    ListMouse(list);
    std::wstring error;
    auto client = ControlClient::Open(error);
    if (!client) {
        Say(L"control collection: not present");
        return 0;
    }
    vmouse::StatusInfo s{};
    if (!client->Status(s, error)) return Fail(L"status: " + error);
    static const wchar_t* const kPolling[] = {L"1000 Hz", L"500 Hz", L"125 Hz"};
    wchar_t line[256];
    swprintf(line, 256,
             L"profile %u, DPI level %u, DPI steps %u %u %u %u, polling %ls, wheel %ls, logo %ls, "
             L"lock %ls",
             s.live.activeProfile, s.live.levelIndex + 1u, s.live.dpiSteps[0], s.live.dpiSteps[1],
             s.live.dpiSteps[2], s.live.dpiSteps[3],
             s.live.pollingCode < 3 ? kPolling[s.live.pollingCode] : L"?",
             s.live.wheelLight ? L"on" : L"off", s.live.logoLight ? L"on" : L"off",
             s.live.locked ? L"on" : L"off");
    Say(line);
    std::wstring faults = L"faults:";
    for (const vmouse::FaultKind& kind : vmouse::kFaultKinds) {
        const uint32_t value = kind.get(s.faults);
        faults += (faults.back() == L':' ? L" " : L", ") + Wide(kind.name) + L" " +
                  (kind.argument == vmouse::FaultArgument::OnOff ? (value ? L"on" : L"off")
                                                                 : std::to_wstring(value)) +
                  (kind.argument == vmouse::FaultArgument::Milliseconds ? L" ms" : L"");
    }
    Say(faults);
    swprintf(line, 256,
             L"writes %u, reads %u, refused %u, input reports %u, acknowledgements dropped %u",
             s.counters.writesAccepted, s.counters.readsAccepted, s.counters.refused,
             s.counters.inputsSent, s.counters.acksDropped);
    Say(line);
    swprintf(line, 256, L"trace: entries %u to %u; EEPROM %ls%ls", s.traceFirst,
             s.traceNext > 0 ? s.traceNext - 1 : 0,
             (s.hostFlags & vmouse::kHostEepromLoaded) ? L"restored from the stored image"
                                                       : L"factory at power-up",
             (s.hostFlags & vmouse::kHostPersistFailed) ? L", last save FAILED" : L"");
    Say(line);
    swprintf(line, 256, L"driver timer thread: %ls",
             (s.hostFlags & vmouse::kHostWorkerAlive) ? L"running" : L"NOT RUNNING");
    Say(line);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    const std::wstring command = argv[1];
    if (command == L"plug") return Plug();
    if (command == L"unplug") return Unplug(false);
    if (command == L"remove") return Unplug(true);
    if (command == L"status") return Status();
    if (command == L"press") return Press(argc, argv);
    if (command == L"fault") return Fault(argc, argv);
    if (command == L"write") return Write(argc, argv);
    if (command == L"dump" && argc >= 3) return Dump(argv[2]);
    if (command == L"trace" && argc >= 3) return Trace(argv[2]);
    if (command == L"trace-clear" || command == L"reset") {
        auto client = Control();
        if (!client) return 1;
        std::wstring error;
        const auto what = command == L"reset" ? vmouse::ControlCommand::Reset
                                              : vmouse::ControlCommand::ClearTrace;
        if (!client->Simple(what, error)) return Fail(command + L": " + error);
        Say(command == L"reset" ? L"factory EEPROM restored" : L"trace cleared");
        return 0;
    }
    return Usage();
}
