#include "net/HttpDate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace skimby {
namespace {

// 1994-11-06 08:49:37 UTC in days since 1899-12-30.
constexpr double kExample = 34644 + (8 * 3600 + 49 * 60 + 37) / 86400.0;

void ExpectDate(const std::string& text, double want) {
    EXPECT_NEAR(ParseHttpDate(text), want, 1e-9) << text;
}

TEST(ParseHttpDate, ReadsTheThreeFormsAndLooseVariants) {
    for (const char* text : {
             "Sun, 06 Nov 1994 08:49:37 GMT",
             "Sunday, 06-Nov-94 08:49:37 GMT",
             "Sun Nov  6 08:49:37 1994",
             "sun, 6 nov 1994 08:49:37 gmt",
             "06 Nov 1994 08:49:37",
             "Sun, 06 November 1994 08:49:37 UTC",
             "Sun, 06 Nov 1994 10:49:37 +0200",
             "Sun, 06 Nov 1994 03:49:37 EST",
             "Sun, 06 Nov 1994 03:49:37 -0500",
             "  Sun,06 Nov 1994 08:49:37 GMT  ",
         })
        ExpectDate(text, kExample);
}

TEST(ParseHttpDate, CalendarEdges) {
    ExpectDate("Thu, 01 Jan 1970 00:00:00 GMT", 25569);
    ExpectDate("Sat, 30 Dec 1899 00:00:00 GMT", 0);
    ExpectDate("Tue, 29 Feb 2000 12:00:00 GMT", 36585.5);
    ExpectDate("Friday, 01-Jan-49 00:00:00 GMT", 54424);               // 2049
    ExpectDate("Sunday, 01-Jan-50 00:00:00 GMT", 18264);               // 1950
    ExpectDate("Fri, 31 Dec 1999 23:59:60 GMT", 36526 - 1 / 86400.0);  // leap second
    ExpectDate("Mon, 01 Jan 2024", 45292);                             // no time of day
}

TEST(ParseHttpDate, UnreadableTextGivesZero) {
    for (const char* text : {
             "",
             "garbage",
             "0",
             "-1",
             ",,,",
             "+",
             "--",
             "::::",
             "Sun, 31 Feb 2020 00:00:00 GMT",  // no such day
             "Sun, 29 Feb 1900 00:00:00 GMT",  // not a leap year
             "Sun, 00 Nov 1994 08:49:37 GMT",
             "Sun, 06 Nov 1994 24:00:00 GMT",
             "Sun, 06 Nov 1994 08:61:00 GMT",
             "Sun, 06 Foo 1994 08:49:37 GMT",
             "Sun, 06 Nov 99999999999999999999 08:49:37 GMT",
             "Sun, 06 Nov 1994 999999999999:49:37 GMT",
         })
        EXPECT_EQ(ParseHttpDate(text), 0) << text;
}

TEST(ParseHttpDate, NeverFailsOnArbitraryBytes) {
    // Every short mix of the bytes a date is made of, and a few odd ones.
    const std::string alphabet = "0123:, -+ZNovGMT\t\x01\xff";
    std::string text;
    for (std::size_t n = 0; n < 200000; ++n) {
        text.clear();
        for (std::size_t v = n; v; v /= alphabet.size()) text += alphabet[v % alphabet.size()];
        const double value = ParseHttpDate(text);
        ASSERT_TRUE(std::isfinite(value)) << text;
    }
    EXPECT_EQ(ParseHttpDate(std::string(100000, '1')), 0);
}

}  // namespace
}  // namespace skimby
