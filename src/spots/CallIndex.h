// An index from a call to the last row that holds it, for the member list.
// Most looked-up calls are not members, so a miss must be cheap: an open
// addressing table of (hash, row) pairs small enough to stay in the cache,
// where the key text is only compared when the full hash matches.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skimby {

class TCallIndex {
  public:
    // Indexes keys[0..n-1]; a key that appears again overwrites the row of
    // its earlier copy.
    void Build(const std::vector<std::string>& keys);

    // keys must be the ones the index was built from.
    std::optional<int> Find(std::string_view key, const std::vector<std::string>& keys) const;

  private:
    struct TSlot {
        std::uint32_t Hash = 0;
        std::int32_t Row = -1;  // -1: empty
    };

    static std::uint32_t HashOf(std::string_view key);
    std::size_t SlotOf(std::string_view key, std::uint32_t hash,
                       const std::vector<std::string>& keys) const;

    std::vector<TSlot> Slots;
    std::size_t Mask = 0;
};

}  // namespace skimby
