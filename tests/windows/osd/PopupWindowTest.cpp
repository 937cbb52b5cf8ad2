// The listener and its popup in this process, driven by real window messages: the popup's styles,
// owner, activation, place in the work area, and the listener's timer, close and exit.
#include "osd/Listener_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "osd/Gdi_win.h"

namespace vistrel {
namespace {

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

void Pump(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
}

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

TEST(PopupWindow, ShownWithoutActivationCentredInTheWorkAreaAndHiddenByTheTimer) {
    GdiplusSession gdiplus;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    Listener listener;
    ASSERT_TRUE(listener.Create(instance, {L"VISTREL_TEST", L"Vistrel test"}));
    ASSERT_TRUE(listener.Popup().Create(instance, listener.Handle(), ProgramFolder()));
    HWND popup = listener.Popup().Handle();
    HWND listenerWindow = listener.Handle();

    wchar_t className[32] = {};
    GetClassNameW(popup, className, 32);
    EXPECT_STREQ(className, L"GDIPPOPWND");
    EXPECT_EQ(GetWindow(popup, GW_OWNER), listenerWindow);
    const auto exStyle = GetWindowLongPtrW(popup, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(popup, GWL_STYLE) & WS_POPUP);
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_FALSE(IsWindowVisible(listenerWindow));
    EXPECT_TRUE(GetWindowLongPtrW(listenerWindow, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

    // A window of ours in front, to see that the popup does not take the activation from it.
    HWND front = CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                 200, 100, nullptr, nullptr, instance, nullptr);
    SetForegroundWindow(front);
    Pump(std::chrono::milliseconds(200));
    const HWND foreground = GetForegroundWindow();

    const RECT area = WorkArea();
    PostMessageW(listenerWindow, 0x543, 0, 0);  // web back: no query
    Pump(std::chrono::milliseconds(300));
    EXPECT_TRUE(IsWindowVisible(popup));
    EXPECT_EQ(GetForegroundWindow(), foreground);
    RECT at{};
    GetWindowRect(popup, &at);
    // web_back.png is 300 x 150; the window is twice that, the picture in its top-left quarter.
    EXPECT_EQ(at.right - at.left, 600);
    EXPECT_EQ(at.bottom - at.top, 300);
    EXPECT_EQ(at.left, area.left + (area.right - 300 - area.left) / 2);
    EXPECT_EQ(at.top, area.bottom - 150 - 32);

    // Closing the listener is refused; its timer hides the popup two seconds after the show.
    SendMessageW(listenerWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(listenerWindow));
    Pump(std::chrono::milliseconds(1500));
    EXPECT_TRUE(IsWindowVisible(popup)) << "hidden too early";
    // A second request within the two seconds holds the picture two seconds from itself.
    PostMessageW(listenerWindow, 0x544, 0, 0);
    Pump(std::chrono::milliseconds(1500));
    EXPECT_TRUE(IsWindowVisible(popup)) << "the second picture was not held";
    Pump(std::chrono::milliseconds(900));
    EXPECT_FALSE(IsWindowVisible(popup));

    // Exit ends the message loop.
    SendMessageW(listenerWindow, WM_COMMAND, 105, 0);
    EXPECT_FALSE(IsWindow(listenerWindow));
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DestroyWindow(front);
}

TEST(PopupWindow, PlaceFollowsAWorkAreaThatDoesNotStartAtTheScreenCorner) {
    GdiplusSession gdiplus;
    const RECT saved = WorkArea();
    // A task bar on the left and one at the top.
    RECT moved{saved.left + 120, saved.top + 60, saved.right, saved.bottom};
    if (!SystemParametersInfoW(SPI_SETWORKAREA, 0, &moved, 0) || WorkArea().left != moved.left) {
        SystemParametersInfoW(SPI_SETWORKAREA, 0, const_cast<RECT*>(&saved), 0);
        GTEST_SKIP() << "this system does not let a program move the work area";
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    Listener listener;
    ASSERT_TRUE(listener.Create(instance, {L"VISTREL_TEST2", L"Vistrel test"}));
    ASSERT_TRUE(listener.Popup().Create(instance, listener.Handle(), ProgramFolder()));
    PostMessageW(listener.Handle(), 0x544, 0, 0);
    Pump(std::chrono::milliseconds(300));
    RECT at{};
    GetWindowRect(listener.Popup().Handle(), &at);
    SystemParametersInfoW(SPI_SETWORKAREA, 0, const_cast<RECT*>(&saved), 0);
    EXPECT_EQ(at.left, moved.left + (moved.right - 300 - moved.left) / 2);
    EXPECT_EQ(at.top, moved.bottom - 150 - 32);
    DestroyWindow(listener.Handle());
}

}  // namespace
}  // namespace vistrel
