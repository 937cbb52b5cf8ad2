// One-shot timers over SetTimer, driven by a real message loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/WindowTimers_win.h"

namespace {

// Pumps the thread's messages until done() or the time is up.
template <typename Done>
void PumpUntil(Done done, DWORD limitMs) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (!done() && GetTickCount() - start < limitMs) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(1);
    }
}

TEST(WindowTimers, OneShotRestartAndStop) {
    platform::WindowTimers timers;
    std::vector<char> fired;
    timers.Start("a", std::chrono::milliseconds{30}, [&] { fired.push_back('a'); });
    timers.Start("b", std::chrono::milliseconds{10}, [&] {
        fired.push_back('b');
        EXPECT_FALSE(timers.IsRunning("b"));  // stopped before its callback
    });
    timers.Start("c", std::chrono::milliseconds{20}, [&] { fired.push_back('c'); });
    timers.Stop("c");
    EXPECT_TRUE(timers.IsRunning("a"));
    EXPECT_FALSE(timers.IsRunning("c"));
    PumpUntil([&] { return fired.size() >= 2; }, 2000);
    PumpUntil([] { return false; }, 150);  // nothing fires twice
    EXPECT_EQ(fired, (std::vector<char>{'b', 'a'}));

    // Restarting a running role replaces it: only the second callback runs.
    fired.clear();
    timers.Start("a", std::chrono::milliseconds{20}, [&] { fired.push_back('1'); });
    timers.Start("a", std::chrono::milliseconds{20}, [&] { fired.push_back('2'); });
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(fired, std::vector<char>{'2'});
}

}  // namespace
