#include "practice-server/HttpService.h"

#include <gtest/gtest.h>

namespace skimby::practice {
namespace {

TEST(PracticeHttp, FindsTheEndOfTheRequestHead) {
    struct Case {
        std::string received;
        std::optional<std::size_t> length;
    } cases[] = {
        {"GET / HTTP/1.0\r\n\r\n", 18},
        {"GET / HTTP/1.0\r\nHost: x\r\n\r\nmore", 27},
        {"GET / HTTP/1.0\n\n", 16},
        {"GET / HTTP/1.0\r\nHost: x\n\r\n", 26},
        {"\r\n", 2},
        {"GET / HTTP/1.0\r\nHost: x\r\n", std::nullopt},
        {"GET / HTTP/1.0\r\n\r", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RequestHeadLength(c.received), c.length) << testing::PrintToString(c.received);
}

TEST(PracticeHttp, ReadsTheRequestLine) {
    struct Case {
        std::string line;
        bool ok;
        std::string method, target, version;
    } cases[] = {
        {"GET /rbndata2.php?mycall=DL1ABC HTTP/1.0", true, "GET", "/rbndata2.php?mycall=DL1ABC",
         "HTTP/1.0"},
        {"GET / HTTP/1.1\r", true, "GET", "/", "HTTP/1.1"},
        // A call with a space, sent unescaped, stays in the target.
        {"GET /rbndata2.php?mycall=DL1 ABC HTTP/1.0", true, "GET", "/rbndata2.php?mycall=DL1 ABC",
         "HTTP/1.0"},
        {"POST /x HTTP/1.0", true, "POST", "/x", "HTTP/1.0"},
        {"GET /x", false, "", "", ""},
        {"GET /x FTP/1.0", false, "", "", ""},
        {"get /x HTTP/1.0", false, "", "", ""},
        {"GET x HTTP/1.0", false, "", "", ""},
        {"", false, "", "", ""},
    };
    for (const auto& c : cases) {
        const auto request = ParseRequestLine(c.line);
        ASSERT_EQ(request.has_value(), c.ok) << c.line;
        if (!request) continue;
        EXPECT_EQ(request->Method, c.method);
        EXPECT_EQ(request->Target, c.target);
        EXPECT_EQ(request->Version, c.version);
    }
}

TEST(PracticeHttp, ReadsQueryValues) {
    struct Case {
        std::string query;
        std::optional<std::string> value;
    } cases[] = {
        {"mycall=DL1ABC", "DL1ABC"},
        {"a=1&mycall=DL1%2FP&b=2", "DL1/P"},
        {"mycall=", ""},
        {"mycall", ""},
        {"mycall=DL1%4", "DL1%4"},
        {"mycall=%zzX", "%zzX"},
        {"mycallx=1&xmycall=2", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(QueryValue(c.query, "mycall"), c.value) << c.query;
}

std::string Head(const std::string& status, std::size_t length, const std::string& extra = "") {
    return "HTTP/1.0 " + status +
           "\r\nServer: skimby-practice\r\nContent-Type: text/plain\r\nContent-Length: " +
           std::to_string(length) + "\r\n" + extra + "Connection: close\r\n\r\n";
}

std::string Answer(const std::string& head, const TMemberList& members) {
    return FormatReply(AnswerRequest(head, members));
}

TEST(PracticeHttp, AnswersTheMemberListRequestInFull) {
    const TMemberList members(4, 5);
    const std::string body = members.Body("OH1KAV");
    // The request exactly as the program sends it.
    const std::string request =
        "GET /rbndata2.php?mycall=OH1KAV HTTP/1.0\r\nHost: 127.0.0.1\r\n"
        "Accept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Skimby)\r\n\r\n";
    EXPECT_EQ(Answer(request, members), Head("200 OK", body.size()) + body);
    EXPECT_EQ(Answer("HEAD /rbndata2.php?mycall=OH1KAV HTTP/1.0\r\n\r\n", members),
              Head("200 OK", body.size()));
    // An escaped call, and none at all.
    EXPECT_EQ(Answer("GET /rbndata2.php?x=1&mycall=OH1KAV%2FP HTTP/1.1\r\n\r\n", members),
              Head("200 OK", members.Body("OH1KAV/P").size()) + members.Body("OH1KAV/P"));
    EXPECT_EQ(Answer("GET /rbndata2.php HTTP/1.0\r\n\r\n", members),
              Head("200 OK", members.Body("").size()) + members.Body(""));
}

TEST(PracticeHttp, RefusesOtherPathsMethodsAndGarbage) {
    const TMemberList members(4, 5);
    struct Case {
        std::string request;
        std::string reply;
    } cases[] = {
        {"GET / HTTP/1.0\r\n\r\n", Head("404 Not Found", 15) + "404 Not Found\r\n"},
        {"GET /rbndata2.phpx?mycall=A1B HTTP/1.0\r\n\r\n",
         Head("404 Not Found", 15) + "404 Not Found\r\n"},
        {"GET /RBNDATA2.PHP HTTP/1.0\r\n\r\n", Head("404 Not Found", 15) + "404 Not Found\r\n"},
        {"POST /rbndata2.php HTTP/1.0\r\n\r\n",
         Head("405 Method Not Allowed", 24, "Allow: GET, HEAD\r\n") + "405 Method Not Allowed\r\n"},
        {"hello\r\n\r\n", Head("400 Bad Request", 17) + "400 Bad Request\r\n"},
        {"\r\n", Head("400 Bad Request", 17) + "400 Bad Request\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Answer(c.request, members), c.reply) << c.request;
}

}  // namespace
}  // namespace skimby::practice
