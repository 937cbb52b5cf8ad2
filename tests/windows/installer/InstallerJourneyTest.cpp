// The installer as a user meets it: the wizard's pages, a silent install into a fresh folder, the
// installed program at work, installing over a running program, an upgrade and the uninstall.
// Judged by the files, the registry, the shortcuts and the screen, never by the installer's word.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr bool k64 = sizeof(void*) == 8;
// The programs read the installation key in their own registry view; so does the installer.
constexpr REGSAM kView = k64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
const std::wstring kInstallKey = L"SOFTWARE\\Tavrine KVR-5502";
const std::wstring kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TavrineGamingMouse";
const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kUserRoot = L"SOFTWARE\\Tavrine5502";
const std::wstring kMarkerKey = kUserRoot + L"\\profile0\\Lbutton";
const std::wstring kJourneyFolder = L"C:\\Tavrine Journey\\Gaming Mouse";
const std::wstring kProduct = L"Tavrine Gaming Mouse";

std::wstring SetupProgram() {
    return fs::weakly_canonical(fs::path(e2e::BinFolder()) / L".." / L"installer" /
                                (k64 ? L"TavrineSetup-x64.exe" : L"TavrineSetup.exe"))
        .wstring();
}
bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
// What is left of a folder that should be gone, for the failure message.
std::string LeftIn(const std::wstring& folder) {
    std::string left;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
        left += " " + entry.path().lexically_relative(folder).string();
        if (left.size() > 400) return left + " ...";
    }
    return left;
}
bool DisplayProgramShipped() { return Exists(e2e::BinFolder() + L"\\Vistrel.exe"); }

struct Started {
    HANDLE process = nullptr;
    DWORD id = 0;
};
Started Launch(std::wstring line) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return {};
    }
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
}
DWORD Finish(Started started, DWORD timeoutMs = 120000) {
    DWORD code = 0xFFFFFFFF;
    if (!started.process) return code;
    if (WaitForSingleObject(started.process, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(started.process, &code);
    } else {
        TerminateProcess(started.process, 99);
    }
    CloseHandle(started.process);
    return code;
}
// NSIS takes /D= unquoted and last.
DWORD RunSetup(const std::wstring& options, const std::wstring& folder = {}) {
    std::wstring line = L"\"" + SetupProgram() + L"\" " + options;
    if (!folder.empty()) line += L" /D=" + folder;
    return Finish(Launch(line));
}

HKEY OpenMachine(const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | kView, &handle) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return handle;
}
bool MachineKeyExists(const std::wstring& key) {
    HKEY handle = OpenMachine(key);
    if (handle) RegCloseKey(handle);
    return handle != nullptr;
}
std::optional<std::wstring> MachineString(const std::wstring& key, const wchar_t* name) {
    HKEY handle = OpenMachine(key);
    if (!handle) return std::nullopt;
    wchar_t buffer[2048] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
    const LONG status =
        RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::wstring(buffer);
}
std::optional<DWORD> MachineDword(const std::wstring& key, const wchar_t* name) {
    HKEY handle = OpenMachine(key);
    if (!handle) return std::nullopt;
    DWORD value = 0, size = sizeof value, type = 0;
    const LONG status =
        RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
    return value;
}
void WriteMarker(const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kMarkerKey.c_str(), L"DES", REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring MenuFolder() {
    wchar_t path[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, path);
    return std::wstring(path) + L"\\" + kProduct;
}
std::wstring LinkTarget(const std::wstring& link) {
    std::wstring target;
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink)))) {
        return target;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
            target = path;
        }
        file->Release();
    }
    shellLink->Release();
    return target;
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
std::wstring FileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (data.empty() ||
        !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &size)) {
        return L"none";
    }
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(HIWORD(info->dwFileVersionLS));
}

// What the build laid out for a user, relative to the program folder.
std::vector<fs::path> BuiltTree() {
    const fs::path bin = e2e::BinFolder();
    std::vector<fs::path> files = {L"TavrineGamingMouse.exe", L"Portivo.dll", L"WMINPUT.DLL"};
    if (DisplayProgramShipped()) files.emplace_back(L"Vistrel.exe");
    if (Exists(e2e::BinFolder() + L"\\tavrine.exe")) files.emplace_back(L"tavrine.exe");
    for (const auto& entry : fs::directory_iterator(bin)) {
        if (entry.path().extension() == L".png") files.push_back(entry.path().filename());
    }
    for (const wchar_t* folder : {L"skin", L"help", L"lang\\samples"}) {
        for (const auto& entry : fs::recursive_directory_iterator(bin / folder)) {
            if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), bin));
        }
    }
    return files;
}

// Pixels of a screen rectangle, and of a bitmap file, as 0x00RRGGBB.
std::vector<std::uint32_t> Pixels(HDC source, int x, int y, int width, int height) {
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(p, p + width * height);
    for (auto& pixel : pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}
std::vector<std::uint32_t> FilePixels(const std::wstring& file, int width, int height) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!bitmap) return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    auto pixels = Pixels(memory, 0, 0, width, height);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return pixels;
}
std::vector<std::uint32_t> ScreenPixels(HWND window, POINT at, int width, int height) {
    ClientToScreen(window, &at);
    HDC screen = GetDC(nullptr);
    auto pixels = Pixels(screen, at.x, at.y, width, height);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A shown dialog of a process (0: any) whose caption starts with the given text.
HWND DialogOf(DWORD process, const std::wstring& caption = {}) {
    struct Search {
        DWORD process;
        const std::wstring* caption;
        HWND found;
    } search{process, &caption, nullptr};
    struct Visit {
        static BOOL CALLBACK Window(HWND window, LPARAM parameter) {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = {}, text[256] = {};
            GetClassNameW(window, name, 64);
            GetWindowTextW(window, text, 256);
            if ((s->process == 0 || owner == s->process) && IsWindowVisible(window) &&
                std::wstring(name) == L"#32770" && std::wstring(text).starts_with(*s->caption)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        }
    };
    EnumWindows(Visit::Window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return text;
}
std::wstring AllText(HWND parent) {
    std::wstring all;
    struct Visit {
        static BOOL CALLBACK Child(HWND child, LPARAM parameter) {
            *reinterpret_cast<std::wstring*>(parameter) += Text(child) + L"\n";
            return TRUE;
        }
    };
    EnumChildWindows(parent, Visit::Child, reinterpret_cast<LPARAM>(&all));
    return all;
}
HWND ChildWithText(HWND parent, const std::wstring& text) {
    struct Search {
        const std::wstring* text;
        HWND found;
    } search{&text, nullptr};
    struct Visit {
        static BOOL CALLBACK Child(HWND child, LPARAM parameter) {
            auto* s = reinterpret_cast<Search*>(parameter);
            if (IsWindowVisible(child) && Text(child) == *s->text) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        }
    };
    EnumChildWindows(parent, Visit::Child, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
std::wstring ImageOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (process) {
        QueryFullProcessImageNameW(process, 0, path, &size);
        CloseHandle(process);
    }
    return path;
}
void EndProcessOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}
HWND DisplayWindow() { return FindWindowW(L"VISTREL", L"Vistrel"); }
HWND WatchWindow() { return FindWindowW(L"TTavrineAutoProfile", L"Tavrine automatic profiles"); }
bool CommandLineShipped() { return Exists(e2e::BinFolder() + L"\\tavrine.exe"); }

class InstallerJourney : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() {
        // Other tests write the key of the build's folder themselves.
        Uninstall();
        EXPECT_EQ(e2e::Vmouse(L"unplug"), 0);
        CoUninitialize();
    }
    void SetUp() override {
        if (!Exists(SetupProgram())) GTEST_SKIP() << "the installer is not part of this build";
    }
    // A wizard that a failed step left open would keep the test run waiting.
    void TearDown() override {
        for (int i = 0; i < 5; ++i) {
            if (HWND left = DialogOf(0, kProduct)) EndProcessOf(left);
        }
    }

    // Back to a machine without the suite, whatever an earlier run left.
    static void Uninstall(const std::wstring& options = {}) {
        if (auto folder = MachineString(kInstallKey, L"installpath")) {
            const std::wstring uninstaller = *folder + L"\\Uninstall.exe";
            if (Exists(uninstaller)) {
                // "_?=" runs the uninstaller in place, so its end is the end of the uninstall.
                Finish(Launch(L"\"" + uninstaller + L"\" /S " + options + L" _?=" + *folder));
                DeleteFileW(uninstaller.c_str());
                RemoveDirectoryW(folder->c_str());
            }
        }
        // A key without an installation (the build's folder, written by other tests) goes too.
        if (auto folder = MachineString(kInstallKey, L"installpath");
            folder && !Exists(*folder + L"\\Uninstall.exe")) {
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kInstallKey.c_str(), kView, 0);
        }
        std::error_code ignored;
        fs::remove_all(L"C:\\Tavrine Journey", ignored);
    }

    static void ExpectSuiteGone(const std::wstring& folder, const char* when) {
        SCOPED_TRACE(when);
        EXPECT_FALSE(Exists(folder)) << "install folder left behind:" << LeftIn(folder);
        EXPECT_FALSE(MachineKeyExists(kInstallKey));
        EXPECT_FALSE(MachineKeyExists(kUninstallKey));
        EXPECT_FALSE(MachineString(kRunKey, L"Vistrel"));
        EXPECT_FALSE(MachineString(kRunKey, L"TavrineAutoProfile"));
        EXPECT_FALSE(Exists(MenuFolder())) << "Start-menu folder left behind";
        EXPECT_TRUE(e2e::WaitUntil([] { return DisplayWindow() == nullptr; }, 5s));
        EXPECT_TRUE(e2e::WaitUntil([] { return WatchWindow() == nullptr; }, 5s))
            << "the profile switcher still runs";
    }
};

TEST_F(InstallerJourney, TheWizardInstallsIntoProgramFilesInTheChosenLanguageAndStartsTheProgram) {
    Uninstall();
    Started setup = Launch(L"\"" + SetupProgram() + L"\"");
    HWND wizard = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (wizard = DialogOf(setup.id)) != nullptr; }, 20s));
    HWND next = GetDlgItem(wizard, IDOK);
    auto page = [&](const wchar_t* name, const std::wstring& button) {
        e2e::Settle(800ms);
        e2e::SaveScreenshot(std::wstring(L"installer-") + name);
        EXPECT_EQ(Text(next), button) << name;
    };
    auto press = [&](HWND button) { PostMessageW(button, BM_CLICK, 0, 0); };

    page(L"1-welcome", L"&Next >");
    press(next);
    page(L"2-licence", L"I &Agree");
    press(next);
    page(L"3-folder", L"&Next >");
    wchar_t programFiles[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles);
    const std::wstring folder = std::wstring(programFiles) + L"\\" + kProduct;
    EXPECT_TRUE(ChildWithText(wizard, folder)) << "the folder page offers Program Files";
    press(next);
    page(L"4-language", L"&Next >");
    HWND german = ChildWithText(wizard, L"Deutsch (German)");
    ASSERT_TRUE(german);
    press(german);
    press(next);
    page(L"5-components", L"&Install");
    press(next);
    ASSERT_TRUE(
        e2e::WaitUntil([&] { return IsWindowEnabled(next) && Text(next) == L"&Finish"; }, 60s))
        << "install did not end";
    page(L"6-finish", L"&Finish");
    HWND startNow = ChildWithText(wizard, L"Start " + kProduct + L" now");
    ASSERT_TRUE(startNow);
    EXPECT_EQ(SendMessageW(startNow, BM_GETCHECK, 0, 0), BST_CHECKED);
    press(next);
    EXPECT_EQ(Finish(setup), 0u);

    HWND main = nullptr;
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return (main = FindWindowW(L"TTavrineMainForm1", L"Norvex TAVRINE")) != nullptr; },
        20s))
        << "\"start now\" started nothing";
    EXPECT_EQ(ImageOf(main), folder + L"\\TavrineGamingMouse.exe");
    EXPECT_EQ(Bytes(folder + L"\\lang\\UILANG.ini"),
              Bytes(e2e::BinFolder() + L"\\lang\\samples\\UILANG.de.ini"));
    EXPECT_EQ(MachineString(kInstallKey, L"installpath"), folder);
    EndProcessOf(main);

    // The uninstaller's pages, as the Start-menu entry opens them; the settings stay by default.
    // (It runs from a copy of itself, another process.)
    WriteMarker(L"kept by the wizard");
    Started uninstall = Launch(L"\"" + folder + L"\\Uninstall.exe\"");
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return (wizard = DialogOf(0, kProduct + L" Uninstall")) != nullptr; }, 20s));
    next = GetDlgItem(wizard, IDOK);
    page(L"7-uninstall-confirm", L"&Next >");
    press(next);
    page(L"8-uninstall-components", L"&Uninstall");
    press(next);
    ASSERT_TRUE(
        e2e::WaitUntil([&] { return IsWindowEnabled(next) && Text(next) == L"&Close"; }, 60s))
        << "uninstall did not end";
    page(L"9-uninstall-done", L"&Close");
    press(next);
    EXPECT_EQ(Finish(uninstall), 0u);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !Exists(folder); }, 20s)) << "left:" << LeftIn(folder);
    EXPECT_EQ(e2e::ReadUserString(kMarkerKey, L"DES"), L"kept by the wizard");
}

TEST_F(InstallerJourney, ASilentInstallPutsDownTheWholeSuiteAndTheInstalledProgramWorks) {
    Uninstall();
    WriteMarker(L"before the install");
    ASSERT_EQ(RunSetup(L"/S /LANGUAGE=de", kJourneyFolder), 0u);

    // Every file of the build's program tree, byte for byte; no tool or test program with them.
    const fs::path folder = kJourneyFolder;
    std::set<fs::path> expected;
    for (const auto& file : BuiltTree()) {
        expected.insert(file);
        EXPECT_EQ(Bytes(folder / file), Bytes(fs::path(e2e::BinFolder()) / file)) << file;
    }
    EXPECT_GT(expected.size(), 300u);
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const fs::path file = fs::relative(entry.path(), folder);
        const bool own = file == L"Uninstall.exe" || file == L"lang\\UILANG.ini" ||
                         file == L"lang\\samples\\UILANG.en.ini";
        EXPECT_TRUE(own || expected.count(file)) << "not part of the suite: " << file;
    }
    EXPECT_EQ(Bytes(folder / L"lang\\UILANG.ini"),
              Bytes(e2e::BinFolder() + L"\\lang\\samples\\UILANG.de.ini"));
    EXPECT_EQ(Bytes(folder / L"lang\\samples\\UILANG.en.ini"),
              Bytes(e2e::BinFolder() + L"\\lang\\UILANG.ini"));

    // The key names the folder twice, without a trailing backslash.
    EXPECT_EQ(MachineString(kInstallKey, L"installpath"), kJourneyFolder);
    EXPECT_EQ(MachineString(kInstallKey, L"AppPath"), kJourneyFolder);

    // One version everywhere, the one Apps & Features shows.
    const std::wstring version = FileVersion(kJourneyFolder + L"\\TavrineGamingMouse.exe");
    EXPECT_NE(version, L"none");
    EXPECT_EQ(FileVersion(kJourneyFolder + L"\\Portivo.dll"), version);
    EXPECT_EQ(FileVersion(kJourneyFolder + L"\\WMINPUT.DLL"), version);
    EXPECT_EQ(FileVersion(SetupProgram()), version);
    EXPECT_EQ(MachineString(kUninstallKey, L"DisplayVersion"), version);
    EXPECT_EQ(MachineString(kUninstallKey, L"DisplayName"), kProduct);
    EXPECT_EQ(MachineString(kUninstallKey, L"Publisher"), L"Tavrine");
    EXPECT_EQ(MachineString(kUninstallKey, L"DisplayIcon"),
              kJourneyFolder + L"\\TavrineGamingMouse.exe,0");
    EXPECT_EQ(ExtractIconExW((kJourneyFolder + L"\\TavrineGamingMouse.exe").c_str(), -1, nullptr,
                             nullptr, 0),
              1u)
        << "the program's icon";
    EXPECT_EQ(MachineString(kUninstallKey, L"UninstallString"),
              L"\"" + kJourneyFolder + L"\\Uninstall.exe\"");
    EXPECT_EQ(MachineDword(kUninstallKey, L"NoModify"), 1u);
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) bytes += entry.file_size();
    }
    const DWORD sizeKb = MachineDword(kUninstallKey, L"EstimatedSize").value_or(0);
    const double kb = static_cast<double>(bytes) / 1024.0;
    EXPECT_NEAR(sizeKb, kb, kb * 0.1) << "size shown in Apps & Features";

    EXPECT_EQ(LinkTarget(MenuFolder() + L"\\" + kProduct + L".lnk"),
              kJourneyFolder + L"\\TavrineGamingMouse.exe");
    EXPECT_EQ(LinkTarget(MenuFolder() + L"\\User Guide.lnk"),
              kJourneyFolder + L"\\help\\UserInterfaceSetupGuide.html");
    EXPECT_EQ(LinkTarget(MenuFolder() + L"\\Uninstall " + kProduct + L".lnk"),
              kJourneyFolder + L"\\Uninstall.exe");

    if (DisplayProgramShipped()) {
        EXPECT_EQ(MachineString(kRunKey, L"Vistrel"), L"\"" + kJourneyFolder + L"\\Vistrel.exe\"");
        HWND display = nullptr;
        EXPECT_TRUE(e2e::WaitUntil([&] { return (display = DisplayWindow()) != nullptr; }, 10s));
        if (display) {
            EXPECT_EQ(ImageOf(display), kJourneyFolder + L"\\Vistrel.exe");
        }
    } else {
        EXPECT_FALSE(MachineString(kRunKey, L"Vistrel"));
    }
    // "Switch profiles by program" is off unless chosen.
    EXPECT_FALSE(MachineString(kRunKey, L"TavrineAutoProfile"));
    EXPECT_EQ(WatchWindow(), nullptr);

    // The installed program attaches to the mouse and draws its pictures from the installed folder:
    // the close button's hover picture exists only as a file there.
    if (!e2e::MousePresent()) {
        ASSERT_EQ(e2e::Vmouse(L"plug"), 0);
    }
    e2e::ClearTrace();
    e2e::Program program(kJourneyFolder + L"\\TavrineGamingMouse.exe");
    ASSERT_TRUE(program.Start());
    e2e::Settle(2500ms);
    EXPECT_EQ(e2e::ReadRequestsFor(e2e::ReadTrace(), 0x0007), 1) << "the attach reads the lights";
    const std::wstring skin = kJourneyFolder + L"\\skin\\Main\\";
    const auto hover = FilePixels(skin + L"Img_Close1.bmp", 46, 46);
    ASSERT_EQ(hover.size(), 46u * 46u);
    ASSERT_NE(hover, FilePixels(skin + L"Img_Close0.bmp", 46, 46));
    e2e::Program::Move(program.Main(), 899, 23);
    e2e::Settle(500ms);
    EXPECT_EQ(ScreenPixels(program.Main(), {876, 0}, 46, 46), hover);
    e2e::Program::Move(program.Main(), 500, 600);
    e2e::Settle(500ms);
    e2e::SaveScreenshot(L"installed-main-window");
    EXPECT_EQ(e2e::ReadUserString(kMarkerKey, L"DES"), L"before the install");
}

TEST_F(InstallerJourney, ARunningProgramStopsInstallAndUninstallAndAnUpgradeKeepsTheSettings) {
    Uninstall();
    ASSERT_EQ(RunSetup(L"/S", kJourneyFolder), 0u);
    const std::wstring dll = kJourneyFolder + L"\\Portivo.dll";
    DeleteFileW((kJourneyFolder + L"\\help\\UserInterfaceSetupGuide.html").c_str());
    e2e::Program program(kJourneyFolder + L"\\TavrineGamingMouse.exe");
    ASSERT_TRUE(program.Start());

    // Silent: refused with exit code 2 and nothing replaced.
    EXPECT_EQ(RunSetup(L"/S"), 2u);
    EXPECT_FALSE(Exists(kJourneyFolder + L"\\help\\UserInterfaceSetupGuide.html"));
    // The uninstaller refuses the same way and leaves everything.
    const std::wstring uninstaller =
        L"\"" + kJourneyFolder + L"\\Uninstall.exe\" /S _?=" + kJourneyFolder;
    EXPECT_EQ(Finish(Launch(uninstaller)), 2u);
    EXPECT_TRUE(Exists(dll));
    EXPECT_TRUE(MachineKeyExists(kUninstallKey));

    // Interactive: the message says why; Cancel ends the installer.
    Started setup = Launch(L"\"" + SetupProgram() + L"\"");
    HWND box = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (box = DialogOf(setup.id)) != nullptr; }, 20s));
    e2e::Settle(500ms);
    e2e::SaveScreenshot(L"installer-program-running");
    EXPECT_NE(AllText(box).find(kProduct + L" is running"), std::wstring::npos) << AllText(box);
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(Finish(setup), 2u);

    // Closed, the upgrade goes into the same folder, replaces the files and keeps the settings.
    program.Kill();
    WriteMarker(L"before the upgrade");
    ASSERT_EQ(RunSetup(L"/S /LANGUAGE=en"), 0u);
    EXPECT_TRUE(Exists(kJourneyFolder + L"\\help\\UserInterfaceSetupGuide.html"));
    EXPECT_EQ(MachineString(kInstallKey, L"installpath"), kJourneyFolder);
    EXPECT_EQ(Bytes(kJourneyFolder + L"\\lang\\UILANG.ini"),
              Bytes(e2e::BinFolder() + L"\\lang\\UILANG.ini"));
    EXPECT_EQ(e2e::ReadUserString(kMarkerKey, L"DES"), L"before the upgrade");
    if (DisplayProgramShipped()) {
        EXPECT_TRUE(e2e::WaitUntil([] { return DisplayWindow() != nullptr; }, 10s))
            << "started again";
    }
}

TEST_F(InstallerJourney, UninstallLeavesNothingButTheSettingsUnlessAskedToRemoveThemToo) {
    Uninstall();
    // With "Switch profiles by program": its logon entry. A raised installer leaves the start to
    // the logon, so the watcher is started here as the logon would; the uninstall ends it and
    // drops the entry.
    ASSERT_EQ(RunSetup(L"/S /AUTOPROFILE", kJourneyFolder), 0u);
    if (CommandLineShipped()) {
        EXPECT_EQ(MachineString(kRunKey, L"TavrineAutoProfile"),
                  L"\"" + kJourneyFolder + L"\\tavrine.exe\" watch");
        if (!WatchWindow()) {
            Started logon = Launch(L"\"" + kJourneyFolder + L"\\tavrine.exe\" watch");
            if (logon.process) CloseHandle(logon.process);
        }
        HWND watcher = nullptr;
        EXPECT_TRUE(e2e::WaitUntil([&] { return (watcher = WatchWindow()) != nullptr; }, 10s));
        if (watcher) {
            EXPECT_EQ(ImageOf(watcher), kJourneyFolder + L"\\tavrine.exe");
        }
    }
    WriteMarker(L"kept");
    // As Apps & Features runs it: the uninstaller copies itself away and ends at once.
    const auto quiet = MachineString(kUninstallKey, L"QuietUninstallString");
    ASSERT_TRUE(quiet);
    EXPECT_EQ(Finish(Launch(*quiet)), 0u);
    // Its own entry is the last thing it removes.
    EXPECT_TRUE(e2e::WaitUntil([] { return !MachineKeyExists(kUninstallKey); }, 60s));
    ExpectSuiteGone(kJourneyFolder, "first uninstall");
    EXPECT_EQ(e2e::ReadUserString(kMarkerKey, L"DES"), L"kept");

    ASSERT_EQ(RunSetup(L"/S", kJourneyFolder), 0u);
    Uninstall(L"/REMOVESETTINGS");
    ExpectSuiteGone(kJourneyFolder, "uninstall with /REMOVESETTINGS");
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, kUserRoot.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS)
        << "the user's settings were asked to go";
}

}  // namespace
