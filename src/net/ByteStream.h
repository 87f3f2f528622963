// A growable stream of bytes in memory with a position, the sink that
// ReceiveToStream writes into. Writing at the position overwrites what is
// there and extends the stream past its end; the position moves on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skimby {

class TByteStream {
  public:
    std::size_t Size() const { return FBytes.size(); }
    // Cuts the stream or extends it with zero bytes; the position stays
    // (past the end if the stream was cut before it).
    void SetSize(std::size_t size) { FBytes.resize(size); }

    std::size_t Position() const { return FPosition; }
    void SetPosition(std::size_t position) { FPosition = position; }

    // Writes at the position; a position past the end is reached by zero bytes.
    void Write(const char* bytes, std::size_t count);
    void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }

    // Every byte of the stream, whatever the position.
    const std::string& Bytes() const { return FBytes; }
    // Empties the stream and rewinds it.
    void Clear() {
        FBytes.clear();
        FPosition = 0;
    }

  private:
    std::string FBytes;
    std::size_t FPosition = 0;
};

}  // namespace skimby
