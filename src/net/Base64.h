// Base64 (RFC 4648 alphabet, "=" padding) for the credentials of a Basic
// authorization header.
#pragma once

#include <string>
#include <string_view>

namespace skimby {

std::string EncodeBase64(std::string_view bytes);

}  // namespace skimby
