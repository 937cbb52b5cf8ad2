#pragma once
// Portivo's state and rules: the caller's registration, the device list with its initial search,
// arrival and removal handling, and the list walk behind every exported device operation.
// One instance per process; used only from the thread that registered.
#include <cstdint>

#include "portivo/DeviceList.h"
#include "portivo/DeviceSpec.h"
#include "portivo/HidPlatform.h"

namespace portivo {

class DeviceAccess {
  public:
    explicit DeviceAccess(HidPlatform& platform) : platform_(platform), list_(platform) {}

    // The once-only part of InitDriver: false (and nothing changes) after the first call.
    // The caller's table is not copied; it must outlive the library.
    bool Register(std::uintptr_t window, const DeviceSpec* specs, std::int32_t count);
    bool Registered() const { return registered_; }

    void InitialSearch();
    void OnArrival(const Path& interfaceName);
    void OnRemoval(const Path& interfaceName);
    void OnWindowDestroyed() { list_.Clear(); }

    std::int32_t SetKbdFeatures(std::int32_t vid, std::int32_t pid, std::int32_t page,
                                std::int32_t usage, const std::uint8_t* report);
    std::int32_t GetKbdFeatures(std::int32_t vid, std::int32_t pid, std::int32_t page,
                                std::int32_t usage, std::uint8_t* buffer);
    std::int32_t GetString(StringKind kind, std::int32_t vid, std::int32_t pid, std::int32_t page,
                           std::int32_t usage, std::uint32_t index, void* buffer,
                           std::uint32_t sizeBytes);
    std::int32_t GetFirmwareVer(std::int32_t vid, std::int32_t pid, std::int32_t page,
                                std::int32_t usage, std::uint32_t* version);

    const DeviceList& List() const { return list_; }

    // The system may report enumeration errors for ever; the search gives up after this many in
    // a row instead of looping.
    static constexpr std::uint32_t kMaxEnumFailuresInARow = 64;

  private:
    std::uint32_t SpecCount() const;
    bool Matches(const CollectionInfo& info, std::uint32_t record) const;
    void ExamineSearchPath(const Path& path);

    // Runs op(handle, info) on every listed entry matching the four ids; the result is that of the
    // last matching entry. Returns 0 at once when a listed collection cannot be queried.
    template <typename Op>
    std::int32_t Walk(const DeviceIds& wanted, Op op);

    HidPlatform& platform_;
    DeviceList list_;
    bool registered_ = false;
    std::uintptr_t window_ = 0;
    const DeviceSpec* specs_ = nullptr;
    std::int32_t count_ = 0;
};

}  // namespace portivo
