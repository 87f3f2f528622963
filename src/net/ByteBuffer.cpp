#include "net/ByteBuffer.h"

#include "net/NetErrors.h"

namespace skimby {

void TByteBuffer::Append(const char* bytes, std::size_t count) {
    if (count == 0) return;
    if (FHead > 0 && FHead >= Size()) Compact();
    FBytes.append(bytes, count);
}

void TByteBuffer::Remove(std::size_t count) {
    if (count > Size()) throw ENotEnoughDataInBuffer();
    if (count == Size()) {
        Clear();
        return;
    }
    FHead += count;
    FScanned = FScanned > count ? FScanned - count : 0;
}

std::string TByteBuffer::Extract(std::size_t count) {
    if (count > Size()) throw ENotEnoughDataInBuffer();
    std::string result;
    if (FHead == 0 && count == FBytes.size()) {
        result.swap(FBytes);  // all of it: hand the storage over
        Clear();
        return result;
    }
    result.assign(FBytes, FHead, count);
    Remove(count);
    return result;
}

void TByteBuffer::Clear() {
    FBytes.clear();
    FHead = 0;
    FScanned = 0;
}

void TByteBuffer::Compact() {
    FBytes.erase(0, FHead);
    FHead = 0;
}

std::size_t TByteBuffer::FindIncremental(std::string_view needle) {
    if (needle.empty()) return 0;
    if (needle != FNeedle) {
        FNeedle.assign(needle);
        FScanned = 0;
    }
    std::string_view bytes = View();
    // A needle that starts in the scanned part may end in the new bytes.
    std::size_t from = FScanned >= needle.size() - 1 ? FScanned - (needle.size() - 1) : 0;
    std::size_t found = bytes.find(needle, from);
    if (found == npos) {
        FScanned = bytes.size();
        return npos;
    }
    FScanned = found;
    return found;
}

}  // namespace skimby
