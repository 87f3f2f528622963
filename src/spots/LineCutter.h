// Cuts the cluster's text into lines across deliveries. A line ends at CR;
// one LF right after the CR belongs to the line end, even when it arrives
// at the start of the next delivery. Any other LF is ordinary text. The
// text after a delivery's last CR is kept and put in front of the next
// delivery, so a line cut by a read boundary is still handled whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skimby {

// The cluster's login prompt; it comes without a line end.
constexpr std::string_view LoginPrompt = "Please enter your call:";

class TLineCutter {
  public:
    // A kept piece longer than this is handed on at once, so a stream
    // without line ends cannot grow it without bound.
    static constexpr std::size_t MaxKept = 4096;

    // Calls handleLine(std::string_view) for each complete line of chunk, in
    // order. The kept piece is handed on at once as well when it holds the
    // login prompt (which waits for an answer) or exceeds MaxKept. If
    // handleLine throws, the rest of the chunk is dropped.
    template <typename F>
    void Cut(std::string_view chunk, F&& handleLine);

    // Forgets the kept piece and any pending LF skip: a new connection
    // starts with a new line.
    void Reset() {
        Kept.clear();
        SkipLf = false;
    }

    const std::string& KeptPiece() const { return Kept; }

  private:
    // The kept piece followed by line, in a buffer that is reused.
    std::string_view JoinKept(std::string_view line) {
        if (Kept.empty()) return line;
        Joined.assign(Kept).append(line);
        Kept.clear();
        return Joined;
    }

    std::string Kept;
    std::string Joined;
    bool SkipLf = false;
};

template <typename F>
void TLineCutter::Cut(std::string_view chunk, F&& handleLine) {
    if (chunk.empty()) return;  // an empty delivery changes nothing, a pending skip included
    if (SkipLf) {
        SkipLf = false;
        if (chunk.starts_with('\n')) chunk.remove_prefix(1);
    }
    std::size_t pos = 0;
    for (;;) {
        const std::size_t cr = chunk.find('\r', pos);
        if (cr == std::string_view::npos) break;
        const std::string_view line = JoinKept(chunk.substr(pos, cr - pos));
        pos = cr + 1;
        if (pos < chunk.size() && chunk[pos] == '\n') ++pos;
        if (pos == chunk.size()) SkipLf = chunk.back() == '\r';
        handleLine(line);
    }
    if (pos == chunk.size()) return;
    Kept.append(chunk.substr(pos));
    if (Kept.size() > MaxKept || Kept.find(LoginPrompt) != std::string::npos) {
        handleLine(JoinKept({}));
    }
}

}  // namespace skimby
