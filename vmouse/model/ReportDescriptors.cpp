#include "vmouse/model/ReportDescriptors.h"

namespace vmouse {
namespace {

size_t Append(const uint8_t* from, size_t length, uint8_t* out, size_t at) {
    for (size_t i = 0; i < length; ++i) out[at + i] = from[i];
    return at + length;
}

wchar_t Upper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

size_t ReportDescriptorSize(DeviceRole role) {
    switch (role) {
        case DeviceRole::WriteCollection:
            return sizeof(kWriteCollectionDescriptor);
        case DeviceRole::ReadCollection:
            return sizeof(kReadCollectionDescriptor);
        case DeviceRole::Control:
            return sizeof(kControlCollectionDescriptor);
        case DeviceRole::Combined:
            return kCombinedDescriptorSize;
    }
    return 0;
}

size_t CopyReportDescriptor(DeviceRole role, uint8_t* out, size_t size) {
    const size_t needed = ReportDescriptorSize(role);
    if (out == nullptr || size < needed) return 0;
    switch (role) {
        case DeviceRole::WriteCollection:
            return Append(kWriteCollectionDescriptor, sizeof kWriteCollectionDescriptor, out, 0);
        case DeviceRole::ReadCollection:
            return Append(kReadCollectionDescriptor, sizeof kReadCollectionDescriptor, out, 0);
        case DeviceRole::Control:
            return Append(kControlCollectionDescriptor, sizeof kControlCollectionDescriptor, out,
                          0);
        case DeviceRole::Combined: {
            size_t at =
                Append(kWriteCollectionDescriptor, sizeof kWriteCollectionDescriptor, out, 0);
            at = Append(kReadCollectionDescriptor, sizeof kReadCollectionDescriptor, out, at);
            return Append(kControlCollectionDescriptor, sizeof kControlCollectionDescriptor, out,
                          at);
        }
    }
    return 0;
}

DeviceRole RoleFromDeviceId(const wchar_t* id, size_t maxLength) {
    if (id == nullptr) return DeviceRole::Combined;
    size_t length = 0;
    while (length < maxLength && id[length] != L'\0') ++length;
    constexpr wchar_t kSuffix[] = L"&COL0";
    constexpr size_t kSuffixLength = 5;
    if (length < kSuffixLength + 1) return DeviceRole::Combined;
    const wchar_t* tail = id + length - (kSuffixLength + 1);
    for (size_t i = 0; i < kSuffixLength; ++i) {
        if (Upper(tail[i]) != kSuffix[i]) return DeviceRole::Combined;
    }
    switch (tail[kSuffixLength]) {
        case L'1':
            return DeviceRole::WriteCollection;
        case L'2':
            return DeviceRole::ReadCollection;
        case L'3':
            return DeviceRole::Control;
        default:
            return DeviceRole::Combined;
    }
}

}  // namespace vmouse
