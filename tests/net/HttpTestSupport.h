// Shared pieces of the HTTP client tests: a client set up the way the
// program uses it, and checks for the kind and message of an error.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <typeinfo>

#include "net/HttpClient.h"
#include "support/ScriptedHttpServer.h"

namespace skimby {

// Runs `action` and expects it to fail with an error of kind E and exactly
// `message`. Returns whether it did.
template <class E>
bool ExpectError(const std::function<void()>& action, const std::string& message) {
    try {
        action();
    } catch (const E& e) {
        EXPECT_EQ(e.Message(), message);
        return e.Message() == message;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "wanted " << typeid(E).name() << " \"" << message << "\", got "
                      << typeid(e).name() << " \"" << e.what() << "\"";
        return false;
    }
    ADD_FAILURE() << "no error, wanted \"" << message << "\"";
    return false;
}

// A canned reply from its status line, header lines and body.
inline TCannedReply Reply(const std::string& status, const std::string& headers,
                          const std::string& body) {
    return TCannedReply{status + "\r\n" + headers + "\r\n" + body};
}

class HttpClientTest : public testing::Test {
  protected:
    HttpClientTest() { UseMemberListSettings(Client); }

    // Header lines the client sends after its Host line.
    static constexpr const char* kRequestTail =
        "Accept: text/html, */*\r\n"
        "User-Agent: Mozilla/3.0 (compatible; Skimby)\r\n"
        "\r\n";

    TScriptedHttpServer Server;
    THttpClient Client;
};

}  // namespace skimby
