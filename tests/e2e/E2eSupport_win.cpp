#include "tests/e2e/E2eSupport.h"

#include "tests/e2e/E2eLayout.h"

#include <setupapi.h>

#include <algorithm>
#include <cwctype>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace e2e {
namespace {

std::wstring Quote(const std::wstring& s) { return L"\"" + s + L"\""; }

int Run(const std::wstring& commandLine, DWORD timeoutMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        BinFolder().c_str(), &startup, &process)) {
        std::fprintf(stderr, "could not start %ls: error %lu\n", commandLine.c_str(),
                     GetLastError());
        return -1;
    }
    CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 99);
    }
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::wstring TempFile(const wchar_t* prefix) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wchar_t name[MAX_PATH];
    GetTempFileNameW(folder, prefix, 0, name);
    return name;
}

std::vector<std::uint8_t> ReadAll(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

HKEY OpenUser(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return nullptr;
    }
    return handle;
}

// What a pipe holds now, without waiting (a console host may keep the pipe open after the
// program ended, so reading up to its end could wait for ever).
void DrainAvailable(HANDLE pipe, std::string& text) {
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char buffer[4096];
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &read, nullptr) ||
            read == 0)
            return;
        text.append(buffer, read);
    }
}

}  // namespace

std::wstring BinFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\'));
}

bool VirtualMouseBuilt() {
    return GetFileAttributesW((BinFolder() + L"\\vmouse.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
}

int Vmouse(const std::wstring& arguments, DWORD timeoutMs) {
    return Run(Quote(BinFolder() + L"\\vmouse.exe") + L" " + arguments, timeoutMs);
}

std::vector<std::uint8_t> DumpEeprom() {
    const std::wstring file = TempFile(L"eep");
    if (Vmouse(L"dump " + Quote(file)) != 0) return {};
    auto bytes = ReadAll(file);
    DeleteFileW(file.c_str());
    return bytes;
}

bool MousePresent() {
    // The HID interface class; declared here to keep the HID headers out of the tests.
    static const GUID kHidClass = {
        0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    HDEVINFO set =
        SetupDiGetClassDevsW(&kHidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return false;
    bool write = false, read = false;
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &kHidClass, i, &data); ++i) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr);
        std::vector<BYTE> buffer(size + sizeof(wchar_t));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr)) continue;
        std::wstring path = detail->DevicePath;
        std::transform(path.begin(), path.end(), path.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        if (path.find(L"vid_1d57&pid_5502") == std::wstring::npos) continue;
        write = write || path.find(L"&col01") != std::wstring::npos;
        read = read || path.find(L"&col02") != std::wstring::npos;
    }
    SetupDiDestroyDeviceInfoList(set);
    return write && read;
}

std::vector<TimedReport> ReadTraceTimed() {
    const std::wstring file = TempFile(L"trc");
    std::vector<TimedReport> reports;
    if (Vmouse(L"trace " + Quote(file)) != 0) return reports;
    std::ifstream in{std::filesystem::path(file)};
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string sequence, time, direction, collection, kind;
        words >> sequence >> time >> direction;
        if (direction != "in" && direction != "out") continue;
        words >> collection >> kind;
        TimedReport timed;
        timed.timeMs = std::atof(time.c_str());  // "1234ms"
        TraceReport& report = timed.report;
        report.in = direction == "in";
        const std::size_t slash = collection.find('/');
        if (slash != std::string::npos) {
            report.usage =
                static_cast<std::uint16_t>(std::stoul(collection.substr(slash + 1), nullptr, 16));
        }
        report.kind = kind;
        std::string word;
        while (words >> word) {
            if (word.size() == 2 && std::isxdigit(static_cast<unsigned char>(word[0])) &&
                std::isxdigit(static_cast<unsigned char>(word[1])) && report.note.empty()) {
                report.bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
            } else {
                report.note += (report.note.empty() ? "" : " ") + word;
            }
        }
        reports.push_back(std::move(timed));
    }
    in.close();
    DeleteFileW(file.c_str());
    return reports;
}

std::vector<TraceReport> ReadTrace() {
    std::vector<TraceReport> reports;
    for (auto& timed : ReadTraceTimed()) reports.push_back(std::move(timed.report));
    return reports;
}

void ClearTrace() {
    // A trace not cleared makes every count after it wrong: say so where the counts fail.
    if (Vmouse(L"trace-clear") != 0) std::fprintf(stderr, "the mouse's trace was not cleared\n");
}

std::vector<std::vector<std::uint8_t>> WritesIn(const std::vector<TraceReport>& trace) {
    std::vector<std::vector<std::uint8_t>> writes;
    for (const auto& r : trace) {
        if (r.in && r.kind == "set-feature" && !r.bytes.empty() && r.bytes[0] == 3) {
            writes.push_back(r.bytes);
        }
    }
    return writes;
}

int ReadRequestsFor(const std::vector<TraceReport>& trace, std::uint16_t address) {
    int count = 0;
    for (const auto& r : trace) {
        if (r.in && r.kind == "set-feature" && r.bytes.size() >= 3 && r.bytes[0] == 4 &&
            (r.bytes[1] | (r.bytes[2] << 8)) == address) {
            ++count;
        }
    }
    return count;
}

std::optional<std::wstring> ReadUserString(const std::wstring& key, const std::wstring& name) {
    HKEY handle = OpenUser(key);
    if (!handle) return std::nullopt;
    wchar_t buffer[1024];
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    const LONG status = RegQueryValueExW(handle, name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    buffer[size / sizeof(wchar_t)] = 0;
    return std::wstring(buffer);
}

std::optional<DWORD> ReadUserDword(const std::wstring& key, const std::wstring& name) {
    HKEY handle = OpenUser(key);
    if (!handle) return std::nullopt;
    DWORD value = 0, size = sizeof value, type = 0;
    const LONG status = RegQueryValueExW(handle, name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
    return value;
}

std::wstring TextOf(HWND window) {
    wchar_t text[600] = {};
    SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

HWND ChildAt(HWND parent, const wchar_t* className, int left) {
    for (HWND child = FindWindowExW(parent, nullptr, className, nullptr); child;
         child = FindWindowExW(parent, child, className, nullptr)) {
        POINT origin{0, 0};
        MapWindowPoints(child, parent, &origin, 1);
        if (origin.x == left) return child;
    }
    return nullptr;
}

void DeleteUserSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\Tavrine5502"); }

void WriteInstallKey(const std::wstring& folder) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tavrine KVR-5502", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, L"installpath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    // AppPath names the folder of the display program's pictures, not a program file.
    RegSetValueExW(key, L"AppPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

Started::~Started() {
    if (!info.hProcess) return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 9);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

bool Start(Started& started, const std::wstring& program, const std::wstring& arguments,
           DWORD flags) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = L"\"" + BinFolder() + L"\\" + program + L"\" " + arguments;
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                          BinFolder().c_str(), &startup, &started.info) != 0;
}

bool WaitForDisplayPopup(std::chrono::milliseconds timeout) {
    return WaitUntil(
        [] {
            HWND popup = FindWindowW(L"GDIPPOPWND", nullptr);
            return popup && IsWindowVisible(popup);
        },
        timeout);
}

bool SaveScreenshot(const std::wstring& name) {
    const std::wstring folder = BinFolder() + L"\\..\\test-artifacts";
    CreateDirectoryW(folder.c_str(), nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(height);
    bool ok = false;
    HANDLE out = CreateFileW((folder + L"\\" + name + L".bmp").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
             WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
             WriteFile(out, bits, stride * static_cast<DWORD>(height), &written, nullptr);
        CloseHandle(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

void Settle(std::chrono::milliseconds time) { std::this_thread::sleep_for(time); }

std::string FactoryMouse() {
    if (!MousePresent() && Vmouse(L"plug") != 0) return "the mouse could not be plugged in";
    if (Vmouse(L"reset") != 0) return "the mouse's memory could not be reset";
    if (Vmouse(L"fault clear") != 0) return "the mouse's faults could not be cleared";
    return {};
}

bool GiveMainButtonsDefaults(HWND main) {
    using namespace layout;
    for (POINT area : {kLeftArea, kRightArea, kMiddleArea}) {
        if (!Program::Click(main, area.x, area.y) || !Program::Click(main, kDefault.x, kDefault.y))
            return false;
    }
    return true;
}

std::string StartAttached(Program& program) {
    if (!MousePresent() && Vmouse(L"plug") != 0) return "the mouse could not be plugged in";
    ClearTrace();
    if (!program.Start()) return "the program did not start";
    // The attach's last query; the controls are enabled in the same handler, which the round
    // trip after it waits out.
    if (!WaitUntil([] { return ReadRequestsFor(ReadTrace(), kLightsAddress) >= 1; },
                   std::chrono::seconds(15)))
        return "the attach did not read the lights";
    HWND main = program.Main();
    if (!Program::Sync(main) || !IsWindowEnabled(main))
        return "the main window is not enabled after the attach";
    return {};
}

Program::~Program() { Kill(); }

bool Program::Launch() {
    Kill();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const std::wstring program = path_.empty() ? BinFolder() + L"\\TavrineGamingMouse.exe" : path_;
    const std::wstring folder = program.substr(0, program.rfind(L'\\'));
    std::wstring line = Quote(program);
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &process_) != FALSE;
}

bool Program::Start() {
    if (!Launch()) return false;
    if (!WaitUntil([this] { return Main() != nullptr && IsWindowVisible(Main()); },
                   std::chrono::seconds(20))) {
        return false;
    }
    // The main window shows before the program's other windows are made; its message loop runs
    // once they all exist. Tests time their steps from then (the attach 1.3 s after the mouse was
    // found, the clicks after it), as they did when the window showed last.
    WaitForInputIdle(process_.hProcess, 10000);
    return true;
}

bool Program::Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(std::chrono::milliseconds timeout, DWORD* exitCode) {
    if (!process_.hProcess) return true;
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) !=
        WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode) GetExitCodeProcess(process_.hProcess, exitCode);
    return true;
}

void Program::Kill() {
    if (!process_.hProcess) return;
    if (Running()) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
}

HWND Program::Window(const wchar_t* className, const wchar_t* caption) const {
    HWND found = FindWindowW(className, caption);
    if (!found) return nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(found, &pid);
    return pid == process_.dwProcessId ? found : nullptr;
}

bool Program::Visible(const wchar_t* className) const {
    HWND window = Window(className);
    return window && IsWindowVisible(window);
}

HWND Program::OpenDialog(HWND from, POINT button, const wchar_t* className) const {
    if (!Click(from, button.x, button.y)) return nullptr;
    HWND dialog = nullptr;
    const bool shown = WaitUntil(
        [&] {
            dialog = Window(className);
            return dialog && IsWindowVisible(dialog);
        },
        std::chrono::seconds(5));
    return shown && Sync(dialog) ? dialog : nullptr;
}

bool Program::Sync(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
}

bool Program::Move(HWND window, int x, int y) {
    SendNotifyMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    return Sync(window);
}

bool Program::Press(HWND window, int x, int y) {
    // Sent messages are handled in the order sent, so one round trip covers both.
    SendNotifyMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendNotifyMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    return Sync(window);
}

bool Program::Click(HWND window, int x, int y) {
    SendNotifyMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendNotifyMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendNotifyMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    return Sync(window);
}

void Program::PostClick(HWND window, int x, int y) {
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Program::KeyPress(HWND window, UINT virtualKey) {
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(window, WM_KEYUP, virtualKey, 0xC0000001);
    Settle(std::chrono::milliseconds(150));
}

// A program of the build, its output taken through pipes.
ToolOutcome RunTool(const std::wstring& program, const std::wstring& arguments) {
    ToolOutcome outcome;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) ||
        !CreatePipe(&errRead, &errWrite, &inherit, 0))
        return outcome;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = outWrite;
    start.hStdError = errWrite;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring line = L"\"" + e2e::BinFolder() + L"\\" + program + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    const bool started =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       e2e::BinFolder().c_str(), &start, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        // Read while it runs, so that it never waits on a full pipe.
        const ULONGLONG end = GetTickCount64() + 300000;
        while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT &&
               GetTickCount64() < end) {
            DrainAvailable(outRead, outcome.out);
            DrainAvailable(errRead, outcome.err);
        }
        DrainAvailable(outRead, outcome.out);
        DrainAvailable(errRead, outcome.err);
        GetExitCodeProcess(process.hProcess, &outcome.code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return outcome;
}

}  // namespace e2e
