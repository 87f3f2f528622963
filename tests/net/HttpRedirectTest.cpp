// Following redirects: targets, the request allowance and the hook.
#include <gtest/gtest.h>

#include "HttpTestSupport.h"
#include "support/ResourceUse.h"

namespace skimby {
namespace {

class HttpRedirectTest : public HttpClientTest {
  protected:
    TCannedReply RedirectTo(const std::string& location, const std::string& body = "moved",
                            const std::string& status = "HTTP/1.0 302 Found") {
        return Reply(status, "Location: " + location + "\r\n", body);
    }
    std::string RequestFor(const std::string& target) const {
        return "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n" + kRequestTail;
    }
};

TEST_F(HttpRedirectTest, FollowsToTheFinalBody) {
    Server.Add(RedirectTo(Server.Url("/second")));
    Server.Add(RedirectTo(Server.Url("/third"), "", "HTTP/1.1 301 Moved Permanently"));
    Server.Add(Reply("HTTP/1.0 200 OK", "", "final"));
    EXPECT_EQ(Client.FetchText(Server.Url("/first")), "final");
    EXPECT_EQ(Server.Requests(),
              (std::vector<std::string>{RequestFor("/first"), RequestFor("/second"),
                                        RequestFor("/third")}));
    EXPECT_EQ(Client.HopCount, 0);
    EXPECT_FALSE(Client.IsOpen());
}

TEST_F(HttpRedirectTest, SuccessWithALocationIsFollowed) {
    Server.Add(RedirectTo(Server.Url("/there"), "here", "HTTP/1.0 200 OK"));
    Server.Add(Reply("HTTP/1.0 200 OK", "", "there"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "there");
    EXPECT_EQ(Server.Connections(), 2u);
}

TEST_F(HttpRedirectTest, EmptyFinalBodyReplacesTheRedirectBody) {
    Server.Add(RedirectTo(Server.Url("/empty"), "a long redirect body"));
    Server.Add(Reply("HTTP/1.0 200 OK", "Content-Length: 0\r\n", ""));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "");
}

TEST_F(HttpRedirectTest, FifteenRequestsAtMostAndTheLastBodyIsTheResult) {
    for (int i = 1; i <= 16; ++i)
        Server.Add(RedirectTo(Server.Url("/hop" + std::to_string(i)), "body" + std::to_string(i)));
    const TResourceUse use("member service redirects without end");
    EXPECT_EQ(Client.FetchText(Server.Url("/hop0")), "body15");
    use.Report("15 requests, then the last redirect's body as the result");
    EXPECT_EQ(Server.Connections(), 15u);
    EXPECT_EQ(Client.HopCount, 0);
    EXPECT_EQ(Client.Reply.Location, Server.Url("/hop15"));
}

TEST_F(HttpRedirectTest, FailedFetchDoesNotShortenTheNextAllowance) {
    for (int i = 0; i < 5; ++i) Server.Add(RedirectTo(Server.Url("/again")));
    Server.Add(Reply("HTTP/1.0 404 Not Found", "", ""));
    ExpectError<EProtocolReplyError>([&] { Client.FetchText(Server.Url("/")); }, "404 Not Found");
    EXPECT_EQ(Client.HopCount, 0);

    for (int i = 0; i < 14; ++i) Server.Add(RedirectTo(Server.Url("/again")));
    Server.Add(Reply("HTTP/1.0 200 OK", "", "made it"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "made it");
    EXPECT_EQ(Server.Connections(), 6u + 15u);
}

TEST_F(HttpRedirectTest, HttpsTargetFails) {
    Server.Add(RedirectTo("https://127.0.0.1/secure"));
    ExpectError<EInterceptInvalid>([&] { Client.FetchText(Server.Url("/")); },
                                   "Intercept value is not valid");
    EXPECT_EQ(Client.HopCount, 0);
    EXPECT_EQ(Server.Connections(), 1u);
}

// Relative targets and a 3xx without Location go to the same host on port 80.
TEST_F(HttpRedirectTest, RelativeTargetGoesToPortEighty) {
    Server.Add(RedirectTo("next.php"));
    Server.Add(Reply("HTTP/1.0 303 See Other", "", ""));
    std::unique_ptr<TScriptedHttpServer> port80 = TScriptedHttpServer::TryListen(80);
    if (port80) {
        port80->Add(Reply("HTTP/1.0 200 OK", "", "from eighty"));
        port80->Add(Reply("HTTP/1.0 200 OK", "", "root"));
        EXPECT_EQ(Client.FetchText(Server.Url("/dir/first.php")), "from eighty");
        EXPECT_EQ(Client.FetchText(Server.Url("/")), "root");
        EXPECT_EQ(port80->Requests(),
                  (std::vector<std::string>{RequestFor("/next.php"), RequestFor("/")}));
    } else {
        // Port 80 is taken or not ours: the client still turned to it.
        try {
            Client.FetchText(Server.Url("/dir/first.php"));
        } catch (const std::exception&) {
        }
    }
    EXPECT_EQ(Client.Port, 80);
    EXPECT_EQ(Client.Host, "127.0.0.1");
    EXPECT_EQ(Client.RequestHost, "127.0.0.1");
}

TEST_F(HttpRedirectTest, WithoutFollowingARedirectIsAnError) {
    Client.HandleRedirects = false;
    Server.Add(RedirectTo(Server.Url("/x")));
    ExpectError<EProtocolReplyError>([&] { Client.FetchText(Server.Url("/")); }, "302 Found");
    EXPECT_EQ(Server.Connections(), 1u);
}

TEST_F(HttpRedirectTest, HookSeesEveryRedirectAndMayChangeIt) {
    std::vector<std::pair<std::string, int>> seen;
    Client.OnRedirect = [&](THttpClient& sender, std::string& dest, int& numRedirect,
                            bool& handled) {
        EXPECT_EQ(&sender, &Client);
        EXPECT_TRUE(handled);
        seen.emplace_back(dest, numRedirect);
        if (dest.ends_with("/a")) dest = Server.Url("/changed");
    };
    Server.Add(RedirectTo(Server.Url("/a")));
    Server.Add(RedirectTo(Server.Url("/b")));
    Server.Add(Reply("HTTP/1.0 200 OK", "", "done"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "done");
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{{Server.Url("/a"), 1},
                                                              {Server.Url("/b"), 2}}));
    EXPECT_EQ(Server.Requests()[1], RequestFor("/changed"));
}

TEST_F(HttpRedirectTest, HookMayRefuseTheRedirect) {
    Client.OnRedirect = [](THttpClient&, std::string&, int&, bool& handled) { handled = false; };
    Server.Add(RedirectTo(Server.Url("/a"), "kept"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "kept");
    EXPECT_EQ(Server.Connections(), 1u);

    // Not following, a refused redirect is an error.
    Client.HandleRedirects = false;
    Server.Add(RedirectTo(Server.Url("/a"), "kept", "HTTP/1.0 307 Temporary Redirect"));
    ExpectError<EProtocolReplyError>([&] { Client.FetchText(Server.Url("/")); },
                                     "307 Temporary Redirect");
}

TEST_F(HttpRedirectTest, HookMayAcceptWhatIsNotFollowed) {
    Client.HandleRedirects = false;
    Client.OnRedirect = [](THttpClient&, std::string& dest, int&, bool& handled) {
        dest = "elsewhere";
        handled = true;
    };
    Server.Add(RedirectTo(Server.Url("/a"), "redirect body"));
    EXPECT_EQ(Client.FetchText(Server.Url("/")), "redirect body");
    EXPECT_EQ(Client.Reply.Location, "elsewhere");
    EXPECT_EQ(Server.Connections(), 1u);
}

}  // namespace
}  // namespace skimby
