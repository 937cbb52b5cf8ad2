#include "platform/MemorySettingsStore.h"

#include "platform/SettingsPath.h"

#include <cwctype>

namespace platform {

namespace {

std::wstring Fold(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

}  // namespace

class MemorySettingsStore::OpenedKey final : public SettingsKey {
  public:
    // The key object is shared so that a key deleted while open does not dangle.
    OpenedKey(std::shared_ptr<Key> key, bool writable)
        : key_(std::move(key)), writable_(writable) {}

    bool ValueExists(std::wstring_view name) const override {
        return key_->values.count(Fold(name)) != 0;
    }
    SettingsValueKind KindOf(std::wstring_view name) const override {
        auto it = key_->values.find(Fold(name));
        if (it == key_->values.end()) return SettingsValueKind::None;
        return std::holds_alternative<std::wstring>(it->second.value) ? SettingsValueKind::String
                                                                      : SettingsValueKind::Integer;
    }
    std::optional<std::wstring> ReadString(std::wstring_view name) const override {
        auto it = key_->values.find(Fold(name));
        if (it == key_->values.end()) return std::nullopt;
        if (auto* s = std::get_if<std::wstring>(&it->second.value)) return *s;
        return std::nullopt;
    }
    std::optional<std::int32_t> ReadInteger(std::wstring_view name) const override {
        auto it = key_->values.find(Fold(name));
        if (it == key_->values.end()) return std::nullopt;
        if (auto* v = std::get_if<std::int32_t>(&it->second.value)) return *v;
        return std::nullopt;
    }
    bool WriteString(std::wstring_view name, std::wstring_view value) override {
        return Put(name, std::wstring(value));
    }
    bool WriteInteger(std::wstring_view name, std::int32_t value) override {
        return Put(name, value);
    }
    bool DeleteValue(std::wstring_view name) override {
        return writable_ && key_->values.erase(Fold(name)) != 0;
    }
    std::vector<std::wstring> ValueNames() const override {
        std::vector<std::wstring> names;
        for (const auto& [folded, v] : key_->values) names.push_back(v.name);
        return names;
    }

  private:
    bool Put(std::wstring_view name, Value value) {
        if (!writable_) return false;
        auto& slot = key_->values[Fold(name)];
        if (slot.name.empty()) slot.name = std::wstring(name);
        slot.value = std::move(value);
        return true;
    }

    std::shared_ptr<Key> key_;
    bool writable_;
};

MemorySettingsStore::MemorySettingsStore() = default;
MemorySettingsStore::~MemorySettingsStore() = default;

MemorySettingsStore::Key* MemorySettingsStore::Find(SettingsHive hive, std::wstring_view path) {
    auto it = keys_.find({hive, Fold(CleanSettingsPath(path))});
    return it == keys_.end() ? nullptr : it->second.get();
}

const MemorySettingsStore::Key* MemorySettingsStore::Find(SettingsHive hive,
                                                          std::wstring_view path) const {
    auto it = keys_.find({hive, Fold(CleanSettingsPath(path))});
    return it == keys_.end() ? nullptr : it->second.get();
}

const std::shared_ptr<MemorySettingsStore::Key>& MemorySettingsStore::Create(
    SettingsHive hive, std::wstring_view path) {
    const std::wstring clean = CleanSettingsPath(path);
    const std::pair<SettingsHive, std::wstring> id{hive, Fold(clean)};
    // Every ancestor of a key exists as a key too, so a key already there needs no walk.
    if (auto it = keys_.find(id); it != keys_.end()) return it->second;
    std::shared_ptr<Key>* result = nullptr;
    // Create every ancestor, as the registry does.
    for (std::size_t end = 0; end != std::wstring::npos;) {
        end = clean.find(L'\\', end + 1);
        auto& slot = keys_[{hive, id.second.substr(0, end)}];
        if (!slot) slot = std::make_shared<Key>(Key{clean.substr(0, end), {}});
        result = &slot;
    }
    return *result;
}

std::unique_ptr<SettingsKey> MemorySettingsStore::OpenKey(SettingsHive hive,
                                                          std::wstring_view path) {
    if (path.find_first_not_of(L'\\') == std::wstring_view::npos) return nullptr;  // names no key
    if (hive == SettingsHive::CurrentUser)
        return std::make_unique<OpenedKey>(Create(hive, path), true);
    auto it = keys_.find({hive, Fold(CleanSettingsPath(path))});
    if (it == keys_.end()) return nullptr;
    return std::make_unique<OpenedKey>(it->second, false);
}

bool MemorySettingsStore::KeyExists(SettingsHive hive, std::wstring_view path) const {
    return Find(hive, path) != nullptr;
}

std::vector<std::wstring> MemorySettingsStore::SubkeyNames(SettingsHive hive,
                                                           std::wstring_view path) const {
    std::vector<std::wstring> names;
    const std::wstring parent = Fold(CleanSettingsPath(path));
    for (const auto& [id, key] : keys_) {
        if (id.first != hive) continue;
        const std::wstring& folded = id.second;
        if (folded.size() <= parent.size() + 1 || folded.compare(0, parent.size(), parent) != 0 ||
            folded[parent.size()] != L'\\')
            continue;
        if (folded.find(L'\\', parent.size() + 1) != std::wstring::npos) continue;
        names.push_back(key->path.substr(parent.size() + 1));
    }
    return names;
}

bool MemorySettingsStore::DeleteKeyTree(SettingsHive hive, std::wstring_view path) {
    if (hive != SettingsHive::CurrentUser) return false;
    const std::wstring folded = Fold(CleanSettingsPath(path));
    if (folded.empty() || !keys_.count({hive, folded})) return false;
    for (auto it = keys_.begin(); it != keys_.end();) {
        const std::wstring& p = it->first.second;
        const bool below =
            it->first.first == hive &&
            (p == folded || (p.size() > folded.size() && p.compare(0, folded.size(), folded) == 0 &&
                             p[folded.size()] == L'\\'));
        it = below ? keys_.erase(it) : std::next(it);
    }
    return true;
}

void MemorySettingsStore::Seed(SettingsHive hive, std::wstring_view path, std::wstring_view name,
                               std::wstring_view value) {
    auto& slot = Create(hive, path)->values[Fold(name)];
    slot.name = std::wstring(name);
    slot.value = std::wstring(value);
}

void MemorySettingsStore::Seed(SettingsHive hive, std::wstring_view path, std::wstring_view name,
                               std::int32_t value) {
    auto& slot = Create(hive, path)->values[Fold(name)];
    slot.name = std::wstring(name);
    slot.value = value;
}

std::size_t MemorySettingsStore::KeyCount() const { return keys_.size(); }

}  // namespace platform
