#pragma once
// HID report descriptors of the mouse's collections and of the control collection.
// Wine 8.0 exposes only the first top-level collection of a device, so each collection is also
// served alone by its own root device; systems that expose every collection get the combined one.
#include <stddef.h>
#include <stdint.h>

#include "vmouse/model/MouseMap.h"

namespace vmouse {

// The control collection: a vendor page no mouse software matches, one large feature report.
inline constexpr uint16_t kControlUsagePage = 0xFFA0;
inline constexpr uint16_t kControlUsage = 0x0001;
inline constexpr uint8_t kControlReportId = 5;
inline constexpr size_t kControlReportSize = 256;  // report id included

// 0xFF00/0xFF00: input reports 1 (key) and 2 (events, acknowledgements), feature report 3 (write).
inline constexpr uint8_t kWriteCollectionDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (0xFF00)
    0x0A, 0x00, 0xFF,  // Usage (0xFF00)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x85, 0x01,        //   Report ID (1)
    0x09, 0x01,        //   Usage (1)
    0x95, 0x07,        //   Report Count (7)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x85, 0x02,        //   Report ID (2)
    0x09, 0x02,        //   Usage (2)
    0x95, 0x07,        //   Report Count (7)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x85, 0x03,        //   Report ID (3)
    0x09, 0x03,        //   Usage (3)
    0x95, 0x0F,        //   Report Count (15)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// 0xFF00/0x0002: feature report 4 (read request and answer).
inline constexpr uint8_t kReadCollectionDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (0xFF00)
    0x09, 0x02,        // Usage (2)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x85, 0x04,        //   Report ID (4)
    0x09, 0x04,        //   Usage (4)
    0x95, 0x0F,        //   Report Count (15)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// 0xFFA0/0x0001: feature report 5, the control tool's channel to the model.
inline constexpr uint8_t kControlCollectionDescriptor[] = {
    0x06, 0xA0,
    0xFF,        // Usage Page (0xFFA0)
    0x09, 0x01,  // Usage (1)
    0xA1, 0x01,  // Collection (Application)
    0x15, 0x00,  //   Logical Minimum (0)
    0x26, 0xFF,
    0x00,                    //   Logical Maximum (255)
    0x75, 0x08,              //   Report Size (8)
    0x85, kControlReportId,  //   Report ID (5)
    0x09, 0x01,              //   Usage (1)
    0x96, 0xFF,
    0x00,        //   Report Count (255)
    0xB1, 0x02,  //   Feature (Data, Variable, Absolute)
    0xC0,        // End Collection
};

inline constexpr size_t kCombinedDescriptorSize = sizeof(kWriteCollectionDescriptor) +
                                                  sizeof(kReadCollectionDescriptor) +
                                                  sizeof(kControlCollectionDescriptor);

// What one device object serves: one collection (Wine 8.0) or all of them.
enum class DeviceRole : uint8_t { WriteCollection, ReadCollection, Control, Combined };

// Copies the descriptor of a role into out; returns its length, 0 when out is too small.
size_t CopyReportDescriptor(DeviceRole role, uint8_t* out, size_t size);
size_t ReportDescriptorSize(DeviceRole role);

// The role from a device id such as "ROOT\VID_1D57&PID_5502&COL02": the &COLnn suffix, any case.
DeviceRole RoleFromDeviceId(const wchar_t* id, size_t maxLength);

}  // namespace vmouse
