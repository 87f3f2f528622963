// The errors of the HTTP client beyond those of the TCP connection.
#pragma once

#include <string>

#include "net/NetErrors.h"

namespace skimby {

// A URL or redirect target that asks for https, which this client cannot speak.
class EInterceptInvalid : public ENetError {
  public:
    EInterceptInvalid() : ENetError("Intercept value is not valid") {}
};

// A reply that is neither a success nor a followed redirect: the message is
// the status line's text after the version, e.g. "404 Not Found".
class EProtocolReplyError : public ENetError {
  public:
    EProtocolReplyError(int replyCode, const std::string& replyText)
        : ENetError(replyText), ReplyErrorCode(replyCode) {}
    int ReplyErrorCode;
};

// A reply body beyond the most the client accepts.
class EReplyBodyTooLarge : public ENetError {
  public:
    EReplyBodyTooLarge() : ENetError("Reply body too large.") {}
};

// A reply's header section with more lines or bytes than the client accepts.
class EReplyHeadersTooLarge : public ENetError {
  public:
    EReplyHeadersTooLarge() : ENetError("Reply headers too large.") {}
};

// A status, header or chunk-size line beyond the most the client accepts.
class EReplyLineTooLong : public ENetError {
  public:
    EReplyLineTooLong() : ENetError("Reply line too long.") {}
};

}  // namespace skimby
