// The single-key dialog and its pop-up list, driven through real window messages, from the main
// window's click to the bytes in the virtual mouse and the values in the registry.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "tests/e2e/E2eLayout.h"
#include "tests/e2e/E2eSupport.h"
#include "device/SingleCommands.h"

namespace {

using namespace e2e::layout;

using namespace std::chrono_literals;
using e2e::ChildAt;
using e2e::Program;
using e2e::TextOf;

constexpr std::array<const wchar_t*, 5> kButtonKeys = {L"Lbutton", L"Rbutton", L"Mbutton",
                                                       L"XB1button", L"XB2button"};
// The names the list shows come from the program's table; the records below are the oracle,
// written out on their own, one per entry of that table.
const std::vector<std::wstring> kBuiltinNames = [] {
    std::vector<std::wstring> names;
    for (const device::SingleCommand& c : device::kSingleCommands) names.emplace_back(c.name);
    return names;
}();

std::wstring ButtonKey(int button) {
    return std::wstring(L"SOFTWARE\\Tavrine5502\\profile0\\") +
           kButtonKeys[static_cast<std::size_t>(button)];
}

// The fixed records as the mouse must hold them, written out here on their own.
std::vector<std::uint8_t> Record(std::initializer_list<std::uint8_t> lead) {
    std::vector<std::uint8_t> record(82, 0);
    std::copy(lead.begin(), lead.end(), record.begin());
    record[80] = 0xA0;
    return record;
}
const std::vector<std::uint8_t> kRecords[] = {
    Record({0xC0, 0x40}),
    Record({0xC1, 0x40}),
    Record({0x00, 0x40}),
    Record({0x99, 0x00, 0x99, 0xC0}),
    Record({0x99, 0x00, 0x99, 0x80, 0x99, 0x00, 0x99, 0xC0}),
    Record({0x9C, 0x00, 0x9C, 0xC0}),
    Record({0x9D, 0x00, 0x9D, 0xC0}),
    Record({0x97, 0x00, 0x97, 0xC0}),
    Record({0x98, 0x00, 0x98, 0xC0}),
};
static_assert(std::size(kRecords) == device::kSingleCommandCount, "one record per fixed command");

// The same record as the registry's "keys" text.
std::wstring RecordText(const std::vector<std::uint8_t>& record) {
    std::wstring text;
    for (std::uint8_t b : record) {
        wchar_t token[4];
        swprintf(token, 4, L"%02x", b);
        if (!text.empty()) text += L' ';
        text += token;
    }
    return text;
}

// Profile 0 of the mouse starts at 0x10; a button's record follows 82 bytes after the last.
std::vector<std::uint8_t> RecordInMouse(const std::vector<std::uint8_t>& eeprom, int button) {
    const std::size_t at = 0x10 + 82 * static_cast<std::size_t>(button);
    if (eeprom.size() < at + 82) return {};
    return {eeprom.begin() + static_cast<std::ptrdiff_t>(at),
            eeprom.begin() + static_cast<std::ptrdiff_t>(at + 82)};
}

void SendButton(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
    e2e::Settle(std::chrono::milliseconds(100));
}

void PointerTo(int screenX, int screenY) {
    SetCursorPos(screenX, screenY);
    SendButton(MOUSEEVENTF_MOVE);  // a move message at the new place
}

class SingleKeyE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::VirtualMouseBuilt())
            GTEST_SKIP() << "the virtual mouse is not part of this build";
        e2e::WriteInstallKey(e2e::BinFolder());
        e2e::DeleteUserSettings();
    }
    void TearDown() override {
        program.Kill();
        e2e::WriteInstallKey(e2e::BinFolder());
        std::error_code ignored;
        if (!installFolder.empty()) std::filesystem::remove_all(installFolder, ignored);
    }

    // The program with the mouse attached and its left, right and middle buttons at their
    // defaults (a first run has empty records, and a profile without a left button is refused).
    void StartWithDefaults() {
        ASSERT_EQ(e2e::FactoryMouse(), "");
        ASSERT_EQ(e2e::StartAttached(program), "");
        main = program.Main();
        ASSERT_TRUE(e2e::GiveMainButtonsDefaults(main));
        sKey = program.Window(L"TSKey");
        pForm = program.Window(L"TPForm");
        ASSERT_NE(sKey, nullptr);
        ASSERT_NE(pForm, nullptr);
        panel = FindWindowExW(sKey, nullptr, L"TPanel", nullptr);
        ASSERT_NE(panel, nullptr);
        field = FindWindowExW(panel, nullptr, L"Edit", nullptr);
        list = ChildAt(pForm, L"ListBox", 0);
        ASSERT_NE(field, nullptr);
        ASSERT_NE(list, nullptr);
    }

    // An installation folder of its own, for the next start: language file and skin pictures.
    const std::filesystem::path& InstallFolder() {
        if (installFolder.empty()) {
            installFolder = std::filesystem::temp_directory_path() /
                            (L"tavrine-sk-" + std::to_wstring(GetTickCount()));
            std::filesystem::create_directories(installFolder / L"lang");
            std::filesystem::create_directories(installFolder / L"skin" / L"Tkey");
            e2e::WriteInstallKey(installFolder.wstring());
        }
        return installFolder;
    }
    void UseLanguageFile(const std::string& lines) {
        std::ofstream out(InstallFolder() / L"lang" / L"UILANG.ini", std::ios::binary);
        out << "[LNG]\r\n" << lines;
    }
    // A one-colour 24-bit picture in the dialogs' skin folder.
    void UseSkinPicture(const std::wstring& file, int width, int height, COLORREF colour) {
        const int stride = (width * 3 + 3) & ~3;
        BITMAPFILEHEADER head{};
        BITMAPINFOHEADER info{};
        head.bfType = 0x4D42;
        head.bfOffBits = sizeof head + sizeof info;
        head.bfSize = head.bfOffBits + static_cast<DWORD>(stride * height);
        info.biSize = sizeof info;
        info.biWidth = width;
        info.biHeight = height;
        info.biPlanes = 1;
        info.biBitCount = 24;
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (int x = 0; x < width; ++x) {
            row[static_cast<std::size_t>(3 * x)] = static_cast<char>(GetBValue(colour));
            row[static_cast<std::size_t>(3 * x + 1)] = static_cast<char>(GetGValue(colour));
            row[static_cast<std::size_t>(3 * x + 2)] = static_cast<char>(GetRValue(colour));
        }
        std::ofstream out(InstallFolder() / L"skin" / L"Tkey" / file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&head), sizeof head);
        out.write(reinterpret_cast<const char*>(&info), sizeof info);
        for (int y = 0; y < height; ++y) out << row;
    }

    void Click(POINT at) { Program::Click(main, at.x, at.y); }
    void ClickDialog(POINT at) { Program::Click(sKey, at.x, at.y); }

    void OpenDialogFor(POINT area) {
        Click(area);
        Click(kSingle);
        ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(sKey) != FALSE; }, 5s));
    }
    void ToggleList() { Program::Click(panel, kSKeyArrow.x, kSKeyArrow.y); }
    int ItemCount() const { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }
    std::vector<std::wstring> Items() const {
        std::vector<std::wstring> items;
        for (int i = 0, n = ItemCount(); i < n; ++i) {
            wchar_t text[600] = {};
            if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < static_cast<LRESULT>(std::size(text)))
                SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }
    // Opens the list and clicks item `index`, as a user picks it.
    void Pick(int index) {
        ToggleList();
        ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(pForm) != FALSE; }, 5s));
        const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        Program::Click(list, 30, height * index + height / 2);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(pForm); }, 5s))
            << "a pick closes the list";
    }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) PostMessageW(field, WM_CHAR, c, 1);
        ASSERT_TRUE(e2e::WaitUntil([&] { return TextOf(field) == text; }, 5s));
    }
    void PressOk() {
        ClickDialog(kSKeyOk);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(sKey); }, 5s));
    }
    void Assign(POINT area, int index) {
        ASSERT_NO_FATAL_FAILURE(OpenDialogFor(area));
        ASSERT_NO_FATAL_FAILURE(Pick(index));
        PressOk();
    }
    void AssignTyped(POINT area, const std::wstring& text) {
        ASSERT_NO_FATAL_FAILURE(OpenDialogFor(area));
        ASSERT_NO_FATAL_FAILURE(Type(text));
        PressOk();
    }

    // Apply, and wait until the whole profile went out, acknowledged chunk by chunk.
    void ApplyAndWait() {
        e2e::ClearTrace();
        Click(kApply);
        ASSERT_TRUE(
            e2e::WaitUntil([] { return e2e::WritesIn(e2e::ReadTrace()).size() >= 35; }, 20s));
        ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 10s));
        e2e::Settle(500ms);
        ASSERT_EQ(e2e::WritesIn(e2e::ReadTrace()).size(), 35u);
    }

    void ExpectStored(int button, const std::wstring& description, int record) {
        EXPECT_EQ(e2e::ReadUserString(ButtonKey(button), L"DES"), description) << button;
        EXPECT_EQ(e2e::ReadUserDword(ButtonKey(button), L"StateID"), 2u) << button;
        EXPECT_EQ(e2e::ReadUserString(ButtonKey(button), L"keys"),
                  RecordText(kRecords[static_cast<std::size_t>(record)]))
            << button;
    }

    Program program;
    HWND main = nullptr, sKey = nullptr, pForm = nullptr, panel = nullptr, field = nullptr,
         list = nullptr;
    std::filesystem::path installFolder;
};

TEST_F(SingleKeyE2e, BackwardOnTheRightButtonReachesTheMouse) {
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    OpenDialogFor(kRightArea);
    EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits while the dialog is up";
    EXPECT_EQ(TextOf(field), L"");

    ToggleList();
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(pForm) != FALSE; }, 5s));
    // Dropped down just under the command field, as wide as its frame.
    POINT origin{0, 0};
    ClientToScreen(panel, &origin);
    RECT popup{}, items{};
    GetWindowRect(pForm, &popup);
    GetWindowRect(list, &items);
    EXPECT_EQ(popup.left, origin.x);
    EXPECT_EQ(popup.top, origin.y + 22);
    EXPECT_EQ(items.right - items.left, 137);
    EXPECT_EQ(Items(), kBuiltinNames);
    e2e::SaveScreenshot(L"single-key-list-open");
    ToggleList();
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(pForm); }, 5s)) << "arrow closes";

    Pick(5);
    EXPECT_EQ(TextOf(field), L"Backward");
    e2e::SaveScreenshot(L"single-key-backward-picked");
    PressOk();
    EXPECT_TRUE(IsWindowEnabled(main));
    ApplyAndWait();

    const auto eeprom = e2e::DumpEeprom();
    const auto right = RecordInMouse(eeprom, 1);
    ASSERT_EQ(right.size(), 82u);
    EXPECT_EQ(std::vector<std::uint8_t>(right.begin(), right.begin() + 4),
              (std::vector<std::uint8_t>{0x9C, 0x00, 0x9C, 0xC0}));
    EXPECT_EQ(right, kRecords[5]);
    EXPECT_EQ(RecordInMouse(eeprom, 0), kRecords[0]) << "the left button is untouched";
    ExpectStored(1, L"Backward", 5);
}

TEST_F(SingleKeyE2e, EveryListEntryGivesItsRecordByteForByte) {
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    // Entries 0..4 onto buttons 0..4: the left button keeps a left-button function.
    const std::array<POINT, 5> areas = {kLeftArea, kRightArea, kMiddleArea, kSide1Area, kSide2Area};
    for (int i = 0; i < 5; ++i) Assign(areas[static_cast<std::size_t>(i)], i);
    ApplyAndWait();
    auto eeprom = e2e::DumpEeprom();
    for (int b = 0; b < 5; ++b) {
        EXPECT_EQ(RecordInMouse(eeprom, b), kRecords[static_cast<std::size_t>(b)]) << "entry " << b;
        ExpectStored(b, kBuiltinNames[static_cast<std::size_t>(b)], b);
    }

    // Entries 5..8 onto buttons 1..4.
    for (int i = 5; i < 9; ++i) Assign(areas[static_cast<std::size_t>(i - 4)], i);
    ApplyAndWait();
    eeprom = e2e::DumpEeprom();
    for (int b = 1; b < 5; ++b) {
        EXPECT_EQ(RecordInMouse(eeprom, b), kRecords[static_cast<std::size_t>(b + 4)])
            << "entry " << b + 4;
        ExpectStored(b, kBuiltinNames[static_cast<std::size_t>(b + 4)], b + 4);
    }
}

TEST_F(SingleKeyE2e, OnlyAnExactNameChangesTheRecordButOkAlwaysMakesItASingleKey) {
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    AssignTyped(kRightArea, L"click");  // case counts
    AssignTyped(kMiddleArea, L"Click");
    // OK with nothing picked, after a pick that was cancelled: the field is emptied each time
    // the dialog comes up.
    OpenDialogFor(kLeftArea);
    Pick(1);
    ClickDialog(kSKeyCancel);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(sKey); }, 5s));
    OpenDialogFor(kLeftArea);
    EXPECT_EQ(TextOf(field), L"");
    PressOk();
    ApplyAndWait();

    const auto eeprom = e2e::DumpEeprom();
    EXPECT_EQ(RecordInMouse(eeprom, 1), kRecords[1]) << "\"click\" is no name: record kept";
    EXPECT_EQ(e2e::ReadUserString(ButtonKey(1), L"DES"), L"Right button");
    EXPECT_EQ(e2e::ReadUserDword(ButtonKey(1), L"StateID"), 2u);
    EXPECT_EQ(RecordInMouse(eeprom, 2), kRecords[3]) << "typed exactly, it matches";
    ExpectStored(2, L"Click", 3);
    EXPECT_EQ(RecordInMouse(eeprom, 0), kRecords[0]) << "an empty OK keeps the record";
    EXPECT_EQ(e2e::ReadUserString(ButtonKey(0), L"DES"), L"Left button");
    EXPECT_EQ(e2e::ReadUserDword(ButtonKey(0), L"StateID"), 2u) << "but it is a single key now";
}

TEST_F(SingleKeyE2e, CancelAndDraggingChangeNothingAndDraggingClosesTheList) {
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    ASSERT_NO_FATAL_FAILURE(OpenDialogFor(kRightArea));
    // The background moves the dialog; grabbing it also closes an open list.
    for (bool listOpen : {false, true}) {
        if (listOpen) {
            ToggleList();
            ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(pForm) != FALSE; }, 5s));
        }
        // With the real pointer: a press on an inactive window activates it first.
        RECT before{};
        GetWindowRect(sKey, &before);
        PointerTo(before.left + kSKeyBackground.x, before.top + kSKeyBackground.y);
        SendButton(MOUSEEVENTF_LEFTDOWN);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(pForm); }, 5s));
        PointerTo(before.left + kSKeyBackground.x + 40, before.top + kSKeyBackground.y + 30);
        e2e::Settle(200ms);
        SendButton(MOUSEEVENTF_LEFTUP);
        e2e::Settle(200ms);
        RECT after{};
        GetWindowRect(sKey, &after);
        EXPECT_EQ(after.left - before.left, 40) << "list open: " << listOpen;
        EXPECT_EQ(after.top - before.top, 30) << "list open: " << listOpen;
    }

    // The list opens from the field as well, and a pick followed by Cancel is forgotten.
    Program::Click(field, 10, 8);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(pForm) != FALSE; }, 5s));
    const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    Program::Click(list, 30, height * 3 + height / 2);
    ASSERT_TRUE(e2e::WaitUntil([&] { return TextOf(field) == L"Click"; }, 5s));
    ClickDialog(kSKeyCancel);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(sKey); }, 5s));
    EXPECT_TRUE(IsWindowEnabled(main));
    ApplyAndWait();
    EXPECT_EQ(RecordInMouse(e2e::DumpEeprom(), 1), kRecords[1]);
    EXPECT_EQ(e2e::ReadUserString(ButtonKey(1), L"DES"), L"Right button");
    EXPECT_EQ(e2e::ReadUserDword(ButtonKey(1), L"StateID"), 3u);
}

TEST_F(SingleKeyE2e, RightButtonOnTheLeftButtonIsRefusedAtApply) {
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    Assign(kLeftArea, 1);
    e2e::ClearTrace();
    Click(kApply);
    EXPECT_TRUE(e2e::WaitUntil([&] { return program.Visible(L"TWarningForm2"); }, 5s))
        << "message 4: one button must stay a left button";
    e2e::Settle(1s);
    EXPECT_TRUE(e2e::WritesIn(e2e::ReadTrace()).empty());
    EXPECT_FALSE(e2e::ReadUserString(ButtonKey(0), L"keys").has_value());
}

TEST_F(SingleKeyE2e, TranslatedNamesAreTheOnlyNamesAndAreReadAgainAtEveryOk) {
    // 85 present, 60 absent; 64 and 65 share a text, so the later entry wins.
    UseLanguageFile(
        "85=Links\r\n59=Rechts\r\n61=Tippen\r\n62=Doppelt\r\n63=Back\r\n64=Vor\r\n65=Vor\r\n"
        "66=Langsam\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Links", L"Rechts", L"Tippen", L"Doppelt",
                                                  L"Back", L"Vor", L"Vor", L"Langsam"}));

    AssignTyped(kRightArea, L"Click");  // the built-in name no longer counts
    Assign(kMiddleArea, 2);             // the third entry is the text of 61
    Assign(kSide2Area, 5);
    // The file changes while the program runs: OK compares with what it says now.
    UseLanguageFile(
        "85=Links\r\n59=Rechts\r\n61=Tap\r\n62=Doppelt\r\n63=Back\r\n64=Vor\r\n65=Vor\r\n");
    AssignTyped(kSide1Area, L"Tap");
    ApplyAndWait();

    const auto eeprom = e2e::DumpEeprom();
    EXPECT_EQ(RecordInMouse(eeprom, 1), kRecords[1]);
    EXPECT_EQ(e2e::ReadUserString(ButtonKey(1), L"DES"), L"Right button");
    EXPECT_EQ(RecordInMouse(eeprom, 2), kRecords[3]);
    ExpectStored(2, L"Tippen", 3);
    EXPECT_EQ(RecordInMouse(eeprom, 3), kRecords[3]);
    ExpectStored(3, L"Tap", 3);
    EXPECT_EQ(RecordInMouse(eeprom, 4), kRecords[7]) << "two entries named Vor: the later wins";
    ExpectStored(4, L"Vor", 7);
}

TEST_F(SingleKeyE2e, PicturesFollowThePointerFromTheSkinFolder) {
    constexpr COLORREF kOk0 = RGB(0x20, 0x20, 0x60), kOk1 = RGB(0xC0, 0x20, 0x20),
                       kCancel0 = RGB(0x20, 0x60, 0x20), kCancel1 = RGB(0x20, 0x20, 0xC0),
                       kArrow0 = RGB(0x50, 0x50, 0x50), kArrow1 = RGB(0xE0, 0x80, 0x00);
    UseSkinPicture(L"Img_Ok0.bmp", 91, 26, kOk0);
    UseSkinPicture(L"Img_Ok1.bmp", 91, 26, kOk1);
    UseSkinPicture(L"Img_Cancel0.bmp", 91, 26, kCancel0);
    UseSkinPicture(L"Img_Cancel1.bmp", 91, 26, kCancel1);
    UseSkinPicture(L"Img_m0.bmp", 17, 15, kArrow0);
    UseSkinPicture(L"Img_m1.bmp", 17, 15, kArrow1);
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    ASSERT_NO_FATAL_FAILURE(OpenDialogFor(kRightArea));

    HDC screen = GetDC(nullptr);
    auto shows = [&](HWND window, POINT at, COLORREF colour) {
        ClientToScreen(window, &at);
        return e2e::WaitUntil([&] { return GetPixel(screen, at.x, at.y) == colour; }, 3s);
    };
    EXPECT_TRUE(shows(sKey, kSKeyOk, kOk0)) << "OK and Cancel start from their normal pictures";
    EXPECT_TRUE(shows(sKey, kSKeyCancel, kCancel0));
    Program::Move(sKey, kSKeyOk.x, kSKeyOk.y);
    EXPECT_TRUE(shows(sKey, kSKeyOk, kOk1));
    EXPECT_TRUE(shows(sKey, kSKeyCancel, kCancel0));
    Program::Move(sKey, kSKeyCancel.x, kSKeyCancel.y);
    EXPECT_TRUE(shows(sKey, kSKeyOk, kOk0));
    EXPECT_TRUE(shows(sKey, kSKeyCancel, kCancel1));
    Program::Move(panel, kSKeyArrow.x, kSKeyArrow.y);
    EXPECT_TRUE(shows(panel, kSKeyArrow, kArrow1)) << "the arrow lights up under the pointer";
    Program::Move(panel, 135, 2);
    EXPECT_TRUE(shows(panel, kSKeyArrow, kArrow0));
    ReleaseDC(nullptr, screen);
}

// The message windows' paths, from the profile tabs and the message windows' buttons to the
// bytes in the mouse.

// The pending-changes question acts on the profile it asked about: the display program
// switching the shown profile meanwhile, an Apply and garbage device reports from another
// process change nothing of that; a right click and a release on the same tab do nothing.
TEST_F(SingleKeyE2e, PendingChangesQuestionWritesTheProfileItAskedAbout) {
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    ASSERT_NO_FATAL_FAILURE(Assign(kRightArea, 5));  // Backward, unsaved on profile 0
    HWND question = program.Window(L"TWarningForm1");
    ASSERT_NE(question, nullptr);

    e2e::ClearTrace();
    PostMessageW(main, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(ProfileTab(1).x, ProfileTab(1).y));
    PostMessageW(main, WM_RBUTTONUP, 0, MAKELPARAM(ProfileTab(1).x, ProfileTab(1).y));
    e2e::Settle(300ms);
    EXPECT_FALSE(IsWindowVisible(question)) << "a right click on a tab changes nothing";
    EXPECT_TRUE(e2e::WritesIn(e2e::ReadTrace()).empty());

    Click(ProfileTab(1));
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(question) != FALSE; }, 5s));
    // Posted and sent device reports with pointers into nowhere, from this process.
    PostMessageW(main, 0x515, 0x1234, 0x5678);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main, 0x515, 0x10, 0x20, SMTO_ABORTIFHUNG, 2000, &ignored);
    Click(kApply);                    // the question holds the window's writes
    PostMessageW(main, 0x641, 3, 0);  // the display program: the mouse is on profile 3 now
    e2e::Settle(500ms);
    ASSERT_TRUE(program.Running());
    EXPECT_TRUE(IsWindowVisible(question));
    const auto asked = e2e::WritesIn(e2e::ReadTrace());
    ASSERT_EQ(asked.size(), 2u) << "only the switch of the mouse's profile and its apply";
    EXPECT_EQ(asked[0][1], 0x05);

    e2e::ClearTrace();
    Program::Click(question, kQuestionOk.x, kQuestionOk.y);
    ASSERT_TRUE(e2e::WaitUntil([] { return e2e::WritesIn(e2e::ReadTrace()).size() >= 35; }, 20s));
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 10s));
    e2e::Settle(500ms);
    const auto written = e2e::WritesIn(e2e::ReadTrace());
    ASSERT_EQ(written.size(), 35u);
    EXPECT_EQ(written[0][1] | written[0][2] << 8, 0x10) << "profile 0's own addresses";
    EXPECT_EQ(RecordInMouse(e2e::DumpEeprom(), 1), kRecords[5]);
    ExpectStored(1, L"Backward", 5);

    // A second release on the tab now shown sends nothing.
    e2e::ClearTrace();
    Click(ProfileTab(1));
    Click(ProfileTab(1));
    e2e::Settle(300ms);
    EXPECT_LE(e2e::WritesIn(e2e::ReadTrace()).size(), 2u) << "one switch and its apply at most";
    EXPECT_FALSE(IsWindowVisible(question));
}

// Reset asks first: Escape keeps everything, Enter writes the defaults. A notice's Yes needs a
// real click: a press dragged off the button or a right click leave the notice up.
TEST_F(SingleKeyE2e, ResetAsksFirstAndNoticesCloseOnlyOnAClick) {
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    ASSERT_NO_FATAL_FAILURE(ApplyAndWait());
    HWND question = program.Window(L"TWarningForm1");
    HWND notice = program.Window(L"TWarningForm2");
    ASSERT_NE(question, nullptr);
    ASSERT_NE(notice, nullptr);
    HWND questionKeys = FindWindowExW(question, nullptr, L"Edit", nullptr);
    ASSERT_NE(questionKeys, nullptr);

    e2e::ClearTrace();
    Click(kReset);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(question) != FALSE; }, 5s));
    Program::KeyPress(questionKeys, VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(question); }, 5s));
    e2e::Settle(300ms);
    EXPECT_TRUE(e2e::WritesIn(e2e::ReadTrace()).empty()) << "Escape resets nothing";

    ASSERT_NO_FATAL_FAILURE(Assign(kSide1Area, 5));
    Click(kReset);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(question) != FALSE; }, 5s));
    Program::KeyPress(questionKeys, VK_RETURN);
    ASSERT_TRUE(e2e::WaitUntil([] { return e2e::WritesIn(e2e::ReadTrace()).size() >= 35; }, 20s));
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 10s));
    EXPECT_EQ(RecordInMouse(e2e::DumpEeprom(), 3), Record({0x00, 0x40}));
    EXPECT_EQ(e2e::ReadUserString(ButtonKey(3), L"DES"), L"");

    // And with a press on OK.
    ASSERT_NO_FATAL_FAILURE(Assign(kSide1Area, 6));
    e2e::Settle(500ms);
    e2e::ClearTrace();
    Click(kReset);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(question) != FALSE; }, 5s));
    Program::Click(question, kQuestionOk.x, kQuestionOk.y);
    ASSERT_TRUE(e2e::WaitUntil([] { return e2e::WritesIn(e2e::ReadTrace()).size() >= 35; }, 20s));
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 10s));
    EXPECT_FALSE(IsWindowVisible(question));
    EXPECT_EQ(RecordInMouse(e2e::DumpEeprom(), 3), Record({0x00, 0x40}));

    // No left button: the profile is refused with notice 4.
    ASSERT_NO_FATAL_FAILURE(Assign(kLeftArea, 2));
    Click(kApply);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(notice) != FALSE; }, 5s));
    Program::Press(notice, kNoticeYes.x, kNoticeYes.y);
    Program::Move(notice, 20, 20);
    PostMessageW(notice, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    PostMessageW(notice, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(kNoticeYes.x, kNoticeYes.y));
    PostMessageW(notice, WM_RBUTTONUP, 0, MAKELPARAM(kNoticeYes.x, kNoticeYes.y));
    e2e::Settle(300ms);
    EXPECT_TRUE(IsWindowVisible(notice)) << "neither was a click on Yes";
    Program::Click(notice, kNoticeYes.x, kNoticeYes.y);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(notice); }, 5s));
    EXPECT_TRUE(program.Running());
}

// Every window exists from the start, with its class and caption; only the main window shows.
TEST_F(SingleKeyE2e, TheTwelveWindowsExistHiddenButTheMainWindow) {
    ASSERT_NO_FATAL_FAILURE(StartWithDefaults());
    const std::pair<const wchar_t*, const wchar_t*> windows[] = {
        {L"TTavrineMainForm1", L"Norvex TAVRINE"},
        {L"TLightOptionForm", L"LightOptionForm"},
        {L"TTKey", L"TKey"},
        {L"TRepeatCount", L"RepeatCount"},
        {L"TSKey", L"SKey"},
        {L"TWarningForm1", L"WarningForm1"},
        {L"TWarningForm2", L"WarningForm2"},
        {L"TMacroForm", L"MacroForm"},
        {L"TNewMacroForm", L"NewMacroForm"},
        {L"TPerform1", L"Perform1"},
        {L"TPForm", L"PForm"},
        {L"TLoadingForm", L"LoadingForm"}};
    for (const auto& [className, caption] : windows) {
        HWND window = program.Window(className, caption);
        EXPECT_NE(window, nullptr) << "no window " << static_cast<const void*>(className);
        if (window) {
            EXPECT_EQ(IsWindowVisible(window) != FALSE, window == main);
        }
    }
}

// The screen pixels of a window's client rectangle r.
std::vector<std::uint32_t> ClientPixels(HWND window, RECT r) {
    POINT origin{r.left, r.top};
    ClientToScreen(window, &origin);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    std::vector<std::uint32_t> pixels(static_cast<const std::uint32_t*>(bits),
                                      static_cast<const std::uint32_t*>(bits) + w * h);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The message windows show the language file's texts: the no-mouse notice, drawn with the
// built-in text and with the file's text 52, differs where the text stands.
TEST_F(SingleKeyE2e, MessageWindowsShowTheLanguageFilesTexts) {
    ASSERT_EQ(e2e::Vmouse(L"unplug"), 0);
    constexpr RECT kLabel{32, 81, 32 + 529, 81 + 65};
    auto noticeText = [&](std::vector<std::uint32_t>& pixels) {
        ASSERT_TRUE(program.Start());
        HWND notice = nullptr;
        ASSERT_TRUE(e2e::WaitUntil(
            [&] {
                notice = program.Window(L"TWarningForm2");
                return notice && IsWindowVisible(notice);
            },
            10s));
        e2e::Settle(1s);
        pixels = ClientPixels(notice, kLabel);
        e2e::Settle(300ms);
        EXPECT_EQ(ClientPixels(notice, kLabel), pixels) << "the picture is steady";
        program.Kill();
    };
    UseLanguageFile("54=Ja\r\n");
    std::vector<std::uint32_t> builtin, translated;
    ASSERT_NO_FATAL_FAILURE(noticeText(builtin));
    UseLanguageFile("52=Bitte schliessen Sie die Maus an.\r\n");
    ASSERT_NO_FATAL_FAILURE(noticeText(translated));
    EXPECT_NE(builtin, translated) << "the notice shows text 52 of the language file";
    ASSERT_EQ(e2e::Vmouse(L"plug"), 0);
}

}  // namespace
