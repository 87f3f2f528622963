#include "net/ByteStream.h"

#include <cstring>

namespace skimby {

void TByteStream::Write(const char* bytes, std::size_t count) {
    if (count == 0) return;
    if (FPosition == FBytes.size()) {
        FBytes.append(bytes, count);
    } else {
        if (FBytes.size() < FPosition + count) FBytes.resize(FPosition + count);
        std::memcpy(FBytes.data() + FPosition, bytes, count);
    }
    FPosition += count;
}

}  // namespace skimby
