// How a fuzz input is cut into pieces: deliveries of a stream, replies of a
// server, lines of a header. The pieces are separated by the three bytes
// RS GS FS (1E 1D 1C), which no cluster, web server or settings file sends
// in that order, so every other byte value reaches the code under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace skimby::fuzz {

constexpr std::string_view PieceMark = "\x1e\x1d\x1c";

inline std::vector<std::string_view> Pieces(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> pieces;
    for (;;) {
        const std::size_t mark = rest.find(PieceMark);
        pieces.push_back(rest.substr(0, mark));
        if (mark == std::string_view::npos) return pieces;
        rest.remove_prefix(mark + PieceMark.size());
    }
}

// A broken invariant: libFuzzer records the input that led here.
[[noreturn]] inline void Broken(const char* what) {
    __builtin_printf("invariant broken: %s\n", what);
    std::abort();
}

}  // namespace skimby::fuzz
