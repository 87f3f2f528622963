#include "spots/CallIndex.h"

#include <bit>
#include <cstring>

namespace skimby {

std::uint32_t TCallIndex::HashOf(std::string_view key) {
    // FNV-1a: calls are a few bytes long, so a simple byte loop is enough.
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : key) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

bool TCallIndex::Holds(const TSlot& slot, std::string_view key,
                       const std::vector<std::string>& keys) {
    if (key.size() > InlineLength) {
        return slot.Length == LongKey && keys[static_cast<std::size_t>(slot.Row)] == key;
    }
    return slot.Length == key.size() && std::memcmp(slot.Key, key.data(), key.size()) == 0;
}

void TCallIndex::Build(const std::vector<std::string>& keys) {
    // At most three quarters full, so probe runs stay short.
    const std::size_t size = std::bit_ceil(keys.size() + keys.size() / 3 + 1);
    Slots.assign(size < 8 ? 8 : size, TSlot{});
    Mask = Slots.size() - 1;
    for (std::size_t row = 0; row < keys.size(); ++row) {
        const std::string& key = keys[row];
        TSlot& slot = Slots[SlotOf(key, keys)];
        if (key.size() > InlineLength) {
            slot.Length = LongKey;
        } else {
            slot.Length = static_cast<std::uint8_t>(key.size());
            key.copy(slot.Key, key.size());
        }
        slot.Row = static_cast<std::int32_t>(row);
    }
}

// The slot that holds key, or the empty slot where it would go.
std::size_t TCallIndex::SlotOf(std::string_view key, const std::vector<std::string>& keys) const {
    for (std::size_t i = HashOf(key) & Mask;; i = (i + 1) & Mask) {
        const TSlot& slot = Slots[i];
        if (slot.Row < 0 || Holds(slot, key, keys)) return i;
    }
}

std::optional<int> TCallIndex::Find(std::string_view key,
                                    const std::vector<std::string>& keys) const {
    if (Slots.empty()) return std::nullopt;
    const TSlot& slot = Slots[SlotOf(key, keys)];
    if (slot.Row < 0) return std::nullopt;
    return slot.Row;
}

}  // namespace skimby
