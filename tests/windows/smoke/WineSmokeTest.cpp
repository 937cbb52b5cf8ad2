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
    EXPECT_EQ(sizeof(void*), 4u);
}
