#pragma once
// Reading a fuzzer's bytes as the values a harness needs; past the end every read gives zero,
// so any input is a whole script.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A broken invariant is a finding: say where, and stop as a crash does.
inline void RequireAt(bool condition, const char* file, int line) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken at %s:%d\n", file, line);
    std::abort();
}
#define Require(condition) RequireAt((condition), __FILE__, __LINE__)

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    std::size_t Left() const { return at_ < size_ ? size_ - at_ : 0; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
    std::uint32_t Dword() { return Word() | static_cast<std::uint32_t>(Word()) << 16; }
    // A UTF-16 text of `units` code units (fewer when the input ends).
    std::wstring Text(std::size_t units) {
        std::wstring text;
        while (units-- > 0 && Left() >= 2) text.push_back(static_cast<wchar_t>(Word()));
        return text;
    }
    // A text whose length comes first: one byte, or with its top bit set a 16-bit length, so
    // both short texts and very long ones are reached.
    std::wstring SizedText() {
        std::size_t units = Byte();
        if (units & 0x80) units = (units & 0x7F) << 8 | Byte();
        return Text(units);
    }
    // Printable-leaning text: hex digits, spaces and separators are likely, anything possible.
    std::wstring TokenText(std::size_t units) {
        static constexpr wchar_t kCommon[] = L"0123456789abcdefABCDEF   \t\r\n,x-+";
        std::wstring text;
        while (units-- > 0 && !Empty()) {
            const std::uint8_t b = Byte();
            if (b < 0xC0)
                text.push_back(kCommon[b % (sizeof kCommon / sizeof kCommon[0] - 1)]);
            else
                text.push_back(static_cast<wchar_t>(Word()));
        }
        return text;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};
