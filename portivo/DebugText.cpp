#include "portivo/DebugText.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "portivo/HidPlatform.h"

namespace portivo {

std::u16string Widen(const char* ascii) {
    std::u16string out;
    for (const char* p = ascii; *p; ++p) out.push_back(static_cast<char16_t>(*p));
    return out;
}

std::u16string FormatAscii(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return Widen(buffer);
}

std::u16string BoundedText(const void* buffer, std::uint32_t sizeBytes) {
    std::u16string out;
    if (!buffer) return out;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    for (std::uint32_t i = 0; i + 1 < sizeBytes; i += 2) {
        char16_t unit;
        std::memcpy(&unit, bytes + i, sizeof unit);  // the caller's buffer need not be aligned
        if (unit == 0) break;
        out.push_back(unit);
    }
    return out;
}

std::u16string OperationLine(const char* prefix, const CollectionInfo& info) {
    return Widen(prefix) +
           FormatAscii(" VID = %04x, PID = %04x, Ver = %04x, UsgPg = %04x, Usg = %04x\n",
                       info.vendorId, info.productId, info.version, info.usagePage, info.usage);
}

}  // namespace portivo
