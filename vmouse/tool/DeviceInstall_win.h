#pragma once
// Plugging and unplugging the virtual mouse: its root-enumerated devices, one per collection
// (&COL01 writes, &COL02 reads, &COL03 the control collection), all served by one driver.
#include <string>

namespace vmtool {

enum class RootDevice { WriteCollection = 1, ReadCollection = 2, Control = 3 };

std::wstring InstanceId(RootDevice device);

// Registers the devices that are missing and installs the driver from the .inf for them.
bool InstallDevices(const std::wstring& infPath, bool withMouse, std::wstring& error);
// Removes the given devices if registered.
bool RemoveDevices(bool mouse, bool control, std::wstring& error);
bool IsRegistered(RootDevice device);

// The .inf next to this program.
std::wstring InfBesideProgram();

}  // namespace vmtool
