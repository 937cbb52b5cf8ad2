// Portivo.dll with the mouse present, removed and back. InitDriver works once per process, so
// the tests share one session and run in the order written: each starts where the last ended.
#include <windows.h>
#include <dbt.h>

#include "common/DeviceIds.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "vmouse/tool/DeviceInstall_win.h"
#include "tests/windows/vmouse/DeviceKit_win.h"
#include "portivo/Portivo.h"

namespace vmtest {
namespace {

using Message = std::pair<UINT, WPARAM>;

struct Session {
    HMODULE library = nullptr;
    portivo::InitDriverFn initDriver = nullptr;
    portivo::FeatureFn setFeatures = nullptr;
    portivo::FeatureFn getFeatures = nullptr;
    portivo::IndexStrFn getIndexStr = nullptr;
    portivo::StringFn getManufacturer = nullptr;
    portivo::StringFn getProduct = nullptr;
    portivo::StringFn getSerial = nullptr;
    portivo::PhysicalDescFn getPhysical = nullptr;
    portivo::FirmwareVerFn getFirmware = nullptr;
    HWND window = nullptr;
    std::vector<Message> messages;
    DeviceSpec specs[2] = {{common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0xFF00},
                           {common::DeviceVendorId, common::DeviceProductId, 0xFF00, 0x0002}};
    bool initialised = false;
};

Session& S() {
    static Session session;
    return session;
}

LRESULT CALLBACK RecordingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == portivo::kMsgCollectionPresent || msg == portivo::kMsgNoCollectionLeft ||
        msg == portivo::kMsgCollectionRemoved) {
        S().messages.emplace_back(msg, w);
        return 0;
    }
    return DefWindowProcW(h, msg, w, l);
}

// Dispatches messages for ms milliseconds, or until done() holds; sleeps only until the next
// message, posted or sent, arrives. MWMO_INPUTAVAILABLE: a message posted while a sent one was
// handled inside PeekMessage counts as seen, and would not wake a plain wait.
template <typename Done>
void Pump(DWORD ms, Done done) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (ULONGLONG now = GetTickCount64(); now < end && !done(); now = GetTickCount64()) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (done()) break;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}
void Pump(DWORD ms) {
    Pump(ms, [] { return false; });
}

size_t Count(UINT msg) {
    size_t n = 0;
    for (const Message& m : S().messages) n += m.first == msg ? 1 : 0;
    return n;
}

constexpr int kVid = common::DeviceVendorId;
constexpr int kPid = common::DeviceProductId;

HWND MakeRecordingWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PortivoDeviceTestWindow";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

class PortivoDevice : public DeviceTest {
  protected:
    static void SetUpTestSuite() {
        Session& s = S();
        s.library = LoadLibraryW(L"Portivo.dll");
        ASSERT_NE(s.library, nullptr);
        using namespace portivo;
        s.initDriver = BindOrdinal<InitDriverFn>(s.library, kOrdInitDriver);
        s.setFeatures = BindOrdinal<FeatureFn>(s.library, kOrdSetKbdFeatures);
        s.getFeatures = BindOrdinal<FeatureFn>(s.library, kOrdGetKbdFeatures);
        s.getIndexStr = BindOrdinal<IndexStrFn>(s.library, kOrdGetIndexStr);
        s.getManufacturer = BindOrdinal<StringFn>(s.library, kOrdGetManufacturerStr);
        s.getProduct = BindOrdinal<StringFn>(s.library, kOrdGetProductStr);
        s.getSerial = BindOrdinal<StringFn>(s.library, kOrdGetSerialNumStr);
        s.getPhysical = BindOrdinal<PhysicalDescFn>(s.library, kOrdGetPhysicalDesc);
        s.getFirmware = BindOrdinal<FirmwareVerFn>(s.library, kOrdGetFirmwareVer);
        s.window = MakeRecordingWindow();
    }

    void SetUp() override {
        DeviceTest::SetUp();
        Session& s = S();
        ASSERT_TRUE(s.initDriver && s.setFeatures && s.getFeatures && s.getFirmware && s.window);
    }

    Bytes Answer(uint16_t address, uint8_t count) {
        Bytes request = Command(4, address, count);
        if (S().setFeatures(kVid, kPid, 0xFF00, 0x0002, request.data()) != 1) return {};
        Bytes answer(16, 0);
        answer[0] = 4;
        if (S().getFeatures(kVid, kPid, 0xFF00, 0x0002, answer.data()) != 1) return {};
        return answer;
    }
};

TEST_F(PortivoDevice, InitialSearchPostsOnePresentPerCollectionInEnumerationOrder) {
    Session& s = S();
    ASSERT_EQ(s.initDriver(s.window, s.specs, 2), 1);
    EXPECT_EQ(s.initDriver(s.window, s.specs, 2), 0);  // once only
    Pump(500, [] { return S().messages.size() >= 2; });
    Pump(100);
    // The order in which the system enumerates the two collections decides the wParams' order.
    std::vector<Message> expected;
    for (const vmtool::HidCollection& c : vmtool::ListHidCollections()) {
        if (c.usagePage != 0xFF00) continue;
        expected.emplace_back(portivo::kMsgCollectionPresent, c.usage == 0xFF00 ? 0 : 1);
    }
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(s.messages, expected);
    int version = 0;
    EXPECT_EQ(s.getFirmware(kVid, kPid, 0xFF00, 0x0002, &version), 1);
    EXPECT_EQ(version, common::DeviceVersion);
}

TEST_F(PortivoDevice, FeatureReportsReachTheMouseAndAnswersComeBack) {
    InputReader reader;
    ASSERT_TRUE(reader.ok());
    Bytes write = Command(3, 0x0005, 1, {0xA0});
    EXPECT_EQ(S().setFeatures(kVid, kPid, 0xFF00, 0xFF00, write.data()), 1);
    EXPECT_EQ(reader.Next(2000), kAck);
    const Bytes answer = Answer(0x0005, 1);
    ASSERT_EQ(answer.size(), 16u);
    EXPECT_EQ(answer[0], 4);
    EXPECT_EQ(answer[4], 0xA0);
    // A refused report makes SetKbdFeatures say so.
    Bytes bad = Command(3, 0x0812, 1, {1});
    EXPECT_EQ(S().setFeatures(kVid, kPid, 0xFF00, 0xFF00, bad.data()), 0);
}

TEST_F(PortivoDevice, UnlistedCollectionIsNotSentTo) {
    // The control collection is present but not in the table, so it is not in the list.
    Bytes report(vmouse::kControlReportSize, 0);
    report[0] = vmouse::kControlReportId;
    report[1] = static_cast<uint8_t>(vmouse::ControlCommand::Reset);
    EXPECT_EQ(S().setFeatures(kVid, kPid, vmouse::kControlUsagePage, vmouse::kControlUsage,
                              report.data()),
              0);
    Bytes write = Command(3, 0x0020, 1, {1});
    EXPECT_EQ(S().setFeatures(kVid, 0x1234, 0xFF00, 0xFF00, write.data()), 0);
    EXPECT_EQ(S().setFeatures(kVid, kPid, 0xFF00, 0x0001, write.data()), 0);
    EXPECT_TRUE(Trace().empty());
    EXPECT_EQ(Eeprom().at(0x20), 0);
}

TEST_F(PortivoDevice, StringAndVersionExportsAgreeWithTheHidClass) {
    Session& s = S();
    wchar_t text[64] = {};
    EXPECT_EQ(s.getManufacturer(kVid, kPid, 0xFF00, 0xFF00, text, sizeof text), 1);
    EXPECT_STREQ(text, L"Tavrine");
    EXPECT_EQ(s.getProduct(kVid, kPid, 0xFF00, 0x0002, text, sizeof text), 1);
    EXPECT_STREQ(text, L"Tavrine KVR-5502 Gaming Mouse");
    EXPECT_EQ(s.getSerial(kVid, kPid, 0xFF00, 0xFF00, text, sizeof text), 1);
    EXPECT_STREQ(text, L"VM5502-000001");
    // Indexed strings and physical descriptors: whatever the HID class answers, Portivo passes on.
    wchar_t direct[64] = {};
    const int indexed =
        HidD_GetIndexedString(mouse.writeHandle(), 2, direct, sizeof direct) ? 1 : 0;
    EXPECT_EQ(s.getIndexStr(kVid, kPid, 0xFF00, 0xFF00, 2, text, sizeof text), indexed);
    BYTE physical[64] = {};
    const int phys =
        HidD_GetPhysicalDescriptor(mouse.writeHandle(), physical, sizeof physical) ? 1 : 0;
    EXPECT_EQ(s.getPhysical(kVid, kPid, 0xFF00, 0xFF00, physical, sizeof physical), phys);
    int version = 0;
    EXPECT_EQ(s.getFirmware(kVid, kPid, 0xFF00, 0x0001, &version), 0);
}

void SendDeviceChange(WPARAM event, const std::wstring& path) {
    HWND portivoWindow = FindWindowW(L"HKUSBClass", L"HKUSBKEYMSG");
    ASSERT_NE(portivoWindow, nullptr);
    std::vector<BYTE> buffer(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) +
                             path.size() * sizeof(wchar_t));
    auto* b = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
    b->dbcc_size = static_cast<DWORD>(buffer.size());
    b->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    HidD_GetHidGuid(&b->dbcc_classguid);
    std::copy(path.begin(), path.end(), b->dbcc_name);
    b->dbcc_name[path.size()] = L'\0';
    SendMessageW(portivoWindow, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(b));
}

TEST_F(PortivoDevice, RemovalNoticeDifferingOnlyInCaseStillRemoves) {
    auto read = Find(0xFF00, 0x0002);
    ASSERT_TRUE(read.has_value());
    std::wstring mixed = read->path;
    for (size_t i = 0; i < mixed.size(); i += 2)
        mixed[i] = static_cast<wchar_t>(towupper(mixed[i]));
    for (size_t i = 1; i < mixed.size(); i += 2)
        mixed[i] = static_cast<wchar_t>(towlower(mixed[i]));
    S().messages.clear();
    ASSERT_NO_FATAL_FAILURE(SendDeviceChange(DBT_DEVICEREMOVECOMPLETE, mixed));
    Pump(200);
    EXPECT_EQ(S().messages, (std::vector<Message>{{portivo::kMsgCollectionRemoved, 1}}));
    // Gone from the list: reads through Portivo fail although the collection is there.
    Bytes answer(16, 0);
    answer[0] = 4;
    EXPECT_EQ(S().getFeatures(kVid, kPid, 0xFF00, 0x0002, answer.data()), 0);
    // An arrival notice puts it back.
    S().messages.clear();
    ASSERT_NO_FATAL_FAILURE(SendDeviceChange(DBT_DEVICEARRIVAL, read->path));
    Pump(200);
    EXPECT_EQ(S().messages, (std::vector<Message>{{portivo::kMsgCollectionPresent, 1}}));
    EXPECT_EQ(Answer(0x0005, 1).size(), 16u);
}

TEST_F(PortivoDevice, UnplugPostsRemovedThenNoneLeftAndReplugPostsPresentPerCollection) {
    Session& s = S();
    s.messages.clear();
    std::wstring error;
    ASSERT_TRUE(vmtool::RemoveDevices(true, false, error));
    Pump(5000, [] { return Count(portivo::kMsgNoCollectionLeft) > 0; });
    Pump(200);
    // The write collection goes first.
    EXPECT_EQ(s.messages,
              (std::vector<Message>{{portivo::kMsgCollectionRemoved, 0},
                                    {portivo::kMsgNoCollectionLeft, portivo::kNoRecord}}));
    Bytes buffer(16, 0xCC);
    buffer[0] = 4;
    const Bytes before = buffer;
    EXPECT_EQ(s.getFeatures(kVid, kPid, 0xFF00, 0x0002, buffer.data()), 0);
    EXPECT_EQ(buffer, before);
    int version = -1;
    EXPECT_EQ(s.getFirmware(kVid, kPid, 0xFF00, 0x0002, &version), 0);

    s.messages.clear();
    ASSERT_TRUE(vmtool::InstallDevices(vmtool::InfBesideProgram(), true, error));
    Pump(30000, [] { return Count(portivo::kMsgCollectionPresent) >= 2; });
    Pump(300);
    ASSERT_EQ(s.messages.size(), 2u);
    EXPECT_EQ(Count(portivo::kMsgCollectionPresent), 2u);
    EXPECT_NE(s.messages[0].second, s.messages[1].second);  // one per collection
    EXPECT_EQ(Answer(vmouse::kRegProfile, 2).at(4), 1);
}

BOOL CALLBACK CountNotifyWindow(HWND window, LPARAM counter) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) == L"HKUSBClass") ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// The notification windows Portivo made on this thread.
int NotifyWindowsOfThisThread() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountNotifyWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::fflush(stderr);
    ExitProcess(1);
}

// Where Portivo's image lay before FreeLibrary.
std::uintptr_t g_imageStart = 0;
std::uintptr_t g_imageEnd = 0;

void NoteImage(HMODULE library) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(library);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        reinterpret_cast<const BYTE*>(library) + dos->e_lfanew);
    g_imageStart = reinterpret_cast<std::uintptr_t>(library);
    g_imageEnd = g_imageStart + nt->OptionalHeader.SizeOfImage;
}

// Wine, like 64-bit Windows, swallows an exception raised in a window procedure that a system
// callback runs, so the host would limp on where one that is not spared dies. Die here too, so
// running code of an unloaded Portivo cannot pass unnoticed.
LONG CALLBACK DieInUnloadedImage(EXCEPTION_POINTERS* info) {
    const auto at = reinterpret_cast<std::uintptr_t>(info->ExceptionRecord->ExceptionAddress);
    if (at < g_imageStart || at >= g_imageEnd) return EXCEPTION_CONTINUE_SEARCH;
    constexpr char kText[] = "the host ran code where the unloaded Portivo.dll lay\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), kText, sizeof kText - 1, &written, nullptr);
    TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
    return EXCEPTION_CONTINUE_SEARCH;
}

// A host that loads Portivo, starts its change watch and unloads it again, then sees the mouse
// unplugged and plugged. Runs in a process of its own (Portivo keeps per-process state) and
// exits 0 when every fact held; a crash shows as its exception code.
[[noreturn]] void UnloadedLibraryJourney() {
    Session& s = S();
    const HWND window = MakeRecordingWindow();
    HMODULE library = LoadLibraryW(L"Portivo.dll");
    if (!window || !library) Fail("no window or no Portivo.dll");
    auto initDriver = portivo::BindOrdinal<portivo::InitDriverFn>(library, portivo::kOrdInitDriver);
    if (!initDriver || initDriver(window, s.specs, 2) != 1)
        Fail("InitDriver refused its first call");
    Pump(5000, [] { return Count(portivo::kMsgCollectionPresent) >= 2; });
    if (Count(portivo::kMsgCollectionPresent) != 2)
        Fail("the initial search did not find the mouse");
    NoteImage(library);
    AddVectoredExceptionHandler(1, DieInUnloadedImage);
    if (!FreeLibrary(library)) Fail("FreeLibrary failed");

    s.messages.clear();
    std::wstring error;
    if (!vmtool::RemoveDevices(true, false, error)) Fail("unplug failed");
    Pump(15000, [] { return Count(portivo::kMsgNoCollectionLeft) > 0; });
    if (Count(portivo::kMsgNoCollectionLeft) != 1) Fail("no 'none left' after the unplug");
    s.messages.clear();
    if (!vmtool::InstallDevices(vmtool::InfBesideProgram(), true, error)) Fail("plug failed");
    Pump(30000, [] { return Count(portivo::kMsgCollectionPresent) >= 2; });
    if (Count(portivo::kMsgCollectionPresent) != 2) Fail("no 'present' per collection on replug");

    // Loaded again, it is the same library: InitDriver stays once per process, one window.
    library = LoadLibraryW(L"Portivo.dll");
    initDriver = portivo::BindOrdinal<portivo::InitDriverFn>(library, portivo::kOrdInitDriver);
    if (!initDriver || initDriver(window, s.specs, 2) != 0) Fail("InitDriver ran twice");
    if (NotifyWindowsOfThisThread() != 1) Fail("not exactly one notification window");
    ExitProcess(0);
}

TEST(PortivoUnloaded, HostKeepsWorkingThroughUnplugAndReplugAfterFreeLibrary) {
    EXPECT_EXIT(UnloadedLibraryJourney(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vmtest
