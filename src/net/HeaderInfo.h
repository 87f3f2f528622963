// The header values of one HTTP request or reply, and the conversions
// between them and header lines.
#pragma once

#include <cstdint>
#include <string>

#include "net/HeaderList.h"
#include "net/HttpDate.h"

namespace skimby {

class THeaderInfo {
  public:
    std::string Accept = "text/html, */*";
    std::string AcceptCharSet;
    std::string AcceptEncoding;
    std::string AcceptLanguage;
    std::string Connection;
    std::string ContentEncoding;
    std::string ContentLanguage;
    std::int32_t ContentLength = 0;
    std::uint32_t ContentRangeEnd = 0;
    std::uint32_t ContentRangeStart = 0;
    std::string ContentType;
    std::string ContentVersion;
    TDateTime Date = 0;
    TDateTime Expires = 0;
    THeaderList ExtraHeaders;
    std::string From;
    TDateTime LastModified = 0;
    std::string Location;
    std::string Password;
    std::string ProxyAuthenticate;
    std::string ProxyPassword;
    std::int32_t ProxyPort = 0;
    std::string ProxyServer;
    std::string ProxyUsername;
    std::string Referer;
    std::string Server;
    std::string UserAgent = "Mozilla/3.0 (compatible; Skimby)";
    std::string Username;
    std::string WWWAuthenticate;

    // Appends the request header lines these values call for. The caller
    // clears `lines` first.
    void ComposeRequestLines(THeaderList& lines) const;

    // Fills the reply values from a reply's header lines and takes the
    // recognised lines (with their continuation lines) out of `lines`;
    // every other line is copied to ExtraHeaders. A Content-Range whose
    // start or end is not a whole number raises EConvertError, leaving the
    // fields after it unchanged.
    void RefreshFromReply(THeaderList& lines);
};

}  // namespace skimby
