#include "spots/SpotLine.h"

#include <gtest/gtest.h>

#include "SpotsTestSupport.h"

namespace skimby {
namespace {

// "·" in the tables stands for one space, so the column layout stays visible.
std::string Spaces(std::string_view text) {
    std::string out;
    for (std::size_t p; (p = text.find("\xC2\xB7")) != std::string_view::npos;) {
        out.append(text.substr(0, p)).push_back(' ');
        text.remove_prefix(p + 2);
    }
    return out.append(text);
}

using SpotLine = CommaMarkTest;

TEST_F(SpotLine, FrequencyIsReadWithTheFirstDotAsMarkAndWrittenBack) {
    struct Case {
        const char* received;
        const char* text;  // nullptr: not a number
    } cases[] = {
        {"7023.5", "7023,5"},
        {"14025.0", "14025,0"},
        {"14000", "14000,0"},
        {"7023.50", "7023,5"},
        {"10368000.1", "10368000,1"},
        {"7023,5", "7023,5"},
        {"1.296.000", nullptr},
        {"", nullptr},
        {"7O23.5", nullptr},
        {"14.025,0", nullptr},
        {"-1.5", "-1,5"},
        {"+3e2", "300,0"},
        {"1e15", "1E15,0"},  // exponent form has no mark, so ",0" follows it
        {"0.00001", "1E-5,0"},
        {"0.0001", "0,0001"},
        {"1234567.123456789012", "1234567,12345679"},
    };
    for (const auto& c : cases) {
        std::string out;
        const bool ok = FrequencyText(c.received, out);
        EXPECT_EQ(ok, c.text != nullptr) << c.received;
        if (ok && c.text) {
            EXPECT_EQ(out, c.text) << c.received;
        }
    }
}

TEST_F(SpotLine, LinesAreTakenApartIntoTheirFourTexts) {
    struct Case {
        const char* line;
        bool spot;
        const char* spotter;
        const char* frequency;
        const char* call;
        const char* info;
    } cases[] = {
        {"DX·de·W9XYZ-#:···14025.0··DL9ABC·········CW····18·dB··25·WPM··CQ······1234Z", true,
         "W9XYZ-#", "14025,0", "DL9ABC", "CW·18·dB··25·WPM··CQ··1234Z"},
        {"DX·de·W9XYZ-#:····7023.5··K9ABC··········CW····11·dB··19·WPM··CQ······0915Z", true,
         "W9XYZ-#", "7023,5", "K9ABC", "CW·11·dB··19·WPM··CQ··0915Z"},
        {"DX·de·W9XYZ-#:···14080.0··SM9XYZ·········RTTY··20·dB··45·BPS··CQ······1234Z", true,
         "W9XYZ-#", "14080,0", "SM9XYZ", "RTTY··20·dB··45·BPS··CQ··1234Z"},
        // Cut by a read boundary: no call, or no frequency at all.
        {"DX·de·W9XYZ-#:···14025.0··DL9A", true, "W9XYZ-#", "14025,0", "", "DL9A"},
        {"DX·de·W9XYZ-#:···140", false, "", "", "", ""},
        {"DX·de·W9XYZ-#:···1.296.000·DL9ABC·CW", false, "", "", "", ""},
        // Long skimmer call squeezing the frequency column, two decimals.
        {"DX·de·KM3T-2-#:14025.25·DL9ABC·CW", true, "KM3T-2-#", "14025,25", "DL9ABC", "CW"},
        // Without ":" the frequency is read right after "DX de ".
        {"DX·de·7023.5·K9ABC·SSB·12·dB", true, "", "7023,5", "K9ABC", "SSB·12·dB"},
        // Only the first ":" ends the spotter.
        {"DX·de·A:B:·7023.5·K9ABC·X", false, "", "", "", ""},
        // Control bytes before the frequency and the call are skipped too.
        {"DX·de·W9XYZ-#:\t\t7023.5·\tK9ABC·SSB", true, "W9XYZ-#", "7023,5", "K9ABC", "SSB"},
        // Bytes above 127 are text, not blanks.
        {"DX·de·\xC4X:·7023.5·\xC4K9·\xE9te", true, "\xC4X", "7023,5", "\xC4K9", "\xE9te"},
        // The three bytes after CW go whatever they are; fewer when short.
        {"DX·de·S:·7023.5·K9ABC·CWxyzABC", true, "S", "7023,5", "K9ABC", "CWABC"},
        {"DX·de·S:·7023.5·K9ABC·CWx", true, "S", "7023,5", "K9ABC", "CW"},
        {"DX·de·S:·7023.5·K9ABC·CW", true, "S", "7023,5", "K9ABC", "CW"},
        // Only the first run of four spaces goes, and only four of it.
        {"DX·de·S:·7023.5·K9ABC·FT8·······a····b", true, "S", "7023,5", "K9ABC", "FT8···a····b"},
        // Without a space after the call, the call is empty and the rest is info.
        {"DX·de·S:·7023.5·K9ABC", true, "S", "7023,5", "", "K9ABC"},
        {"DX·de·S:·7023.5·", true, "S", "7023,5", "", ""},
    };
    for (const auto& c : cases) {
        const std::string line = Spaces(c.line);
        ASSERT_TRUE(IsSpotLine(line)) << line;
        TSpot spot{"old", "old", "old", "old"};
        EXPECT_EQ(ParseSpotLine(line, spot), c.spot) << line;
        if (!c.spot) continue;
        EXPECT_EQ(spot.Spotter, Spaces(c.spotter)) << line;
        EXPECT_EQ(spot.Frequency, c.frequency) << line;
        EXPECT_EQ(spot.Call, Spaces(c.call)) << line;
        EXPECT_EQ(spot.Info, Spaces(c.info)) << line;
    }
}

TEST(SpotLineStart, OnlyExactDxDeSpaceAtTheStartMakesASpotLine) {
    struct Case {
        const char* line;
        bool spot;
    } cases[] = {
        {"DX de W9XYZ-#: 7023.5 K9ABC", true},
        {"DX de ", true},
        {" DX de W9XYZ-#: 7023.5 K9ABC", false},
        {"\nDX de W9XYZ-#: 7023.5 K9ABC", false},
        {"dx de W9XYZ-#: 7023.5 K9ABC", false},
        {"DX De W9XYZ-#: 7023.5 K9ABC", false},
        {"DX de\tW9XYZ-#: 7023.5 K9ABC", false},
        {"DX de", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSpotLine(c.line), c.spot) << '"' << c.line << '"';
}

}  // namespace
}  // namespace skimby
