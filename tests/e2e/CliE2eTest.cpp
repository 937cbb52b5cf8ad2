// tavrine.exe's journeys under Wine with the virtual mouse: a bundle carried through the mouse
// and back byte for byte, the mouse's profiles read back into a fresh store and shown by the
// configuration program, live commands checked against the mouse's own registers, and damaged
// bundles refused without a trace in the store or the mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/e2e/E2eLayout.h"
#include "tests/e2e/E2eSupport.h"

namespace {

using namespace std::chrono_literals;

using Outcome = e2e::ToolOutcome;
using e2e::RunTool;

std::string ReadText(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::wstring& path, const std::string& text) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out << text;
}

std::wstring Temp(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

Outcome Tavrine(const std::wstring& arguments) { return RunTool(L"tavrine.exe", arguments); }

// Every key and value below the user's settings, with its type and bytes.
using RegistryDump = std::map<std::wstring, std::map<std::wstring, std::pair<DWORD, std::string>>>;
void DumpKey(HKEY root, const std::wstring& path, RegistryDump& dump) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    auto& values = dump[path];
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLength = 512, type = 0, size = 0;
        BYTE data[4096];
        size = sizeof data;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        values[name] = {type, std::string(reinterpret_cast<char*>(data), size)};
    }
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLength = 512;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name);
    }
    RegCloseKey(key);
    for (const auto& sub : subkeys) DumpKey(root, path + L"\\" + sub, dump);
}
RegistryDump UserSettings() {
    RegistryDump dump;
    DumpKey(HKEY_CURRENT_USER, L"SOFTWARE\\Tavrine5502", dump);
    return dump;
}

// A record's hex text: the lead bytes, zeros, the repeat mode and count.
std::string Record(std::initializer_list<int> lead, int mode = 0xA0, int count = 0) {
    std::vector<int> bytes(82, 0);
    std::copy(lead.begin(), lead.end(), bytes.begin());
    bytes[80] = mode;
    bytes[81] = count;
    std::string text;
    char number[4];
    for (int b : bytes) {
        std::snprintf(number, sizeof number, "%02x", b);
        text += (text.empty() ? "" : " ") + std::string(number);
    }
    return text;
}

std::string Button(const std::string& keys, const std::string& description, int kind,
                   const std::string& extra = "") {
    return "{\"keys\": \"" + keys + "\", \"description\": \"" + description +
           "\", \"kind\": " + std::to_string(kind) + extra + "}";
}

// Defaults everywhere but: profile 1's first side button "Forward", profile 2's second side
// button the macro "Grüße" (A pressed and released, repeated while held), profile 3's middle
// button a launch program; performance values and lights.
std::string SeedBundle() {
    const char* kDefaults[5][2] = {{"c0", "Left button"},
                                   {"c1", "Right button"},
                                   {"c2", "Middle button"},
                                   {"00", ""},
                                   {"00", ""}};
    std::string profiles;
    for (int p = 0; p < 5; ++p) {
        std::string buttons;
        for (int b = 0; b < 5; ++b) {
            std::string button =
                Button(Record({std::stoi(kDefaults[b][0], nullptr, 16), 0x40}), kDefaults[b][1], 3);
            if (p == 0 && b == 3) button = Button(Record({0x9d, 0, 0x9d, 0xc0}), "Forward", 2);
            if (p == 1 && b == 4)
                button = Button(Record({0x04, 0x02, 0x04, 0xc0}, 0xA1, 1), "Gr\u00fc\u00dfe", 1,
                                ", \"macro\": \"Gr\u00fc\u00dfe\"");
            if (p == 2 && b == 2)
                button = Button(Record({0xac, 0x40}), "notepad.exe", 4,
                                ", \"launchPath\": \"C:\\\\windows\\\\notepad.exe\"");
            buttons += (b ? ", " : "") + button;
        }
        profiles += (p ? ", " : "") + std::string("{\"buttons\": [") + buttons + "]}";
    }
    std::string macroKeys = "4 2 4 c0 ";
    for (int i = 4; i < 82; ++i) macroKeys += "0 ";
    return "{\"format\": \"tavrine-profile-bundle\", \"version\": 1, \"profiles\": [" + profiles +
           "], \"macros\": [{\"name\": \"Gr\u00fc\u00dfe\", \"keys\": \"" + macroKeys +
           "\", \"repeatState\": \"a1\", \"repeatTimes\": \"1\"}], \"performance\": "
           "{\"DoubleClickSpeed\": 400, \"CursorSpeed\": 12, \"ScrollSpeed\": 3, "
           "\"OneScreenPage\": 0, \"LevelNumber\": 2, \"DpiLevel1\": 5, \"DpiLevel2\": 9, "
           "\"DpiLevel3\": 16, \"DpiLevel4\": 30, \"PollingRate\": 1}, \"lights\": {\"wheel\": 0, "
           "\"logo\": 1}}";
}

std::vector<std::uint8_t> ProfileArea(const std::vector<std::uint8_t>& eeprom) {
    if (eeprom.size() < 0x812) return {};
    return {eeprom.begin() + 0x10, eeprom.begin() + 0x812};
}

std::vector<std::uint8_t> At(const std::vector<std::uint8_t>& eeprom, std::size_t address,
                             std::size_t count) {
    if (eeprom.size() < address + count) return {};
    return {eeprom.begin() + static_cast<std::ptrdiff_t>(address),
            eeprom.begin() + static_cast<std::ptrdiff_t>(address + count)};
}

int ProfileAreaWrites(const std::vector<e2e::TraceReport>& trace) {
    int n = 0;
    for (const auto& write : e2e::WritesIn(trace)) {
        const int address = write[1] | (write[2] << 8);
        n += address >= 0x10 && address <= 0x811;
    }
    return n;
}

std::string VmouseStatus() { return RunTool(L"vmouse.exe", L"status").out; }

class CliE2e : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The first plug into a new prefix installs the driver.
        EXPECT_EQ(e2e::Vmouse(L"plug"), 0);
    }
    static void TearDownTestSuite() { EXPECT_EQ(e2e::Vmouse(L"unplug"), 0); }

    void SetUp() override {
        if (!e2e::VirtualMouseBuilt())
            GTEST_SKIP() << "the virtual mouse is not part of this build";
        ASSERT_EQ(e2e::FactoryMouse(), "");
        e2e::DeleteUserSettings();
        seed = Temp(L"tavrine-seed.json");
        WriteText(seed, SeedBundle());
    }

    // Imports the starting bundle and writes it into the mouse.
    void SetUpMouse() {
        e2e::ClearTrace();
        const Outcome imported = Tavrine(L"import \"" + seed + L"\" --write");
        ASSERT_EQ(imported.code, 0u) << imported.err;
        EXPECT_EQ(imported.err, "");
        e2e::Settle();
        // 35 chunks a profile, each acknowledged at the first try.
        EXPECT_EQ(ProfileAreaWrites(e2e::ReadTrace()), 5 * 35);
        const auto eeprom = e2e::DumpEeprom();
        EXPECT_EQ(At(eeprom, 0x10 + 246, 4), (std::vector<std::uint8_t>{0x9d, 0, 0x9d, 0xc0}));
        EXPECT_EQ(At(eeprom, 0x10 + 410 + 328, 4), (std::vector<std::uint8_t>{4, 2, 4, 0xc0}));
        EXPECT_EQ(At(eeprom, 0x10 + 410 + 328 + 80, 2), (std::vector<std::uint8_t>{0xa1, 1}));
        EXPECT_EQ(At(eeprom, 0x10 + 820 + 164, 2), (std::vector<std::uint8_t>{0xac, 0x40}));
    }

    std::wstring seed;
};

TEST_F(CliE2e, ExportResetImportWriteGivesTheSameMouseAndStoreByteForByte) {
    SetUpMouse();
    const auto originalEeprom = e2e::DumpEeprom();
    const RegistryDump originalStore = UserSettings();
    ASSERT_FALSE(originalStore.empty());

    const std::wstring bundle = Temp(L"tavrine-export.json");
    const Outcome exported = Tavrine(L"export \"" + bundle + L"\"");
    ASSERT_EQ(exported.code, 0u) << exported.err;
    const std::string file = ReadText(bundle);
    EXPECT_NE(file.find("\"version\": 1"), std::string::npos);
    EXPECT_NE(file.find("\"launchPath\": \"C:\\\\windows\\\\notepad.exe\""), std::string::npos);
    EXPECT_NE(file.find("Gr\u00fc\u00dfe"), std::string::npos);

    e2e::DeleteUserSettings();
    ASSERT_EQ(e2e::Vmouse(L"reset"), 0);
    ASSERT_NE(ProfileArea(e2e::DumpEeprom()), ProfileArea(originalEeprom));

    const Outcome imported = Tavrine(L"import \"" + bundle + L"\" --write");
    ASSERT_EQ(imported.code, 0u) << imported.err;
    e2e::Settle();
    EXPECT_EQ(ProfileArea(e2e::DumpEeprom()), ProfileArea(originalEeprom));
    EXPECT_EQ(UserSettings(), originalStore);
    DeleteFileW(bundle.c_str());
}

TEST_F(CliE2e, DamagedBundlesAndUnansweredReadsAreRefusedAndChangeNothing) {
    SetUpMouse();
    const auto eeprom = e2e::DumpEeprom();
    const RegistryDump store = UserSettings();
    const std::string good = SeedBundle();
    const std::string record = Record({0xc0, 0x40});
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::vector<std::pair<std::string, std::string>> bad = {
        {good.substr(0, good.size() - 40), "not complete JSON"},
        {replaced("\"version\": 1", "\"version\": 2"), "version 2"},
        {replaced(record, record.substr(0, record.size() - 3)), "81 numbers instead of 82"},
        {replaced("\"macro\": \"Gr\u00fc\u00dfe\"", "\"macro\": \"gone\""), "does not hold"},
    };
    e2e::ClearTrace();
    int n = 0;
    for (const auto& [text, reason] : bad) {
        const std::wstring file = Temp((L"tavrine-bad-" + std::to_wstring(++n) + L".json").c_str());
        WriteText(file, text);
        const Outcome outcome = Tavrine(L"import \"" + file + L"\" --write");
        EXPECT_EQ(outcome.code, 1u) << reason;
        EXPECT_EQ(outcome.err.rfind("tavrine: import failed: ", 0), 0u) << outcome.err;
        EXPECT_NE(outcome.err.find(reason), std::string::npos) << outcome.err << " / " << reason;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        DeleteFileW(file.c_str());
    }
    EXPECT_EQ(e2e::WritesIn(e2e::ReadTrace()).size(), 0u);
    EXPECT_EQ(UserSettings(), store);
    EXPECT_EQ(e2e::DumpEeprom(), eeprom);

    // A mouse whose answers are noise: said so, and the store keeps what it had.
    ASSERT_EQ(e2e::Vmouse(L"fault garbage on"), 0);
    const Outcome read = Tavrine(L"read-back --into-store");
    EXPECT_EQ(read.code, 1u);
    EXPECT_NE(read.err.find("does not answer reads"), std::string::npos) << read.err;
    EXPECT_EQ(UserSettings(), store);
    ASSERT_EQ(e2e::Vmouse(L"fault clear"), 0);

    ASSERT_EQ(e2e::Vmouse(L"unplug"), 0);
    const Outcome status = Tavrine(L"status");
    EXPECT_EQ(status.code, 1u);
    EXPECT_EQ(status.out.rfind("attached: no", 0), 0u) << status.out;
    EXPECT_EQ(status.err.rfind("tavrine: status failed: ", 0), 0u) << status.err;
}

// Last: under Wine, once the configuration program started here has been ended, the mouse's
// input reports no longer reach a later program's raw-input sink, so nothing that waits for
// acknowledgements may follow it.
TEST_F(CliE2e, ReadBackIntoAFreshStoreIsWhatTheProgramShowsAndLiveCommandsMatchTheMouse) {
    SetUpMouse();
    e2e::DeleteUserSettings();
    const Outcome read = Tavrine(L"read-back --into-store");
    ASSERT_EQ(read.code, 0u) << read.err;
    EXPECT_NE(read.out.find("side1   command Forward"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("macro, 2 events, repeated while held"), std::string::npos);
    EXPECT_NE(read.out.find("launch program (profile 3, middle button)"), std::string::npos);
    const std::wstring p0 = L"SOFTWARE\\Tavrine5502\\profile0\\";
    EXPECT_EQ(e2e::ReadUserDword(p0 + L"XB1button", L"StateID"), 2u);
    EXPECT_EQ(e2e::ReadUserString(p0 + L"XB1button", L"DES"), L"Forward");
    EXPECT_EQ(e2e::ReadUserDword(L"SOFTWARE\\Tavrine5502\\profile1\\XB2button", L"StateID"), 1u);
    EXPECT_EQ(e2e::ReadUserDword(L"SOFTWARE\\Tavrine5502\\profile2\\Mbutton", L"StateID"), 4u);
    EXPECT_EQ(e2e::ReadUserDword(L"SOFTWARE\\Tavrine5502\\Performance", L"DpiLevel4"), 35u);

    // The configuration program shows the first side button's assignment from the store.
    e2e::WriteInstallKey(e2e::BinFolder());
    {
        e2e::Program program;
        ASSERT_EQ(e2e::StartAttached(program), "");
        EXPECT_TRUE(e2e::Program::Click(program.Main(), e2e::layout::kSide1Area.x,
                                        e2e::layout::kSide1Area.y));
        // Wine copies a painted window to the screen on its own clock; a forced repaint does
        // not hurry it (tried), and nothing tells when it is done.
        e2e::Settle(500ms);
        e2e::SaveScreenshot(L"cli-read-back-shown");
        // While it runs, its own copy would undo an import: refused, nothing changed.
        const RegistryDump before = UserSettings();
        const Outcome refused = Tavrine(L"import \"" + seed + L"\"");
        EXPECT_EQ(refused.code, 1u);
        EXPECT_NE(refused.err.find("close it first"), std::string::npos) << refused.err;
        EXPECT_EQ(UserSettings(), before);
        program.Kill();
    }
    // The program's attach leaves the store's assignments as the mouse holds them.
    EXPECT_EQ(e2e::ReadUserString(p0 + L"XB1button", L"DES"), L"Forward");

    // Live commands, each checked against the mouse's own registers.
    ASSERT_EQ(Tavrine(L"dpi 2 1600").code, 0u);
    EXPECT_NE(VmouseStatus().find("DPI level 2, DPI steps 4 16 12 35"), std::string::npos)
        << VmouseStatus();
    ASSERT_EQ(Tavrine(L"polling 500 --save").code, 0u);
    ASSERT_EQ(Tavrine(L"profile 3").code, 0u);
    ASSERT_EQ(Tavrine(L"light wheel off --save").code, 0u);
    const std::string mouse = VmouseStatus();
    EXPECT_NE(mouse.find("profile 3,"), std::string::npos) << mouse;
    EXPECT_NE(mouse.find("polling 500 Hz, wheel off"), std::string::npos) << mouse;
    const Outcome status = Tavrine(L"status --json");
    ASSERT_EQ(status.code, 0u) << status.err;
    EXPECT_NE(status.out.find("\"profile\": 3"), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("\"pollingHz\": 500"), std::string::npos);
    EXPECT_NE(status.out.find("\"wheel\": false"), std::string::npos);
    const auto eeprom = e2e::DumpEeprom();
    EXPECT_EQ(At(eeprom, 5, 2), (std::vector<std::uint8_t>{0x60, 1}));
    EXPECT_EQ(e2e::ReadUserDword(L"SOFTWARE\\Tavrine5502\\Performance", L"PollingRate"), 1u);
    EXPECT_EQ(e2e::ReadUserDword(L"SOFTWARE\\Tavrine5502\\LIGHT", L"WheelLight"), 0u);

    // The display program shows a live change as it does for the mouse's own buttons.
    if (GetFileAttributesW((e2e::BinFolder() + L"\\Vistrel.exe").c_str()) ==
        INVALID_FILE_ATTRIBUTES)
        return;
    e2e::Started display;
    ASSERT_TRUE(e2e::Start(display, L"Vistrel.exe", L""));
    EXPECT_TRUE(e2e::WaitUntil([] { return FindWindowW(L"VISTREL", L"Vistrel") != nullptr; }, 20s));
    ASSERT_EQ(Tavrine(L"dpi 4").code, 0u);
    EXPECT_TRUE(e2e::WaitForDisplayPopup(3s)) << "no popup for the DPI level";
    e2e::SaveScreenshot(L"cli-dpi-popup");
}

}  // namespace
