#include "practice-server/HttpService.h"

namespace skimby::practice {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool IsMethodName(std::string_view method) {
    if (method.empty()) return false;
    for (const char c : method)
        if (c < 'A' || c > 'Z') return false;
    return true;
}

THttpReply Refusal(int code) {
    THttpReply reply;
    reply.Code = code;
    reply.Body = std::to_string(code) + " " + std::string(ReasonPhrase(code)) + "\r\n";
    return reply;
}

}  // namespace

std::optional<std::size_t> RequestHeadLength(std::string_view received) {
    // The head ends at the first empty line; a bare LF is taken as a line
    // end too, for clients typed by hand.
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < received.size(); ++i) {
        if (received[i] != '\n') continue;
        const std::size_t length = i - lineStart;
        if (length == 0 || (length == 1 && received[lineStart] == '\r')) return i + 1;
        lineStart = i + 1;
    }
    return std::nullopt;
}

std::optional<THttpRequest> ParseRequestLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find(' ');
    const std::size_t last = line.rfind(' ');
    if (first == std::string_view::npos || last == first) return std::nullopt;
    THttpRequest request;
    request.Method = line.substr(0, first);
    request.Version = line.substr(last + 1);
    request.Target = line.substr(first + 1, last - first - 1);
    if (!IsMethodName(request.Method) || !request.Version.starts_with("HTTP/") ||
        !request.Target.starts_with('/'))
        return std::nullopt;
    return request;
}

std::optional<std::string> QueryValue(std::string_view query, std::string_view key) {
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const std::size_t eq = pair.find('=');
        if (pair.substr(0, eq) == key)
            return eq == std::string_view::npos ? std::string()
                                                : PercentDecoded(pair.substr(eq + 1));
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

THttpReply AnswerRequest(std::string_view head, const TMemberList& members) {
    const auto request = ParseRequestLine(head.substr(0, head.find('\n')));
    if (!request) return Refusal(400);
    const bool isHead = request->Method == "HEAD";
    if (request->Method != "GET" && !isHead) return Refusal(405);
    const std::string_view target = request->Target;
    const std::size_t question = target.find('?');
    const std::string_view path = target.substr(0, question);
    THttpReply reply;
    if (path != MemberListPath) {
        reply = Refusal(404);
    } else {
        const std::string_view query =
            question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
        reply.Body = members.Body(QueryValue(query, "mycall").value_or(""));
    }
    reply.WithBody = !isHead;
    return reply;
}

std::string_view ReasonPhrase(int code) {
    switch (code) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        default:
            return "Error";
    }
}

std::string FormatReply(const THttpReply& reply) {
    std::string out = "HTTP/1.0 " + std::to_string(reply.Code) + " ";
    out += ReasonPhrase(reply.Code);
    out += "\r\nServer: skimby-practice\r\nContent-Type: text/plain\r\nContent-Length: ";
    out += std::to_string(reply.Body.size());
    out += "\r\n";
    if (reply.Code == 405) out += "Allow: GET, HEAD\r\n";
    out += "Connection: close\r\n\r\n";
    if (reply.WithBody) out += reply.Body;
    return out;
}

}  // namespace skimby::practice
