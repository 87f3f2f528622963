#include "net/HttpClient.h"

#include <optional>

#include "net/AsciiText.h"
#include "net/DecimalText.h"
#include "platform/Exception.h"

namespace skimby {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The size of a chunk from its size line: the text before the first space
// as a hexadecimal number; anything else is 0 (which ends the body). A size
// too large for 64 bits is saturated, so it fails the body limit instead of
// passing for 0.
std::uint64_t ChunkSize(std::string_view line) {
    line = line.substr(0, line.find(' '));
    if (line.empty()) return 0;
    constexpr std::uint64_t kSaturated = ~std::uint64_t{0};
    std::uint64_t size = 0;
    for (char c : line) {
        const int digit = HexDigit(c);
        if (digit < 0) return 0;
        size = size > (kSaturated >> 4) ? kSaturated : size << 4 | static_cast<unsigned>(digit);
    }
    return size;
}

// Sets HopCount back to 0 when the fetch that started it ends, either way.
class THopCountReset {
  public:
    THopCountReset(int& hopCount, bool active) : FHopCount(hopCount), FActive(active) {}
    ~THopCountReset() {
        if (FActive) FHopCount = 0;
    }
    THopCountReset(const THopCountReset&) = delete;
    THopCountReset& operator=(const THopCountReset&) = delete;

  private:
    int& FHopCount;
    bool FActive;
};

}  // namespace

THttpClient::THttpClient() {
    Port = 80;
}

std::string THttpClient::FetchText(const std::string& url) {
    TByteStream sink;
    PerformRequest("GET", url, sink);
    return sink.Bytes();
}

bool THttpClient::ConfirmRedirect(std::string& dest, int NumRedirect) {
    bool handled = HandleRedirects;
    if (OnRedirect) OnRedirect(*this, dest, NumRedirect, handled);
    return handled;
}

void THttpClient::PerformRequest(const std::string& method, const std::string& url,
                                 TByteStream& sink) {
    const bool startsFetch = HopCount == 0;
    THopCountReset hopCountReset(HopCount, startsFetch);
    ++HopCount;

    const TUrlParts parts = TUri::SplitUrl(url);
    ChooseServer(parts, startsFetch);
    if (!IsOpen()) Open();
    SendRequest(method, parts.Path + parts.Document);
    ReadStatusLine();
    ReadReplyHeaders();
    const TReplyKind kind = ClassifyReply();
    ReadBody(sink);

    if (kind == TReplyKind::Error) throw EProtocolReplyError(ReplyCode, ReplyText);
    if (kind == TReplyKind::Redirect) FollowRedirect(method, sink);
    Close();
}

void THttpClient::ChooseServer(const TUrlParts& parts, bool startsFetch) {
    if (EqualIgnoringCase(parts.Scheme, "https")) throw EInterceptInvalid();
    const std::optional<std::int32_t> port = TUri::PortNumber(parts.Port);
    if (!parts.Host.empty()) {
        const bool sameServer = EqualIgnoringCase(parts.Host, Host) && port && *port == Port;
        if (!sameServer && IsOpen()) Close();
        Host = parts.Host;
        RequestHost = parts.Host;
    } else {
        RequestHost = Host;
    }
    Port = port.value_or(80);
    // Every reply ends its connection, so an open one is left over from a
    // fetch that failed, possibly in the middle of a body: never reuse it.
    if (startsFetch && IsOpen()) Close();
}

void THttpClient::SendRequest(const std::string& method, const std::string& target) {
    HeaderLines.Clear();
    Request.ContentLength = 0;
    Request.ComposeRequestLines(HeaderLines);

    const char* version = ProtocolVersion == THttpVersion::pv1_0 ? "1.0" : "1.1";
    SendLine(method + " " + target + " HTTP/" + version);
    SendLine("Host: " + RequestHost);
    for (const std::string& line : HeaderLines.Lines()) SendLine(line);
    SendLine("");
}

std::string THttpClient::ReceiveReplyLine() {
    try {
        return ReceiveLine({}, TimeOutInfinite, MaxReplyLine);
    } catch (const ELineTooLong&) {
        throw EReplyLineTooLong();
    }
}

void THttpClient::ReadStatusLine() {
    const std::string status = ReceiveReplyLine();
    const std::size_t space = status.find(' ');
    ReplyText = space == std::string::npos ? std::string() : status.substr(space + 1);
    const std::string code = ReplyText.substr(0, ReplyText.find(' '));
    const std::optional<std::int32_t> value = DecimalToInt(code);
    if (!value) throw EConvertError("'" + code + "' is not a valid integer value");
    ReplyCode = *value;
}

void THttpClient::ReadReplyHeaders() {
    HeaderLines.Clear();
    std::size_t bytes = 0;
    for (std::string line = ReceiveReplyLine(); !line.empty(); line = ReceiveReplyLine()) {
        bytes += line.size() + 2;
        if (HeaderLines.Count() == MaxReplyHeaderLines || bytes > MaxReplyHeaderBytes)
            throw EReplyHeadersTooLarge();
        HeaderLines.Add(std::move(line));
    }
    Reply.RefreshFromReply(HeaderLines);
}

THttpClient::TReplyKind THttpClient::ClassifyReply() const {
    if ((ReplyCode >= 300 && ReplyCode <= 399 && ReplyCode != 304) || !Reply.Location.empty())
        return TReplyKind::Redirect;
    if (ReplyCode >= 200 && ReplyCode <= 299) return TReplyKind::Success;
    return TReplyKind::Error;
}

void THttpClient::ReadBody(TByteStream& sink) {
    const std::size_t bodyStart = sink.Position();
    if (Reply.ContentLength > 0) {
        if (Reply.ContentLength > MaxReplyBody) throw EReplyBodyTooLarge();
        ReceiveToStream(sink, Reply.ContentLength, false);
    } else if (Reply.ExtraHeaders.Value("Transfer-Encoding").find("chunked") != std::string::npos) {
        ReadChunks(sink, bodyStart);
    } else {
        // One byte more than allowed tells a body that is too long.
        ReceiveToStream(sink, MaxReplyBody + 1, true);
        if (static_cast<std::int64_t>(sink.Position() - bodyStart) > MaxReplyBody)
            throw EReplyBodyTooLarge();
    }
    // The sink may hold a longer body from an earlier request of this fetch.
    sink.SetSize(sink.Position());
}

void THttpClient::ReadChunks(TByteStream& sink, std::size_t bodyStart) {
    for (;;) {
        const std::uint64_t size = ChunkSize(ReceiveReplyLine());
        if (size == 0) break;
        const auto bodySoFar = static_cast<std::uint64_t>(sink.Position() - bodyStart);
        if (size > static_cast<std::uint64_t>(MaxReplyBody) - bodySoFar) throw EReplyBodyTooLarge();
        DoStatus(TNetStatus::StatusText, "Chunk Started");
        ReceiveToStream(sink, static_cast<std::int64_t>(size), false);
        ReceiveReplyLine();  // the line end after the chunk
    }
    ReceiveReplyLine();  // the line after the last chunk; further trailers stay unread
}

void THttpClient::FollowRedirect(const std::string& method, TByteStream& sink) {
    std::string dest = Reply.Location;
    if (HandleRedirects && HopCount < RedirectMaximum) {
        // The next body replaces this one, even when it is empty.
        sink.SetPosition(0);
        if (ConfirmRedirect(dest, HopCount)) {
            Close();
            PerformRequest(method, dest, sink);
        }
        return;
    }
    if (!ConfirmRedirect(dest, HopCount)) throw EProtocolReplyError(ReplyCode, ReplyText);
    Reply.Location = dest;
}

void UseMemberListSettings(THttpClient& client) {
    client.ProtocolVersion = THttpVersion::pv1_0;
    client.HandleRedirects = true;
    client.RedirectMaximum = 15;
    client.RecvBufferSize = 1024;
}

}  // namespace skimby
