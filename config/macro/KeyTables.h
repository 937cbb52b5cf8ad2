#pragma once
// Scan codes and key codes: the recording table (PC scan code -> USB HID keyboard usage), the key
// codes the mouse can send, the name table that turns a stored key code back into a scan code,
// and the seam through which the platform names a key.
#include <cstdint>
#include <optional>
#include <string>

namespace macro {

// The platform's name of a key from a keystroke word laid out like a key message's lParam
// (GetKeyNameTextW in the program, a table in tests).
class KeyNames {
  public:
    virtual ~KeyNames() = default;
    virtual std::wstring KeyNameText(std::uint32_t keystrokeWord) const = 0;
};

// The usage of a scan code, 0 when the table does not know it.
std::uint8_t UsageOfScanCode(std::uint8_t scanCode, bool extended);

// Key codes the mouse can send: 0x04-0x65, 0x85, 0x87-0x8B, 0x90, 0x91, 0xE0-0xE7.
bool IsSupportedKeyCode(std::uint8_t code);

// The code stored for a usage: the usage when the mouse can send it, else 0.
constexpr std::uint8_t KeyCodeOfUsage(std::uint8_t usage);

struct ScanCode {
    std::uint8_t code;
    bool extended;
};
// The scan code a stored key code is named by; nothing for codes that give no row (0 and
// 0xFB-0xFF). Codes the recording table never produces name the marker words E0 FF or E0 FE.
std::optional<ScanCode> NameScanCode(std::uint8_t keyCode);

// The keystroke word for a scan code: scan code in bits 16-23, bit 24 for an extended key.
constexpr std::uint32_t KeystrokeWord(ScanCode scan) {
    return (std::uint32_t{scan.code} << 16) | (scan.extended ? 0x01000000u : 0u);
}

// The name of a stored key code as the rebuilt rows show it; nothing when the code has no row.
std::optional<std::wstring> StoredKeyName(std::uint8_t keyCode, const KeyNames& names);

constexpr std::uint8_t KeyCodeOfUsage(std::uint8_t usage) {
    const bool supported = (usage >= 0x04 && usage <= 0x65) || usage == 0x85 ||
                           (usage >= 0x87 && usage <= 0x8B) || usage == 0x90 || usage == 0x91 ||
                           (usage >= 0xE0 && usage <= 0xE7);
    return supported ? usage : 0;
}

}  // namespace macro
