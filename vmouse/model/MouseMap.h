#pragma once
// The mouse's fixed numbers: report layout, collections and address map. Freestanding: C headers
// only, so the kernel driver can include it.
#include <stddef.h>
#include <stdint.h>

namespace vmouse {

inline constexpr size_t kFeatureReportSize = 16;  // report id included
inline constexpr size_t kInputReportSize = 8;     // report id included
inline constexpr size_t kMaxDataCount = 12;
inline constexpr size_t kCommandHeaderSize = 4;  // id, address low, address high, count

inline constexpr uint8_t kKeyReportId = 1;
inline constexpr uint8_t kEventReportId = 2;
inline constexpr uint8_t kWriteReportId = 3;
inline constexpr uint8_t kReadReportId = 4;

inline constexpr uint16_t kVendorUsagePage = 0xFF00;
inline constexpr uint16_t kWriteUsage = 0xFF00;  // writes in, acknowledgements and events out
inline constexpr uint16_t kReadUsage = 0x0002;   // read requests and their answers

// The two collections by index, in the order the device declares them.
enum class Collection : uint8_t { Write = 0, Read = 1, None = 0xFF };

inline constexpr uint16_t UsageOf(Collection c) {
    return c == Collection::Write ? kWriteUsage : c == Collection::Read ? kReadUsage : 0;
}
inline constexpr Collection CollectionOf(uint16_t usagePage, uint16_t usage) {
    if (usagePage != kVendorUsagePage) return Collection::None;
    if (usage == kWriteUsage) return Collection::Write;
    if (usage == kReadUsage) return Collection::Read;
    return Collection::None;
}

// EEPROM: 0x0000 .. 0x0811.
inline constexpr size_t kEepromSize = 0x0812;
inline constexpr uint16_t kAddrActiveProfile = 0x0005;  // 0x20 x profile number
inline constexpr uint16_t kAddrPolling = 0x0006;
inline constexpr uint16_t kAddrLevelAndLights = 0x0007;
inline constexpr uint16_t kAddrDpiSteps = 0x0008;  // four bytes, levels 1..4
inline constexpr uint16_t kAddrProfiles = 0x0010;
inline constexpr size_t kButtonRecordSize = 82;
inline constexpr size_t kButtonsPerProfile = 5;
inline constexpr size_t kProfileCount = 5;
inline constexpr size_t kProfileSize = kButtonRecordSize * kButtonsPerProfile;  // 410

inline constexpr size_t ProfileButtonAddress(size_t profileIndex, size_t buttonIndex) {
    return kAddrProfiles + kProfileSize * profileIndex + kButtonRecordSize * buttonIndex;
}

// Live registers.
inline constexpr uint16_t kRegLevel = 0xFF00;    // level index, its DPI step
inline constexpr uint16_t kRegPolling = 0xFF01;  // polling code
inline constexpr uint16_t kRegProfile = 0xFF02;  // active profile 1..5 (read only)
inline constexpr uint16_t kRegWheel = 0xFF03;    // 0 off, 1 on (write only)
inline constexpr uint16_t kRegLogo = 0xFF04;     // 0 off, 1 on (write only)
inline constexpr uint16_t kRegLock = 0xFF05;     // lock state (read only)
inline constexpr uint16_t kRegApply = 0xFF06;    // take the live state from the EEPROM

// Byte 1 of an event report (id 2).
inline constexpr uint8_t kEventDpi = 0x01;
inline constexpr uint8_t kEventPolling = 0x02;
inline constexpr uint8_t kEventProfile = 0x04;
inline constexpr uint8_t kEventLock = 0x08;
inline constexpr uint8_t kEventAck = 0x10;

inline constexpr uint8_t kLaunchCodeFirst = 0xA0;
inline constexpr uint8_t kLaunchCodeLast = 0xB8;

inline constexpr uint8_t kLevelCount = 4;
inline constexpr uint8_t kMaxDpiStep = 35;
inline constexpr uint8_t kPollingCodeCount = 3;  // 0 = 1000 Hz, 1 = 500 Hz, 2 = 125 Hz

}  // namespace vmouse
