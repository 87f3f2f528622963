// The member-data service over HTTP/1.0, without sockets: finding the end of
// a request head, reading its request line, and the whole reply to it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "practice-server/MemberList.h"

namespace skimby::practice {

constexpr std::string_view MemberListPath = "/rbndata2.php";

// A request head longer than this is refused.
constexpr std::size_t MaxRequestHead = 8192;

struct THttpRequest {
    std::string Method;
    std::string Target;  // path and query, as sent
    std::string Version;
};

// The length of the request head (through its empty line, CR LF or LF
// ended) at the start of received; none while the head is incomplete.
std::optional<std::size_t> RequestHeadLength(std::string_view received);

// "GET /path?query HTTP/1.0": the method, the target (which may hold
// spaces, as a client that does not escape a call sends it) and the
// version. None when the line does not have that shape.
std::optional<THttpRequest> ParseRequestLine(std::string_view line);

// The value of key in a query ("a=1&mycall=DL1ABC"), %XX escapes decoded;
// none when the key is absent.
std::optional<std::string> QueryValue(std::string_view query, std::string_view key);

struct THttpReply {
    int Code = 200;
    std::string Body;
    bool WithBody = true;  // false for HEAD
};

// The reply to a request head: the member list for GET (or HEAD) of the
// member-list path with "mycall=<call>", 404 for any other path, 405 for
// other methods, 400 for a head that is not HTTP.
THttpReply AnswerRequest(std::string_view head, const TMemberList& members);

// The reply's bytes: an HTTP/1.0 status line, Content-Type text/plain,
// Content-Length, Connection: close, an empty line and the body.
std::string FormatReply(const THttpReply& reply);

std::string_view ReasonPhrase(int code);

}  // namespace skimby::practice
