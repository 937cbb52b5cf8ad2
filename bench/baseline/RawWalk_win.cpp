#include "bench/baseline/RawWalk_win.h"

#include "common/HidHeaders_win.h"

namespace bench {

bool RawWalk(const std::vector<std::wstring>& paths, USHORT usagePage, USHORT usage,
             FeatureCall call, BYTE* report) {
    bool result = false;
    for (const std::wstring& path : paths) {
        HANDLE device =
            CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (device == INVALID_HANDLE_VALUE) continue;
        PHIDP_PREPARSED_DATA preparsed = nullptr;
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        HIDP_CAPS caps{};
        bool queried = false;
        if (HidD_GetPreparsedData(device, &preparsed)) {
            queried = HidD_GetAttributes(device, &attributes) &&
                      HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
            HidD_FreePreparsedData(preparsed);
        }
        if (queried && caps.UsagePage == usagePage && caps.Usage == usage) {
            result = call == FeatureCall::Set
                         ? HidD_SetFeature(device, report, caps.FeatureReportByteLength) != FALSE
                         : HidD_GetFeature(device, report, caps.FeatureReportByteLength) != FALSE;
        }
        CloseHandle(device);
    }
    return result;
}

}  // namespace bench
