#pragma once
// Where the start's time goes: with TAVRINE_STARTUP_TRACE naming a file, each step of the start
// appends "<step> <milliseconds>" to it, on the system's performance counter (the one clock every
// process shares, so a benchmark can set the lines against the moment it started the program).
// Without the variable every call is one check of a flag.
#include <windows.h>

#include <cstdio>
#include <string>

namespace tavrine::forms {

inline void StartupStep(const char* step) {
    static FILE* file = [] {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableW(L"TAVRINE_STARTUP_TRACE", path, MAX_PATH);
        return length > 0 && length < MAX_PATH ? _wfopen(path, L"a") : nullptr;
    }();
    if (!file) return;
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    std::fprintf(
        file, "%s %.3f\n", step,
        1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart));
    std::fflush(file);
}

}  // namespace tavrine::forms
