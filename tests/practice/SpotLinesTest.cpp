#include "practice-server/SpotLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "practice-server/LineSchedule.h"
#include "practice-server/MemberList.h"
#include "spots/MemberTable.h"
#include "spots/SpotLine.h"
#include "support/CommaMarkTest.h"

namespace skimby::practice {
namespace {

TEST(PracticeSpotLines, FollowTheClusterColumns) {
    struct Case {
        TSpotFields spot;
        std::string line;
    } cases[] = {
        {{"LZ4UX-#", "7018.3", "RW1M", "CW", 13, 18, "CQ", "2259"},
         "DX de LZ4UX-#:    7018.3  RW1M           CW    13 dB  18 WPM  CQ      2259Z"},
        {{"W9XYZ-#", "14080.0", "SM9XYZ", "RTTY", 20, 45, "CQ", "1234"},
         "DX de W9XYZ-#:   14080.0  SM9XYZ         RTTY  20 dB  45 BPS  CQ      1234Z"},
        {{"KM3T-2-#", "14025.0", "DL9ABC", "CW", 5, 25, "BEACON", "0001"},
         "DX de KM3T-2-#:  14025.0  DL9ABC         CW     5 dB  25 WPM  BEACON  0001Z"},
        // A long skimmer call and two decimals: one space left before the
        // frequency, and the mode stays in column 42.
        {{"NU6XB-2-#", "10113.18", "OK6ES", "CW", 32, 18, "DX", "0915"},
         "DX de NU6XB-2-#: 10113.18  OK6ES         CW    32 dB  18 WPM  DX      0915Z"},
        // A long call keeps one space before the mode and shifts the rest.
        {{"W3OA-#", "7001.0", "VP2E/W1ABC/QRP", "CW", 9, 30, "CQ", "2359"},
         "DX de W3OA-#:     7001.0  VP2E/W1ABC/QRP CW     9 dB  30 WPM  CQ      2359Z"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatSpotLine(c.spot), c.line);
    EXPECT_EQ(FormatSpotLine(cases[0].spot).size(), 75u);
}

TEST(PracticeSpotLines, TimeIsUtcHoursAndMinutes) {
    EXPECT_EQ(UtcTime(0), "0000");
    EXPECT_EQ(UtcTime(86399), "2359");
    EXPECT_EQ(UtcTime(1700000000), "2213");  // 2023-11-14 22:13:20 UTC
}

// Lines as the generator makes them, against the layout and against the
// program's own spot parser and member table: what the generator calls a
// member spot is exactly what the program finds in the served list.
class PracticeSpotGenerator : public CommaMarkTest {
  protected:
    TMemberList Members{42, 60};
    const std::string Operator = "OH1KAV";

    struct TRun {
        int Lines = 0;
        int Members = 0;
        int Own = 0;
    };

    TRun Generate(double share, int count, std::uint64_t seed = 5) {
        TMemberTable table;
        table.FillMemberTable(Members.Body(Operator));
        TSpotGenerator generator(Members, Operator, share, seed);
        static const std::regex layout(
            "DX de [A-Z0-9]+(-[0-9])?-#: +[0-9]{4,5}\\.[0-9]{1,2}  [A-Z0-9/]+ +(CW|RTTY) +"
            "[0-9]{1,2} dB +[0-9]{2} (WPM|BPS)  (CQ|DX|BEACON) +[0-9]{4}Z");
        TRun run;
        TSpot spot;
        for (int i = 0; i < count; ++i) {
            const std::string line = FormatSpotLine(generator.Next("1234"));
            EXPECT_TRUE(std::regex_match(line, layout)) << line;
            EXPECT_TRUE(ParseSpotLine(line, spot)) << line;
            EXPECT_TRUE(spot.Spotter.ends_with("-#")) << line;
            EXPECT_FALSE(spot.Call.empty()) << line;
            // The frequency ends in column 24 unless a long skimmer call
            // pushes it, and the call starts two spaces after it.
            const std::size_t colon = line.find(':');
            const std::size_t start = line.find_first_not_of(' ', colon + 1);
            const std::size_t end = line.find(' ', start);
            if (colon + 2 + (end - start) <= 24)
                EXPECT_EQ(end, 24u) << line;
            else
                EXPECT_EQ(start, colon + 2) << line;
            EXPECT_EQ(line.compare(end, 2, "  "), 0) << line;
            EXPECT_EQ(line.compare(end + 2, spot.Call.size(), spot.Call), 0) << line;
            const bool member = table.LookupMember(spot.Call).has_value();
            EXPECT_EQ(member, generator.LastWasMember()) << line;
            ++run.Lines;
            run.Members += member;
            run.Own += spot.Call == Operator;
        }
        return run;
    }
};

TEST_F(PracticeSpotGenerator, LinesParseAndMemberSpotsMatchTheServedList) {
    const TRun run = Generate(0.25, 3000);
    EXPECT_GT(run.Members, 3000 * 0.20);
    EXPECT_LT(run.Members, 3000 * 0.30);
    // The operator's own call now and then, among the member spots.
    EXPECT_GT(run.Own, 0);
    EXPECT_LT(run.Own, run.Members / 4);
}

TEST_F(PracticeSpotGenerator, ShareZeroAndOneAreExact) {
    EXPECT_EQ(Generate(0.0, 500).Members, 0);
    const TRun all = Generate(1.0, 500);
    EXPECT_EQ(all.Members, 500);
    EXPECT_GT(all.Own, 0);
}

TEST_F(PracticeSpotGenerator, ASeedRepeatsTheStreamAndAnotherChangesIt) {
    auto lines = [&](std::uint64_t seed, const std::string& call) {
        TSpotGenerator generator(Members, call, 0.3, seed);
        std::string all;
        for (int i = 0; i < 50; ++i) all += FormatSpotLine(generator.Next("0000")) + "\n";
        return all;
    };
    EXPECT_EQ(lines(1, Operator), lines(1, Operator));
    EXPECT_NE(lines(1, Operator), lines(2, Operator));
    EXPECT_NE(lines(1, Operator), lines(1, "DL1ABC"));
}

TEST_F(PracticeSpotGenerator, AnOperatorCallThatIsNoCallIsNeverSpotted) {
    TSpotGenerator generator(Members, "", 1.0, 3);
    for (int i = 0; i < 300; ++i) {
        const TSpotFields spot = generator.Next("0000");
        ASSERT_TRUE(Members.Contains(spot.Call)) << spot.Call;
    }
}

TEST(PracticeLineSchedule, KeepsTheRateOnAverageWithBursts) {
    for (const double rate : {0.5, 10.0, 300.0}) {
        TLineSchedule schedule(rate, 11);
        long total = 0;
        int largest = 0;
        const int steps = 120 * 100;  // two minutes in 10 ms steps
        for (int i = 0; i < steps; ++i) {
            const int n = schedule.Advance(0.01);
            total += n;
            largest = std::max(largest, n);
        }
        const double expected = rate * 120;
        const double burstRoom = std::clamp(2 * rate, 3.0, double(TLineSchedule::MaxBurst));
        EXPECT_LE(total, expected + 1) << rate;
        EXPECT_GE(total, expected - 2 * burstRoom) << rate;
        // The steady stream gives at most ceil(rate / 100) lines a step; more is a burst.
        EXPECT_GE(largest, 3) << rate;
        EXPECT_GT(largest, static_cast<int>(rate / 100) + 1) << rate;
    }
}

TEST(PracticeLineSchedule, AStallDoesNotFloodTheClients) {
    TLineSchedule schedule(10, 3);
    EXPECT_LE(schedule.Advance(3600), 11 + 20);
    EXPECT_LE(schedule.Advance(0.1), 20 + 1);
}

}  // namespace
}  // namespace skimby::practice
