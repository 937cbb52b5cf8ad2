#include "tests/windows/ui/TestSupport.h"

#include <cstdio>
#include <thread>
#include <vector>

namespace tavrine::ui::test {

void Pump(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (true) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

namespace {
void SendMouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
    Pump();
}
}  // namespace

void MovePointer(int screenX, int screenY) {
    SetCursorPos(screenX, screenY);
    // A zero move makes sure a move message is generated at the new place.
    SendMouse(MOUSEEVENTF_MOVE);
}

void PressLeft() { SendMouse(MOUSEEVENTF_LEFTDOWN); }
void ReleaseLeft() { SendMouse(MOUSEEVENTF_LEFTUP); }
void PressRight() { SendMouse(MOUSEEVENTF_RIGHTDOWN); }
void ReleaseRight() { SendMouse(MOUSEEVENTF_RIGHTUP); }

namespace {
std::vector<unsigned char> BmpBytes(int width, int height, const PixelFn& pixel) {
    const int stride = (width * 3 + 3) & ~3;
    const auto imageSize = static_cast<std::uint32_t>(stride * height);
    std::vector<unsigned char> b(54 + imageSize, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<std::uint32_t>(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    put32(34, imageSize);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 54 + static_cast<std::size_t>((height - 1 - y) * stride);
        for (int x = 0; x < width; ++x) {
            const COLORREF c = pixel(x, y);
            b[row + x * 3 + 0] = GetBValue(c);
            b[row + x * 3 + 1] = GetGValue(c);
            b[row + x * 3 + 2] = GetRValue(c);
        }
    }
    return b;
}
}  // namespace

bool WriteBmp(const std::wstring& path, int width, int height, const PixelFn& pixel) {
    const auto bytes = BmpBytes(width, height, pixel);
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

HBITMAP MakeBitmap(int width, int height, const PixelFn& pixel) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp) return nullptr;
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = pixel(x, y);
            px[y * width + x] = (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
                                (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
        }
    return bmp;
}

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    path_ = std::wstring(base) + L"tavrine-ui-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    // Test folders hold plain files and at most one level of subfolders.
    std::function<void(const std::wstring&)> removeTree = [&](const std::wstring& dir) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..") continue;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removeTree(dir + name + L"\\");
                } else {
                    DeleteFileW((dir + name).c_str());
                }
            } while (FindNextFileW(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryW(dir.c_str());
    };
    removeTree(path_);
}

bool TempFolder::WriteText(const std::wstring& name, const std::string& bytes) const {
    const std::wstring full = File(name);
    const auto slash = full.find_last_of(L'\\');
    if (slash != std::wstring::npos) CreateDirectoryW(full.substr(0, slash).c_str(), nullptr);
    FILE* f = _wfopen(full.c_str(), L"wb");
    if (!f) return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP one = CreateCompatibleBitmap(screen, 1, 1);
    HGDIOBJ old = SelectObject(mem, one);
    BitBlt(mem, 0, 0, 1, 1, screen, x, y, SRCCOPY);
    const COLORREF c = GetPixel(mem, 0, 0);
    SelectObject(mem, old);
    DeleteObject(one);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return c;
}

}  // namespace tavrine::ui::test
