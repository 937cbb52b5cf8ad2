#pragma once
// A test executable that needs the mouse plugs it for itself and removes it when done, so the
// mouse is present exactly while a test holding the virtual_mouse lock runs.
#include <gtest/gtest.h>

#include "vmouse/tool/DeviceInstall_win.h"
#include "vmouse/tool/HidEnum_win.h"
#include "vmouse/model/ReportDescriptors.h"

namespace vmtest {

inline bool AllCollectionsVisible(const std::vector<vmtool::HidCollection>& l) {
    return vmtool::HasCollection(l, vmouse::kVendorUsagePage, vmouse::kWriteUsage) &&
           vmtool::HasCollection(l, vmouse::kVendorUsagePage, vmouse::kReadUsage) &&
           vmtool::HasCollection(l, vmouse::kControlUsagePage, vmouse::kControlUsage);
}

class PluggedMouse : public ::testing::Environment {
  public:
    void SetUp() override {
        if (AllCollectionsVisible(vmtool::FindMouseCollections())) return;
        std::wstring error;
        ASSERT_TRUE(vmtool::InstallDevices(vmtool::InfBesideProgram(), true, error))
            << "plug failed";
        ASSERT_TRUE(vmtool::WaitForCollections(AllCollectionsVisible, 30000))
            << "collections did not appear";
    }
    void TearDown() override {
        std::wstring error;
        EXPECT_TRUE(vmtool::RemoveDevices(true, true, error)) << "remove failed";
        EXPECT_TRUE(vmtool::WaitForCollections(
            [](const std::vector<vmtool::HidCollection>& l) { return l.empty(); }, 15000));
    }
};

}  // namespace vmtest
