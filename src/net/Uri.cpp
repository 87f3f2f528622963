#include "net/Uri.h"

#include <algorithm>

#include "net/DecimalText.h"

namespace skimby {

TUrlParts TUri::SplitUrl(std::string_view url) {
    // Texts are single-byte here, so there are no lead bytes to step over:
    // every backslash is a separator.
    std::string rest(url);
    std::replace(rest.begin(), rest.end(), '\\', '/');

    TUrlParts parts;
    const std::size_t schemeEnd = rest.find("://");
    if (schemeEnd != std::string::npos) {
        parts.Scheme = rest.substr(0, schemeEnd);
        rest.erase(0, schemeEnd + 3);
        const std::size_t slash = rest.find('/');
        std::string hostPart = rest.substr(0, slash);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
        const std::size_t colon = hostPart.find(':');
        parts.Host = hostPart.substr(0, colon);
        if (colon != std::string::npos) parts.Port = hostPart.substr(colon + 1);
    }

    const std::size_t lastSlash = rest.rfind('/');
    if (lastSlash != std::string::npos) {
        parts.Path = rest.substr(0, lastSlash + 1);
        parts.Document = rest.substr(lastSlash + 1);
    } else {
        parts.Document = rest;
    }
    if (!parts.Path.starts_with('/')) parts.Path.insert(0, 1, '/');

    const std::size_t hash = parts.Document.find('#');
    if (hash != std::string::npos) {
        parts.Fragment = parts.Document.substr(hash + 1);
        parts.Document.erase(hash);
    }
    return parts;
}

std::optional<std::int32_t> TUri::PortNumber(std::string_view portText) {
    return DecimalToInt(portText);
}

}  // namespace skimby
