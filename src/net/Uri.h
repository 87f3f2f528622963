// Splitting a URL into the pieces an HTTP request is made of. Nothing is
// escaped or unescaped; the query stays in the document (or in the path when
// a "/" follows it).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skimby {

// The six pieces of a URL, each empty when the URL has none. Path always
// begins with "/"; the request target is Path + Document, and Fragment is
// never sent.
struct TUrlParts {
    std::string Scheme;
    std::string Host;
    std::string Port;
    std::string Path;
    std::string Document;
    std::string Fragment;
};

class TUri {
  public:
    static TUrlParts SplitUrl(std::string_view url);

    // The port text of a URL as a number: decimal digits only. Empty or
    // non-numeric text (or a number too large for 32 bits) means the URL
    // names no port.
    static std::optional<std::int32_t> PortNumber(std::string_view portText);
};

}  // namespace skimby
