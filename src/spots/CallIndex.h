// An index from a call to the last row that holds it, for the member list.
// Most looked-up calls are not members, and the list can be long, so each
// lookup should touch as little memory as possible: an open addressing table
// whose slots hold short calls themselves, so a lookup usually reads a
// single cache line. Longer calls are compared with the row's own text.
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
    static constexpr std::size_t InlineLength = 11;
    static constexpr std::uint8_t LongKey = 0xFF;

    struct TSlot {
        char Key[InlineLength];
        std::uint8_t Length;    // LongKey: the key is only in keys[Row]
        std::int32_t Row = -1;  // -1: empty
    };
    static_assert(sizeof(TSlot) == 16);

    static std::uint32_t HashOf(std::string_view key);
    static bool Holds(const TSlot& slot, std::string_view key,
                      const std::vector<std::string>& keys);
    std::size_t SlotOf(std::string_view key, const std::vector<std::string>& keys) const;

    std::vector<TSlot> Slots;
    std::size_t Mask = 0;
};

}  // namespace skimby
