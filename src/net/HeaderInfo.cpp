#include "net/HeaderInfo.h"

#include <limits>
#include <optional>

#include "net/Base64.h"
#include "net/DecimalText.h"
#include "platform/Exception.h"

namespace skimby {

namespace {

void AddIfSet(THeaderList& lines, const char* name, const std::string& value) {
    if (!value.empty()) lines.Add(name + value);
}

// The value of `name`, and the header taken out of the list.
std::string TakeValue(THeaderList& lines, std::string_view name) {
    std::string value = lines.Value(name);
    lines.Remove(name);
    return value;
}

std::uint32_t RangeNumber(const std::string& text) {
    const std::optional<std::int64_t> value = DecimalToInt64(text);
    if (!value || *value < 0 || *value > std::numeric_limits<std::uint32_t>::max())
        throw EConvertError("'" + text + "' is not a valid integer value");
    return static_cast<std::uint32_t>(*value);
}

}  // namespace

void THeaderInfo::ComposeRequestLines(THeaderList& lines) const {
    AddIfSet(lines, "Accept: ", Accept);
    AddIfSet(lines, "Accept-Charset: ", AcceptCharSet);
    AddIfSet(lines, "Accept-Encoding: ", AcceptEncoding);
    AddIfSet(lines, "Accept-Language: ", AcceptLanguage);
    AddIfSet(lines, "From: ", From);
    AddIfSet(lines, "Referer: ", Referer);
    AddIfSet(lines, "User-Agent: ", UserAgent);
    AddIfSet(lines, "Connection: ", Connection);
    AddIfSet(lines, "Content-Version: ", ContentVersion);
    AddIfSet(lines, "Content-Encoding: ", ContentEncoding);
    AddIfSet(lines, "Content-Language: ", ContentLanguage);
    AddIfSet(lines, "Content-Type: ", ContentType);
    if (ContentLength != 0) lines.Add("Content-Length: " + std::to_string(ContentLength));
    if (ContentRangeStart != 0 || ContentRangeEnd != 0) {
        std::string range = "Range: bytes=" + std::to_string(ContentRangeStart) + "-";
        if (ContentRangeEnd != 0) range += std::to_string(ContentRangeEnd);
        lines.Add(range);
    }
    if (!Username.empty())
        lines.Add("Authorization: Basic " + EncodeBase64(Username + ":" + Password));
    if (!ProxyServer.empty() && !ProxyUsername.empty())
        lines.Add("Proxy-Authorization: Basic " +
                  EncodeBase64(ProxyUsername + ":" + ProxyPassword));
    for (const std::string& line : ExtraHeaders.Lines()) lines.Add(line);
}

void THeaderInfo::RefreshFromReply(THeaderList& lines) {
    ExtraHeaders.Clear();
    Location = TakeValue(lines, "Location");
    Server = TakeValue(lines, "Server");
    Connection = TakeValue(lines, "Connection");
    ContentVersion = TakeValue(lines, "Content-Version");
    WWWAuthenticate = TakeValue(lines, "WWW-Authenticate");
    ContentEncoding = TakeValue(lines, "Content-Encoding");
    ContentLanguage = TakeValue(lines, "Content-Language");
    ContentType = TakeValue(lines, "Content-Type");
    ContentLength = DecimalToInt(TakeValue(lines, "Content-Length")).value_or(0);

    const std::string range = TakeValue(lines, "Content-Range");
    if (!range.empty()) {
        // "bytes 0-99/200": the start before "-", the end between "-" and "/".
        const std::size_t space = range.find(' ');
        const std::string byteRange =
            space == std::string::npos ? std::string() : range.substr(space + 1);
        const std::size_t dash = byteRange.find('-');
        const std::string startText = byteRange.substr(0, dash);
        const std::string afterDash =
            dash == std::string::npos ? std::string() : byteRange.substr(dash + 1);
        const std::uint32_t start = RangeNumber(startText);
        const std::uint32_t end = RangeNumber(afterDash.substr(0, afterDash.find('/')));
        ContentRangeStart = start;
        ContentRangeEnd = end;
    }

    Date = ParseHttpDate(TakeValue(lines, "Date"));
    LastModified = ParseHttpDate(TakeValue(lines, "Last-Modified"));
    Expires = ParseHttpDate(TakeValue(lines, "Expires"));
    ProxyAuthenticate = TakeValue(lines, "Proxy-Authenticate");

    for (const std::string& line : lines.Lines()) ExtraHeaders.Add(line);
}

}  // namespace skimby
