#pragma once
// The performance and light dialogs' core wired to the virtual mouse: every report with its
// time, the Windows pointer settings as set, the registry writes in their order, and posts.
#include <memory>
#include <string>
#include <vector>

#include "performance/LightDialog.h"
#include "tests/native/device/MouseRig.h"
#include "performance/PerformanceDialog.h"

// The pointer settings as Windows would keep them, and every call in its order.
struct RecordingPointer final : performance::PointerSettings {
    std::int32_t lines = 3, speed = 10, doubleClick = 500;
    std::vector<std::string> calls;
    std::int32_t WheelScrollLines() const override { return lines; }
    std::int32_t MouseSpeed() const override { return speed; }
    std::int32_t DoubleClickTime() const override { return doubleClick; }
    void SetDoubleClickTime(std::int32_t ms) override {
        doubleClick = ms;
        calls.push_back("doubleclick " + std::to_string(ms));
    }
    void SetMouseSpeed(std::int32_t s) override {
        speed = s;
        calls.push_back("speed " + std::to_string(s));
    }
    void SetWheelScrollLines(std::uint32_t l) override {
        lines = static_cast<std::int32_t>(l);
        calls.push_back("lines " + std::to_string(l));
    }
};

// An in-memory store that remembers the order of integer writes and can refuse to open keys or
// to write one chosen value.
class OrderedStore final : public platform::SettingsStore {
  public:
    std::unique_ptr<platform::SettingsKey> OpenKey(platform::SettingsHive hive,
                                                   std::wstring_view path) override {
        if (refuseOpen) return nullptr;
        auto key = memory.OpenKey(hive, path);
        return key ? std::make_unique<Key>(std::move(key), writes, refuseWrite) : nullptr;
    }
    bool KeyExists(platform::SettingsHive h, std::wstring_view p) const override {
        return memory.KeyExists(h, p);
    }
    std::vector<std::wstring> SubkeyNames(platform::SettingsHive h,
                                          std::wstring_view p) const override {
        return memory.SubkeyNames(h, p);
    }
    bool DeleteKeyTree(platform::SettingsHive h, std::wstring_view p) override {
        return memory.DeleteKeyTree(h, p);
    }

    platform::MemorySettingsStore memory;
    std::vector<std::wstring> writes;
    bool refuseOpen = false;
    std::wstring refuseWrite;  // a value of this name is never written

  private:
    struct Key final : platform::SettingsKey {
        Key(std::unique_ptr<platform::SettingsKey> k, std::vector<std::wstring>& w,
            const std::wstring& r)
            : key(std::move(k)), writes(w), refuse(r) {}
        bool ValueExists(std::wstring_view n) const override { return key->ValueExists(n); }
        platform::SettingsValueKind KindOf(std::wstring_view n) const override {
            return key->KindOf(n);
        }
        std::optional<std::wstring> ReadString(std::wstring_view n) const override {
            return key->ReadString(n);
        }
        std::optional<std::int32_t> ReadInteger(std::wstring_view n) const override {
            return key->ReadInteger(n);
        }
        bool WriteString(std::wstring_view n, std::wstring_view v) override {
            return key->WriteString(n, v);
        }
        bool WriteInteger(std::wstring_view n, std::int32_t v) override {
            writes.emplace_back(n);
            return n != refuse && key->WriteInteger(n, v);
        }
        bool DeleteValue(std::wstring_view n) override { return key->DeleteValue(n); }
        std::vector<std::wstring> ValueNames() const override { return key->ValueNames(); }
        std::unique_ptr<platform::SettingsKey> key;
        std::vector<std::wstring>& writes;
        const std::wstring& refuse;
    };
};

// The display program is not running unless told.
class DisplayMessenger final : public platform::WindowMessenger {
  public:
    bool Post(std::wstring_view c, std::wstring_view t, std::uint32_t m, std::uintptr_t w,
              std::intptr_t) override {
        if (!displayRunning) return false;
        posts.push_back({std::wstring(c), std::wstring(t), m, w});
        return true;
    }
    bool displayRunning = false;
    std::vector<::Post> posts;
};

struct PerformanceRig {
    PerformanceRig() {
        mouse.SetClock(
            [](void* ctx) {
                return static_cast<std::uint32_t>(
                    static_cast<platform::ManualTimeline*>(ctx)->Now().count());
            },
            &time);
    }

    // Stores the ten values as the first attach would have.
    void StoreRecord(const performance::PerformanceRecord& r) {
        auto key =
            store.memory.OpenKey(platform::SettingsHive::CurrentUser, performance::kPerformanceKey);
        for (const auto& f : performance::kPerformanceWriteOrder)
            key->WriteInteger(f.name, r.*f.member);
        auto defaults = store.memory.OpenKey(platform::SettingsHive::CurrentUser,
                                             performance::kPerformanceDefaultKey);
        for (const auto& f : performance::kPerformanceWriteOrder)
            defaults->WriteInteger(f.name, performance::kFactoryPerformance.*f.member);
    }
    std::optional<std::int32_t> Stored(std::wstring_view name) {
        return store.memory
            .OpenKey(platform::SettingsHive::CurrentUser, performance::kPerformanceKey)
            ->ReadInteger(name);
    }
    // The first bytes of every report sent since the mark, as hex text ("03 01 FF 01 01").
    std::vector<std::string> SentSince(std::size_t mark, std::size_t bytes = 6) const {
        std::vector<std::string> out;
        for (std::size_t i = mark; i < channel.sent.size(); ++i) {
            std::string line;
            for (std::size_t b = 0; b < bytes; ++b) {
                char hex[4];
                std::snprintf(hex, sizeof hex, b ? " %02X" : "%02X", channel.sent[i].bytes[b]);
                line += hex;
            }
            out.push_back(line);
        }
        return out;
    }
    std::size_t Mark() const { return channel.sent.size(); }

    vmouse::VirtualMouse mouse;
    platform::ManualTimeline time;
    ModelChannel channel{mouse, time};
    OrderedStore store;
    RecordingPointer pointer;
    DisplayMessenger messenger;
    performance::PerformanceRecord record;
    device::LightState lights;
    device::DeviceReportState reportState{device::kReportStateProfileWrite};
    performance::PerformanceDialog dialog{
        record, lights, reportState,
        performance::PerformanceServices{channel, store, time, pointer, messenger}};
    performance::LightDialog light{lights, record, reportState, channel, time};
};
