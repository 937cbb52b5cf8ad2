// Proves the Windows test path itself: a cross-built GoogleTest program runs under Wine.
#include <windows.h>

#include <gtest/gtest.h>

TEST(WineSmoke, RunsAsWin32Program) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ASSERT_TRUE(GetVersionExW(&info));
#pragma GCC diagnostic pop
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    // A prefix of the program's own architecture: a 32-bit build in a 64-bit prefix (or the
    // reverse) would run under emulation layers the shipped program never meets.
    BOOL wow64 = TRUE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_FALSE(wow64);
}
