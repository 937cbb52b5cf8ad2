// tavrine.exe: the mouse's state, live settings and profile bundles from the command line, on
// the same core and settings store as the configuration program.
#include <windows.h>

#include "common/DeviceIds.h"

#include <fstream>
#include <sstream>

#include "cli/BundleJson.h"
#include "cli/BundleStore.h"
#include "cli/CliArgs.h"
#include "cli/AutoCommands.h"
#include "cli/CliOutput.h"
#include "cli/ConfigurationProgram_win.h"
#include "cli/ConsoleOutput_win.h"
#include "cli/DeviceReportPump_win.h"
#include "cli/LiveCommands.h"
#include "portivo/Portivo.h"
#include "platform/PortivoChannel_win.h"
#include "cli/ProfileBurner.h"
#include "cli/Watch_win.h"
#include "device/ProfileStore.h"
#include "cli/ReadBack.h"
#include "platform/RegistrySettingsStore_win.h"
#include "device/SettingsLayout.h"
#include "platform/SystemServices_win.h"
#include "cli/Utf8.h"
#include "device/WindowMessages.h"
#include "platform/WindowTimers_win.h"

using device::DeviceReportState;
using device::kProfileCount;
using device::LoadProfile;
using device::MainState;
using device::ProfileRecordTexts;
using device::ProfileSnapshot;
using device::SnapshotOf;

using platform::PortivoChannel;
using platform::RegistrySettingsStore;
using platform::SettingsStore;
using platform::SleepWaits;
using platform::WindowPoster;
using platform::WindowTimers;

namespace cli {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Five profiles of 35 chunks, each at worst resent twice 3 s apart, and each profile tried
// twice: the writer gives up long before this.
constexpr auto kBurnTimeout = std::chrono::minutes{30};
constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

std::wstring LastErrorText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : L"error " + std::to_wstring(code);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    return message;
}

int Fail(std::wstring_view what, std::wstring_view why) {
    WriteError(ErrorLine(what, why));
    return kExitFailed;
}

struct Services {
    Services() {
        // Portivo looks the mouse up in the device list its start fills; the change messages it
        // posts to the window are not needed by a program that runs one command.
        static DeviceSpec collections[] = {
            {common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0xFF00},
            {common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0x0002}};
        InitDriver(reports.window(), collections, 2);
    }
    RegistrySettingsStore store;
    PortivoChannel channel{&::SetKbdFeatures, &::GetKbdFeatures};
    SleepWaits waits;
    WindowPoster messenger;
    DeviceReportPump reports;

    std::optional<int> Firmware() {
        int version = 0;
        if (GetFirmwareVer(common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0x0002,
                           &version) != 1)
            return std::nullopt;
        return version;
    }
    LiveServices Live() { return {channel, waits, reports, messenger, store}; }
};

bool ReadWholeFile(const std::wstring& path, std::string& text, std::wstring& error) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + L": " + LastErrorText(GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != 0;
    if (ok && size.QuadPart > static_cast<LONGLONG>(kMaxFileBytes)) {
        CloseHandle(file);
        error = L"the file is too large to be a profile bundle";
        return false;
    }
    text.assign(ok ? static_cast<std::size_t>(size.QuadPart) : 0, '\0');
    DWORD read = 0;
    ok = ok && (text.empty() ||
                (ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr) &&
                 read == text.size()));
    if (!ok) error = path + L": " + LastErrorText(GetLastError());
    CloseHandle(file);
    return ok;
}

// Written beside the target and moved over it, so an existing bundle is never left half-written.
bool WriteWholeFile(const std::wstring& path, const std::string& text, std::wstring& error) {
    const std::wstring temporary = path + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + L": " + LastErrorText(GetLastError());
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size() && FlushFileBuffers(file);
    const DWORD code = GetLastError();
    CloseHandle(file);
    if (ok)
        ok = MoveFileExW(temporary.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        error = path + L": " + LastErrorText(ok ? code : GetLastError());
        DeleteFileW(temporary.c_str());
    }
    return ok;
}

constexpr std::wstring_view kCloseProgramFirst =
    L"Tavrine Gaming Mouse is running; close it first, or it would write its own copy of the "
    L"settings back";

int Status(Services& services, bool json) {
    const StatusRead read = ReadStatus(services.channel, services.waits);
    if (!read.ok) {
        WriteOut(DetachedStatusText(read.error, json));
        return Fail(L"status",
                    L"the mouse is not attached or does not answer (" + read.error + L")");
    }
    WriteOut(StatusText(read.status, services.Firmware(), json));
    return kExitOk;
}

int Export(Services& services, const std::wstring& path) {
    const Bundle bundle = ExportBundle(services.store);
    std::wstring error;
    if (!WriteWholeFile(path, BundleToJson(bundle), error)) return Fail(L"export", error);
    WriteOut("exported 5 profiles and " + std::to_string(bundle.macros.size()) + " macros to " +
             ToUtf8(path) + "\n");
    return kExitOk;
}

// The five profiles as the writer takes them, from what the store now holds.
std::vector<ProfileSnapshot> StoredSnapshots(SettingsStore& store) {
    std::vector<ProfileSnapshot> snapshots;
    for (int p = 0; p < kProfileCount; ++p) {
        MainState state;
        LoadProfile(store, p, state);
        snapshots.push_back(SnapshotOf(state, p));
    }
    return snapshots;
}

int WriteProfiles(Services& services, const std::vector<ProfileSnapshot>& snapshots) {
    if (!services.reports.registered())
        return Fail(L"import",
                    L"the mouse's answers cannot be received (WMINPUT.DLL), so the "
                    L"profiles were not written into the mouse");
    WindowTimers timers;
    ProfileBurner burner(services.channel, services.store, timers, services.waits);
    services.reports.onReport = [&burner](std::span<const std::uint8_t> report) {
        burner.OnDeviceReport(report);
    };
    burner.Start(snapshots);
    const bool finished = services.reports.RunUntil([&] { return burner.done(); }, kBurnTimeout);
    services.reports.onReport = nullptr;
    if (!finished) return Fail(L"import", L"the write into the mouse did not end");
    if (!burner.ok()) return Fail(L"import", L"your settings were imported, but " + burner.error());
    // Acknowledged is not yet held: read the profiles back and compare, where the mouse answers.
    DeviceReportState state;
    const ProfileReadBack check = ReadMouseProfiles(services.channel, services.waits, state);
    if (!check.ok) {
        WriteOut("note: " + ToUtf8(check.error) + " The write could not be checked.\n");
        return kExitOk;
    }
    std::vector<std::pair<int, ProfileRecordTexts>> written;
    for (const ProfileSnapshot& snapshot : snapshots)
        written.emplace_back(snapshot.profile, snapshot.texts);
    if (auto differs = CompareWritten(check.profiles, written); !differs.empty())
        return Fail(L"import",
                    L"your settings were imported, but " + differs + L"; write it again");
    return kExitOk;
}

int Import(Services& services, const CliArgs& args) {
    std::string text;
    std::wstring error;
    if (!ReadWholeFile(args.file, text, error)) return Fail(L"import", error);
    const BundleParse parse = ParseBundle(text);
    if (!parse.ok) return Fail(L"import", parse.error + L" Nothing was changed.");
    if (ConfigurationProgramRuns()) return Fail(L"import", kCloseProgramFirst);
    if (args.write) {
        if (auto problem = CheckBundleForMouse(parse.bundle); !problem.empty())
            return Fail(L"import", problem + L" Nothing was changed.");
        // A mouse that is not there, or whose answers cannot be received, must not leave the
        // settings changed and the mouse not.
        if (!services.reports.registered())
            return Fail(L"import",
                        L"the mouse's answers cannot be received (WMINPUT.DLL); "
                        L"nothing was changed");
        const StatusRead status = ReadStatus(services.channel, services.waits);
        if (!status.ok)
            return Fail(L"import",
                        L"the mouse is not attached (" + status.error + L"); nothing was changed");
    }
    const StoreChange change = ApplyBundle(services.store, parse.bundle);
    if (!change.ok) return Fail(L"import", change.error);
    if (args.write) {
        if (const int code = WriteProfiles(services, StoredSnapshots(services.store)); code != 0)
            return code;
        WriteOut("imported " + ToUtf8(args.file) + " and wrote the five profiles into the mouse\n");
    } else {
        WriteOut("imported " + ToUtf8(args.file) + " into your settings\n");
    }
    return kExitOk;
}

int ReadBack(Services& services, const CliArgs& args) {
    if (args.intoStore && ConfigurationProgramRuns()) return Fail(L"read-back", kCloseProgramFirst);
    DeviceReportState state;
    const ProfileReadBack read = ReadMouseProfiles(services.channel, services.waits, state);
    if (!read.ok) return Fail(L"read-back", read.error);
    WriteOut(ReadBackText(read.profiles, args.json));
    if (args.intoStore) {
        const StoreChange change = RecordReadBack(services.store, read.profiles);
        if (!change.ok) return Fail(L"read-back", change.error);
        if (!args.json) WriteOut("recorded in your settings\n");
    }
    return kExitOk;
}

int Live(Services& services, const CliArgs& args) {
    LiveServices live = services.Live();
    CommandResult result;
    std::wstring what;
    switch (args.command) {
        case CliCommand::Profile:
            what = L"profile";
            result = SwitchProfile(live, args.number);
            break;
        case CliCommand::Dpi:
            what = L"dpi";
            result = SetDpi(live, args.number, args.dpi, args.save);
            break;
        case CliCommand::Polling:
            what = L"polling";
            result = SetPolling(live, args.number, args.save);
            break;
        default:
            what = L"light";
            result =
                SetLight(live, args.wheel ? LightName::Wheel : LightName::Logo, args.on, args.save);
            break;
    }
    if (!result.ok()) return Fail(what, result.error);
    WriteOut(ToUtf8(result.done) + "\n");
    return kExitOk;
}

int Run(const CliArgs& args) {
    if (args.command == CliCommand::Help) {
        WriteOut(ToUtf8(CliHelp()));
        return kExitOk;
    }
    if (args.command == CliCommand::Auto) {
        RegistrySettingsStore store;
        const AutoOutcome outcome = RunAutoCommand(store, args);
        if (!outcome.ok()) return Fail(L"auto", outcome.error);
        WriteOut(outcome.out);
        return kExitOk;
    }
    if (args.command == CliCommand::Watch) return RunWatch(args);
    Services services;
    switch (args.command) {
        case CliCommand::Status:
            return Status(services, args.json);
        case CliCommand::Export:
            return Export(services, args.file);
        case CliCommand::Import:
            return Import(services, args);
        case CliCommand::ReadBack:
            return ReadBack(services, args);
        default:
            return Live(services, args);
    }
}

}  // namespace

}  // namespace cli

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    const cli::CliParse parse = cli::ParseCliArgs(arguments);
    if (!parse.ok) {
        cli::WriteError(cli::ErrorLine(L"arguments", parse.error + L" (see tavrine --help)"));
        return cli::kExitUsage;
    }
    try {
        return cli::Run(parse.args);
    } catch (const std::exception& e) {
        return cli::Fail(L"tavrine", cli::FromUtf8(e.what()));
    }
}
