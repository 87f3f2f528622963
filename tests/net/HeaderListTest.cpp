#include "net/HeaderList.h"

#include <gtest/gtest.h>

#include <vector>

namespace skimby {
namespace {

THeaderList ListOf(const std::vector<std::string>& lines) {
    THeaderList list;
    for (const std::string& line : lines) list.Add(line);
    return list;
}

struct TValueCase {
    std::vector<std::string> Lines;
    const char* Name;
    const char* Want;
};

void PrintTo(const TValueCase& c, std::ostream* out) {
    *out << testing::PrintToString(std::string(c.Name)) << " in "
         << testing::PrintToString(c.Lines);
}

class HeaderValueTest : public testing::TestWithParam<TValueCase> {};

TEST_P(HeaderValueTest, FindsTheValue) {
    const TValueCase& c = GetParam();
    EXPECT_EQ(ListOf(c.Lines).Value(c.Name), c.Want);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HeaderValueTest,
    testing::Values(TValueCase{{"Content-Type: text/plain"}, "content-TYPE", "text/plain"},
                    // The name is not trimmed.
                    TValueCase{{"Content-Length : 5"}, "Content-Length", ""},
                    TValueCase{{"Content-Length : 5"}, "Content-Length ", "5"},
                    // Leading blanks go, trailing ones stay.
                    TValueCase{{"X:  \t a b  "}, "X", "a b  "}, TValueCase{{"X:"}, "X", ""},
                    // The first of duplicates wins.
                    TValueCase{{"X: 1", "X: 2"}, "x", "1"},
                    // Only the first ":" separates.
                    TValueCase{{"Location: http://h:81/x"}, "Location", "http://h:81/x"},
                    // Continuation lines join with one space, or directly after a blank.
                    TValueCase{{"X: a", " b", "\t\tc", "Y: d"}, "X", "a b c"},
                    TValueCase{{"X: a ", "   b"}, "X", "a b"},
                    TValueCase{{"X: a\t", " b"}, "X", "a\tb"},
                    TValueCase{{"X: a", "", " b"}, "X", "a"},
                    TValueCase{{"Y: 1", " more", "X: 2"}, "X", "2"},
                    // A line without ":" has the empty name.
                    TValueCase{{"garbage", "X: 1"}, "", ""}, TValueCase{{"X: 1"}, "Missing", ""},
                    TValueCase{{}, "X", ""}));

TEST(HeaderList, LooksUpTheFirstLineWithTheName) {
    const THeaderList list = ListOf({"garbage", "A: 1", "a: 2"});
    EXPECT_EQ(list.IndexOfName("A"), 1);
    EXPECT_EQ(list.IndexOfName(""), 0);
    EXPECT_EQ(list.IndexOfName("B"), -1);
}

TEST(HeaderList, RemovesTheFirstLineWithItsContinuationLines) {
    THeaderList list = ListOf({"A: 1", " cont", "\tcont", "B: 2", " b-cont", "a: 3"});
    list.Remove("a");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"B: 2", " b-cont", "a: 3"}));
    list.Remove("A");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"B: 2", " b-cont"}));
    list.Remove("Missing");
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"B: 2", " b-cont"}));
    list.Clear();
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace skimby
