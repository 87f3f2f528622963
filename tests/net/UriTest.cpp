#include "net/Uri.h"

#include <gtest/gtest.h>

namespace skimby {
namespace {

struct TSplitCase {
    const char* Url;
    TUrlParts Want;
};

void PrintTo(const TSplitCase& c, std::ostream* out) {
    *out << testing::PrintToString(std::string(c.Url));
}

class SplitUrlTest : public testing::TestWithParam<TSplitCase> {};

TEST_P(SplitUrlTest, SplitsIntoSixParts) {
    const TSplitCase& c = GetParam();
    const TUrlParts got = TUri::SplitUrl(c.Url);
    EXPECT_EQ(got.Scheme, c.Want.Scheme);
    EXPECT_EQ(got.Host, c.Want.Host);
    EXPECT_EQ(got.Port, c.Want.Port);
    EXPECT_EQ(got.Path, c.Want.Path);
    EXPECT_EQ(got.Document, c.Want.Document);
    EXPECT_EQ(got.Fragment, c.Want.Fragment);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, SplitUrlTest,
    testing::Values(
        // The member list.
        TSplitCase{"http://kavra.example/rbndata2.php?mycall=DL1ABC",
                   {"http", "kavra.example", "", "/", "rbndata2.php?mycall=DL1ABC", ""}},
        // A call with "/" moves its front into the path.
        TSplitCase{"http://kavra.example/rbndata2.php?mycall=DL/PA3XYZ/P",
                   {"http", "kavra.example", "", "/rbndata2.php?mycall=DL/PA3XYZ/", "P", ""}},
        // Spaces are not escaped.
        TSplitCase{"http://h/rbndata2.php?mycall=DL1 ABC",
                   {"http", "h", "", "/", "rbndata2.php?mycall=DL1 ABC", ""}},
        TSplitCase{"http://host", {"http", "host", "", "/", "", ""}},
        TSplitCase{"http://host/", {"http", "host", "", "/", "", ""}},
        TSplitCase{"http://host:8080/a/b.php?x=1",
                   {"http", "host", "8080", "/a/", "b.php?x=1", ""}},
        TSplitCase{"http://host:8080", {"http", "host", "8080", "/", "", ""}},
        TSplitCase{"http://host:/x", {"http", "host", "", "/", "x", ""}},
        TSplitCase{"http:\\\\host\\dir\\file.txt", {"http", "host", "", "/dir/", "file.txt", ""}},
        TSplitCase{"http://h/dir/doc.html#top#more",
                   {"http", "h", "", "/dir/", "doc.html", "top#more"}},
        TSplitCase{"http://h/a#frag/b", {"http", "h", "", "/a#frag/", "b", ""}},
        TSplitCase{"https://secure.example/x", {"https", "secure.example", "", "/", "x", ""}},
        // Relative targets keep no host.
        TSplitCase{"next.php", {"", "", "", "/", "next.php", ""}},
        TSplitCase{"a/b.php", {"", "", "", "/a/", "b.php", ""}},
        TSplitCase{"/abs/x?q", {"", "", "", "/abs/", "x?q", ""}},
        TSplitCase{"", {"", "", "", "/", "", ""}}));

TEST(SplitUrl, TargetIsTheSameTextWhereverTheLastSlashFalls) {
    for (const char* call : {"DL1ABC", "DL/PA3XYZ", "A/B/C"}) {
        const std::string document = std::string("rbndata2.php?mycall=") + call;
        const TUrlParts parts = TUri::SplitUrl("http://kavra.example/" + document);
        EXPECT_EQ(parts.Path + parts.Document, "/" + document) << call;
    }
}

TEST(SplitUrl, PortTextIsReadAsADecimalNumber) {
    EXPECT_EQ(TUri::PortNumber("8080"), 8080);
    EXPECT_EQ(TUri::PortNumber("0080"), 80);
    EXPECT_EQ(TUri::PortNumber(""), std::nullopt);
    EXPECT_EQ(TUri::PortNumber("80a"), std::nullopt);
    EXPECT_EQ(TUri::PortNumber(" 80"), std::nullopt);
    EXPECT_EQ(TUri::PortNumber("$50"), std::nullopt);
    EXPECT_EQ(TUri::PortNumber("99999999999"), std::nullopt);
}

}  // namespace
}  // namespace skimby
