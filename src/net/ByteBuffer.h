// A growable buffer of received bytes that are taken from the front.
// Taking bytes is cheap: the front is only moved down once the taken part
// outweighs the rest, so taking lines one by one stays linear.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skimby {

class TByteBuffer {
  public:
    static constexpr std::size_t npos = std::string::npos;

    std::size_t Size() const { return FBytes.size() - FHead; }
    bool Empty() const { return Size() == 0; }
    std::string_view View() const { return std::string_view(FBytes).substr(FHead); }

    void Append(const char* bytes, std::size_t count);
    void Append(std::string_view bytes) { Append(bytes.data(), bytes.size()); }

    // Drops the first count bytes; more than the buffer holds raises
    // ENotEnoughDataInBuffer and leaves the buffer as it was.
    void Remove(std::size_t count);
    // The first count bytes, removed from the buffer (same error as Remove).
    std::string Extract(std::size_t count);
    void Clear();

    // The position of the first needle in the buffer, or npos. A repeated
    // search for the same needle looks only at the bytes appended since the
    // previous one (and the few before them a needle could start in), so a
    // line that arrives a byte at a time is searched in linear time.
    std::size_t FindIncremental(std::string_view needle);

  private:
    void Compact();

    std::string FBytes;
    std::size_t FHead = 0;     // bytes before this are taken
    std::size_t FScanned = 0;  // bytes from the front known to hold no whole FNeedle
    std::string FNeedle;
};

}  // namespace skimby
