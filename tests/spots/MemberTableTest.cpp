#include "spots/MemberTable.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>
#include <vector>

#include "support/ResourceUse.h"

namespace skimby {
namespace {

using TRows = std::vector<std::vector<std::string>>;

// Every expected field reads back, and fields past the expected ones read empty.
void ExpectRows(const TMemberTable& table, const TRows& rows, const std::string& what) {
    ASSERT_EQ(table.RowCount(), static_cast<int>(rows.size())) << what;
    for (int r = 0; r < table.RowCount(); ++r) {
        const auto& fields = rows[static_cast<std::size_t>(r)];
        for (std::size_t f = 0; f < fields.size(); ++f)
            EXPECT_EQ(table.Field(r, static_cast<int>(f)), fields[f]) << what << " row " << r;
        EXPECT_EQ(table.Field(r, static_cast<int>(fields.size())), "") << what << " row " << r;
        EXPECT_EQ(table.Field(r, 99), "") << what;
    }
}

TEST(MemberTable, StartsAsOneRowOfEmptyFields) {
    TMemberTable table;
    ExpectRows(table, {{""}}, "start");
    EXPECT_EQ(table.LookupMember(""), 0);
    EXPECT_EQ(table.LookupMember("DL9ABC"), std::nullopt);
}

TEST(MemberTable, BodiesAreCutAtCrLfPairsAndTabs) {
    struct Case {
        std::string body;
        TRows rows;
    } cases[] = {
        {"DL9ABC\tHans\tBerlin\tYes\t3\r\nK9ABC\tBob\tChicago\tNo\t0\r\n",
         {{"DL9ABC", "Hans", "Berlin", "Yes", "3"}, {"K9ABC", "Bob", "Chicago", "No", "0"}, {""}}},
        {"", {{""}}},
        {"\r\n", {{""}, {""}}},
        {"DL9ABC", {{"DL9ABC"}}},
        {"A\t\tB\t", {{"A", "", "B", ""}}},
        {"\tname", {{"", "name"}}},
        // A lone CR or LF is text; only CR LF ends a line.
        {"A\rB\tx\ny\r\n\r\rC", {{"A\rB", "x\ny"}, {"\r\rC"}}},
        {"A\r\r\nB\n\r\n", {{"A\r"}, {"B\n"}, {""}}},
        // Fields after the fifth are kept and change nothing.
        {"A\t1\t2\t3\t4\t5\t6\t7", {{"A", "1", "2", "3", "4", "5", "6", "7"}}},
    };
    for (const auto& c : cases) {
        TMemberTable table;
        table.FillMemberTable(c.body);
        ExpectRows(table, c.rows, testing::PrintToString(c.body));
    }
}

TEST(MemberTable, LookupFindsTheLastExactMatch) {
    TMemberTable table;
    table.FillMemberTable(
        "DL9ABC\tHans\tBerlin\tYes\t3\r\n"
        "\tno call\r\n"
        "K9ABC\tBob\r\n"
        "DL9ABC\tHans2\tPotsdam\tNo\t4\r\n"
        "OH2XX \tTrailing");
    struct Case {
        const char* call;
        std::optional<int> row;
    } cases[] = {
        {"DL9ABC", 3},
        {"K9ABC", 2},
        {"dl9abc", std::nullopt},
        {"DL9ABC ", std::nullopt},
        {"OH2XX", std::nullopt},
        {"OH2XX ", 4},
        {"", 1},
        {"DL9AB", std::nullopt},
        {"Hans", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(table.LookupMember(c.call), c.row) << c.call;

    // With an empty last line, the empty call finds that line instead.
    table.FillMemberTable("\tno call\r\nK9ABC\r\n");
    EXPECT_EQ(table.LookupMember(""), 2);
}

TEST(MemberTable, AFillReplacesEverythingOfTheOldList) {
    TMemberTable table;
    table.FillMemberTable("DL9ABC\tHans\tBerlin\tYes\t3\r\nK9ABC\tBob\tChicago\tNo\t0");
    table.FillMemberTable("SM9XYZ\tSven");
    ExpectRows(table, {{"SM9XYZ", "Sven"}}, "refill");
    EXPECT_EQ(table.LookupMember("K9ABC"), std::nullopt);
    EXPECT_EQ(table.LookupMember("DL9ABC"), std::nullopt);
    EXPECT_EQ(table.LookupMember(""), std::nullopt);
    EXPECT_EQ(table.LookupMember("SM9XYZ"), 0);
}

// The index must give what a scan of every row gives, on lists full of
// duplicates, empty calls and near-misses.
TEST(MemberTable, LookupAgreesWithAScanOfAllRows) {
    // Calls of 11 bytes and more are stored apart from short ones.
    const char* pieces[] = {"A",
                            "B",
                            "a",
                            "A ",
                            "",
                            "\t",
                            "\r\n",
                            "\r",
                            "\n",
                            "x",
                            "ABCDEFGHIJK",
                            "ABCDEFGHIJKL",
                            "ABCDEFGHIJKLM"};
    const char* calls[] = {"A",
                           "B",
                           "a",
                           "A ",
                           "",
                           "x",
                           "Ax",
                           "\r",
                           "\n",
                           "AA",
                           "ABCDEFGHIJK",
                           "ABCDEFGHIJKL",
                           "ABCDEFGHIJKLM",
                           "ABCDEFGHIJKLMA"};
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string body;
        const int length = static_cast<int>(random() % 30);
        for (int i = 0; i < length; ++i) body += pieces[random() % std::size(pieces)];
        TMemberTable table;
        table.FillMemberTable(body);
        for (const char* call : calls) {
            std::optional<int> scan;
            for (int r = 0; r < table.RowCount(); ++r)
                if (table.Field(r, 0) == call) scan = r;
            ASSERT_EQ(table.LookupMember(call), scan)
                << testing::PrintToString(body) << " call " << testing::PrintToString(call);
        }
    }
}

std::string CallNumber(unsigned n) {
    std::string call = "C";
    call += std::to_string(n);
    return call;
}

TEST(MemberTable, LookupAgreesWithAScanOnALargeList) {
    // Many rows, repeated calls, and a copy of the table answering alike.
    std::mt19937 random(11);
    std::string body;
    std::vector<std::string> calls;
    for (int i = 0; i < 30000; ++i) {
        std::string call = CallNumber(random() % 20000);
        body += call + "\t" + std::to_string(i) + "\r\n";
        calls.push_back(std::move(call));
    }
    TMemberTable table;
    table.FillMemberTable(body);
    const TMemberTable copy = table;
    std::unordered_map<std::string, int> last;
    for (int r = 0; r < table.RowCount(); ++r) last[std::string(table.Field(r, 0))] = r;
    for (int n = 0; n < 21000; ++n) {
        const std::string call = CallNumber(static_cast<unsigned>(n));
        const auto found = last.find(call);
        const std::optional<int> expected =
            found == last.end() ? std::nullopt : std::optional<int>(found->second);
        ASSERT_EQ(table.LookupMember(call), expected) << call;
        ASSERT_EQ(copy.LookupMember(call), expected) << call;
    }
    EXPECT_EQ(table.LookupMember(""), 30000);
}

// A body near the reply size limit (64 MiB) of empty fields or rows used to
// take seconds and gigabytes: a string per field and a vector per row.
TEST(MemberTable, HugeBodiesStayCloseToTheirOwnSize) {
    constexpr std::size_t Size = 48 * MiB;
    const struct {
        const char* name;
        std::string unit;
        int rows;
    } cases[] = {
        {"one row of TABs", "\t", 2},
        {"empty rows", "\r\n", TMemberTable::MaxRows},
        {"short rows", "ab\tc\r\n", TMemberTable::MaxRows},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string body;
        body.reserve(Size + 64);
        while (body.size() < Size) body += c.unit;
        body += "\r\nLAST\tafter the limit";
        TMemberTable table;
        const TResourceUse use(std::string("member list of 48 MiB: ") + c.name);
        table.FillMemberTable(body);
        use.Report(std::to_string(table.RowCount()) + " rows kept");
        EXPECT_LT(use.PeakGrowth(), 4 * Size * MemoryBoundScale);
        EXPECT_EQ(table.RowCount(), c.rows);
        EXPECT_EQ(table.Field(0, 4), "");
        EXPECT_EQ(table.LookupMember("LAST").has_value(), c.rows < TMemberTable::MaxRows);
    }
}

}  // namespace
}  // namespace skimby
