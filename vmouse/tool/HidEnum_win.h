#pragma once
// The HID collections present on the system, as any program sees them through SetupDi.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vmtool {

struct HidCollection {
    std::wstring path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t inputLength = 0;
    uint16_t featureLength = 0;
};

// Every present HID interface that could be opened and described, in enumeration order.
std::vector<HidCollection> ListHidCollections();

// Collections with the mouse's vendor and product id and the given usage page (0 = any page).
std::vector<HidCollection> FindMouseCollections(uint16_t usagePage = 0);

// Waits until present() of the current list is true, or timeoutMs passes. Returns the result.
template <typename Pred>
bool WaitForCollections(Pred present, DWORD timeoutMs, DWORD pollMs = 50) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (present(FindMouseCollections())) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(pollMs);
    }
}

bool HasCollection(const std::vector<HidCollection>& list, uint16_t usagePage, uint16_t usage);

// "operation: (code) message" for the last Win32 error.
std::wstring Win32ErrorText(const wchar_t* operation, DWORD code = GetLastError());

// A handle that closes itself.
class Handle {
  public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& o) noexcept : h_(o.h_) { o.h_ = INVALID_HANDLE_VALUE; }
    Handle& operator=(Handle&& o) noexcept {
        if (this != &o) {
            Close();
            h_ = o.h_;
            o.h_ = INVALID_HANDLE_VALUE;
        }
        return *this;
    }
    ~Handle() { Close(); }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    void Close() {
        if (valid()) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE h_;
};

// Opens a collection for feature reports (and reads when overlapped is true).
Handle OpenCollection(const std::wstring& path, bool overlapped = false);

}  // namespace vmtool
