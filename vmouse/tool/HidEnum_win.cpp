#include "vmouse/tool/HidEnum_win.h"

#include <setupapi.h>

#include "common/DeviceIds.h"

#include "common/HidHeaders_win.h"

namespace vmtool {

std::wstring Win32ErrorText(const wchar_t* operation, DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text != nullptr ? text : L"unknown error";
    if (text != nullptr) LocalFree(text);
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return std::wstring(operation) + L": (" + std::to_wstring(code) + L") " + message;
}

Handle OpenCollection(const std::wstring& path, bool overlapped) {
    return Handle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr));
}

namespace {

bool Describe(const std::wstring& path, HidCollection& out) {
    // No access rights needed to read attributes and capabilities.
    Handle h(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr));
    if (!h.valid()) return false;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!HidD_GetAttributes(h.get(), &attributes)) return false;
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(h.get(), &preparsed)) return false;
    HIDP_CAPS caps{};
    const NTSTATUS status = HidP_GetCaps(preparsed, &caps);
    HidD_FreePreparsedData(preparsed);
    if (status != HIDP_STATUS_SUCCESS) return false;
    out.path = path;
    out.vendorId = attributes.VendorID;
    out.productId = attributes.ProductID;
    out.version = attributes.VersionNumber;
    out.usagePage = caps.UsagePage;
    out.usage = caps.Usage;
    out.inputLength = caps.InputReportByteLength;
    out.featureLength = caps.FeatureReportByteLength;
    return true;
}

}  // namespace

std::vector<HidCollection> ListHidCollections() {
    std::vector<HidCollection> result;
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    HDEVINFO set =
        SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return result;
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, i, &data); ++i) {
        DWORD needed = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &needed, nullptr);
        if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        std::vector<BYTE> buffer(needed);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, needed, nullptr, nullptr))
            continue;
        HidCollection c;
        if (Describe(detail->DevicePath, c)) result.push_back(std::move(c));
    }
    SetupDiDestroyDeviceInfoList(set);
    return result;
}

std::vector<HidCollection> FindMouseCollections(uint16_t usagePage) {
    std::vector<HidCollection> result;
    for (HidCollection& c : ListHidCollections()) {
        if (c.vendorId == common::DeviceVendorId && c.productId == common::DeviceProductId &&
            (usagePage == 0 || c.usagePage == usagePage))
            result.push_back(std::move(c));
    }
    return result;
}

bool HasCollection(const std::vector<HidCollection>& list, uint16_t usagePage, uint16_t usage) {
    for (const HidCollection& c : list) {
        if (c.usagePage == usagePage && c.usage == usage) return true;
    }
    return false;
}

}  // namespace vmtool
