#include "platform/PortivoChannel_win.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "portivo/Portivo.h"

namespace platform {

static_assert(std::is_same_v<PortivoChannel::FeatureFn, portivo::FeatureFn>);

namespace {
constexpr std::size_t kScratch = 1024;
}

std::unique_ptr<PortivoChannel> PortivoChannel::Bind() {
    HMODULE module = GetModuleHandleW(L"Portivo.dll");
    if (!module) module = LoadLibraryW(L"Portivo.dll");
    if (!module) return nullptr;
    // Ordinals, not names: that is how both programs bind the library.
    auto set = reinterpret_cast<FeatureFn>(reinterpret_cast<void*>(
        GetProcAddress(module, MAKEINTRESOURCEA(portivo::kOrdSetKbdFeatures))));
    auto get = reinterpret_cast<FeatureFn>(reinterpret_cast<void*>(
        GetProcAddress(module, MAKEINTRESOURCEA(portivo::kOrdGetKbdFeatures))));
    if (!set || !get) return nullptr;
    return std::make_unique<PortivoChannel>(set, get);
}

int PortivoChannel::SetFeature(int vendorId, int productId, int usagePage, int usage,
                               const FeatureReport& report) {
    // The library reads as many bytes as the collection's report length (16 for this mouse);
    // a zero-padded copy keeps a longer read inside our own memory.
    std::array<BYTE, kScratch> copy{};
    std::copy(report.begin(), report.end(), copy.begin());
    return set_ ? set_(vendorId, productId, usagePage, usage, copy.data()) : 0;
}

int PortivoChannel::GetFeature(int vendorId, int productId, int usagePage, int usage,
                               FeatureReport& buffer) {
    // The library fills as many bytes as the collection's report length, which the caller
    // cannot check: receive into room to spare and keep the 16 bytes of this mouse's reports.
    std::array<BYTE, kScratch> scratch{};
    std::copy(buffer.begin(), buffer.end(), scratch.begin());
    const int result = get_ ? get_(vendorId, productId, usagePage, usage, scratch.data()) : 0;
    if (result) std::copy_n(scratch.begin(), buffer.size(), buffer.begin());
    return result;
}

}  // namespace platform
