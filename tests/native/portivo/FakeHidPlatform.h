#pragma once
// A HID platform declared as data: which collections exist, which calls fail, and a record of
// everything Portivo did with it.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "portivo/HidPlatform.h"

namespace portivo::testing {

// The mouse's ids, as the fake collections announce them.
inline constexpr std::uint16_t kVid = 0x1D57, kPid = 0x5502;

struct FakeCollection {
    Path path;
    CollectionInfo info;
    bool openFails = false;       // CreateFile fails (for either access mode)
    bool readWriteFails = false;  // only the read/write open fails
    bool queryFails = false;      // preparsed data, attributes or capabilities fail
    bool reportFails = false;     // the device rejects feature reports
    std::vector<std::uint8_t> featureAnswer;
    std::u16string text;  // what every string request returns
};

struct Posted {
    std::uintptr_t window;
    std::uint32_t message;
    std::uint32_t wParam;
    bool operator==(const Posted&) const = default;
};

struct SentReport {
    Path path;
    std::vector<std::uint8_t> bytes;
};

class FakeHidPlatform final : public HidPlatform {
  public:
    std::vector<FakeCollection> collections;  // enumeration order
    bool setFails = false;
    std::vector<std::uint32_t> enumFailsAt;  // indices at which enumeration fails
    bool enumAlwaysFails = false;
    std::uint32_t detailFailsAt = 0xFFFFFFFF;

    std::vector<Posted> posted;
    std::vector<std::u16string> debug;
    std::vector<SentReport> sent;
    std::vector<Path> opened;
    int openHandles = 0;
    std::uint32_t enumCalls = 0;

    FakeCollection& Add(const Path& path, std::uint16_t vid, std::uint16_t pid, std::uint16_t page,
                        std::uint16_t usage, std::uint16_t version = 0x0100) {
        FakeCollection c;
        c.path = path;
        c.info = CollectionInfo{vid, pid, version, page, usage, 16};
        collections.push_back(c);
        return collections.back();
    }

    bool BeginInterfaceSet() override { return !setFails; }
    InterfaceResult InterfaceAt(std::uint32_t index, Path& path) override {
        ++enumCalls;
        if (enumAlwaysFails) return InterfaceResult::kEnumFailed;
        if (std::find(enumFailsAt.begin(), enumFailsAt.end(), index) != enumFailsAt.end())
            return InterfaceResult::kEnumFailed;
        if (index == detailFailsAt) return InterfaceResult::kDetailFailed;
        if (index >= collections.size()) return InterfaceResult::kNoMoreItems;
        path = collections[index].path;
        return InterfaceResult::kFound;
    }
    void EndInterfaceSet() override {}

    DeviceHandle Open(const Path& path, OpenMode mode) override {
        opened.push_back(path);
        for (std::size_t i = 0; i < collections.size(); ++i) {
            const FakeCollection& c = collections[i];
            if (!SameIgnoringCase(c.path, path) || c.openFails) continue;
            if (mode == OpenMode::kReadWrite && c.readWriteFails) continue;
            ++openHandles;
            return i + 1;
        }
        return kNoHandle;
    }
    void Close(DeviceHandle) override { --openHandles; }
    bool QueryCollection(DeviceHandle handle, CollectionInfo& info) override {
        const FakeCollection& c = collections[handle - 1];
        if (c.queryFails) return false;
        info = c.info;
        return true;
    }
    bool SetFeature(DeviceHandle handle, const std::uint8_t* report, std::size_t length) override {
        sent.push_back({collections[handle - 1].path, {report, report + length}});
        return !collections[handle - 1].reportFails;
    }
    bool GetFeature(DeviceHandle handle, std::uint8_t* buffer, std::size_t length) override {
        const FakeCollection& c = collections[handle - 1];
        if (c.reportFails) return false;
        for (std::size_t i = 0; i < length && i < c.featureAnswer.size(); ++i)
            buffer[i] = c.featureAnswer[i];
        return true;
    }
    bool GetString(DeviceHandle handle, StringKind, std::uint32_t, void* buffer,
                   std::uint32_t size) override {
        const FakeCollection& c = collections[handle - 1];
        if (c.reportFails) return false;
        const std::size_t bytes = std::min<std::size_t>(size, c.text.size() * 2);
        std::memcpy(buffer, c.text.data(), bytes);
        return true;
    }
    void Post(std::uintptr_t window, std::uint32_t message, std::uint32_t wParam) override {
        posted.push_back({window, message, wParam});
    }
    void Debug(const std::u16string& text) override { debug.push_back(text); }

    static bool SameIgnoringCase(const Path& a, const Path& b) {
        if (a.size() != b.size()) return false;
        auto up = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
        for (std::size_t i = 0; i < a.size(); ++i)
            if (up(a[i]) != up(b[i])) return false;
        return true;
    }
};

}  // namespace portivo::testing
