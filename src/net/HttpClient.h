// A GET-only HTTP client over the blocking TCP connection: one request per
// connection, redirects followed, bodies read counted, chunked or until the
// server closes, and every outcome other than a success reported as an
// error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "net/ByteStream.h"
#include "net/HeaderInfo.h"
#include "net/HeaderList.h"
#include "net/HttpErrors.h"
#include "net/TcpClient.h"
#include "net/Uri.h"

namespace skimby {

enum class THttpVersion { pv1_0, pv1_1 };

class THttpClient;

// Lets a caller veto a redirect (Handled false) or change its target.
using THttpRedirectEvent =
    std::function<void(THttpClient& Sender, std::string& dest, int& NumRedirect, bool& Handled)>;

class THttpClient : public TTcpClient {
  public:
    // A reply body longer than this fails the fetch, whatever its form.
    static constexpr std::int64_t MaxReplyBody = std::int64_t{64} << 20;
    // A status, header or chunk-size line longer than this (without its
    // line end) fails the fetch.
    static constexpr std::size_t MaxReplyLine = std::size_t{64} << 10;
    // A reply's header lines beyond either of these fail the fetch: more
    // lines, or more bytes in all (each line end counted as two bytes).
    // Without them a server could grow the header list without end, one
    // short line at a time.
    static constexpr std::size_t MaxReplyHeaderLines = 1000;
    static constexpr std::size_t MaxReplyHeaderBytes = std::size_t{1} << 20;

    THttpClient();

    THttpVersion ProtocolVersion = THttpVersion::pv1_1;
    bool HandleRedirects = false;
    // The most requests one fetch makes, the first included.
    int RedirectMaximum = 15;
    THttpRedirectEvent OnRedirect;

    THeaderInfo Request;  // values sent with every request
    THeaderInfo Reply;    // values of the last reply
    // The request's header lines before sending, the reply's after reading.
    THeaderList HeaderLines;
    int ReplyCode = 0;
    // The last status line after its first space, e.g. "404 Not Found".
    std::string ReplyText;
    // Requests made so far in the running fetch; 0 between fetches.
    int HopCount = 0;
    // The host name written in the Host line.
    std::string RequestHost;

    // GETs the URL and returns the final reply's body byte for byte. Every
    // failure leaves as an error and nothing of the body is returned.
    std::string FetchText(const std::string& url);

    // One request and its reply, its body written into the sink from the
    // sink's position; follows a redirect by calling itself.
    virtual void PerformRequest(const std::string& method, const std::string& url,
                                TByteStream& sink);
    // Whether to follow a redirect to dest: HandleRedirects, unless the
    // OnRedirect hook decides otherwise (it may also change dest).
    virtual bool ConfirmRedirect(std::string& dest, int NumRedirect);

  private:
    enum class TReplyKind { Success, Redirect, Error };

    void ChooseServer(const TUrlParts& parts, bool startsFetch);
    void SendRequest(const std::string& method, const std::string& target);
    void ReadStatusLine();
    void ReadReplyHeaders();
    TReplyKind ClassifyReply() const;
    void ReadBody(TByteStream& sink);
    void ReadChunks(TByteStream& sink, std::size_t bodyStart);
    void FollowRedirect(const std::string& method, TByteStream& sink);
    std::string ReceiveReplyLine();
};

// The settings the program gives its member-list client: HTTP/1.0,
// redirects followed, receives of at most 1024 bytes.
void UseMemberListSettings(THttpClient& client);

}  // namespace skimby
