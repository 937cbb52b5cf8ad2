// The channel binds Portivo.dll by ordinal; with no mouse listed both calls fail cleanly and the
// stack survives them (a wrong calling convention would not).
#include <gtest/gtest.h>
#include <windows.h>

#include "common/DeviceIds.h"

#include "device/CommandReport.h"
#include "platform/PortivoChannel_win.h"

using device::CommandReport;
using device::kAddressLiveProfile;
using device::MakeReadRequest;
using device::ReadAnswer;
using device::SendCommand;

namespace {

TEST(PortivoChannel, BindsOrdinalsAndFailsCleanlyWithoutAMouse) {
    auto channel = platform::PortivoChannel::Bind();
    ASSERT_TRUE(channel) << "Portivo.dll beside the test was not found or lacks ordinals 3, 4";
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(SendCommand(*channel, MakeReadRequest(kAddressLiveProfile, 2)), 0);
        CommandReport buffer;
        buffer.fill(0x5A);
        EXPECT_EQ(ReadAnswer(*channel, buffer), 0);
        EXPECT_EQ(buffer, (CommandReport{4}));
    }
}

}  // namespace
