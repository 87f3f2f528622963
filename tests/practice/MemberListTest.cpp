#include "practice-server/MemberList.h"

#include <gtest/gtest.h>

#include <set>

#include "spots/MemberTable.h"

namespace skimby::practice {
namespace {

std::vector<std::string> Split(const std::string& text, const std::string& by) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(by, start)) != std::string::npos;
         start = end + by.size())
        pieces.push_back(text.substr(start, end - start));
    pieces.push_back(text.substr(start));
    return pieces;
}

TEST(PracticeMemberList, BodyIsTabFieldsInCrLfLinesWithTheOperatorFirst) {
    const TMemberList members(9, 80);
    const std::string body = members.Body("OH1KAV");
    ASSERT_TRUE(body.ends_with("\r\n"));
    auto lines = Split(body, "\r\n");
    lines.pop_back();  // after the last CR LF
    ASSERT_EQ(lines.size(), 81u);
    EXPECT_EQ(lines[0], "OH1KAV\tYou\tYour own QTH\tNo\t0");
    std::set<std::string> calls;
    int worked = 0;
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        const auto fields = Split(line, "\t");
        ASSERT_EQ(fields.size(), 5u) << line;
        EXPECT_TRUE(calls.insert(fields[0]).second) << "twice: " << fields[0];
        EXPECT_FALSE(fields[1].empty());
        EXPECT_FALSE(fields[2].empty());
        ASSERT_TRUE(fields[3] == "Yes" || fields[3] == "No") << line;
        const int qsos = std::stoi(fields[4]);
        EXPECT_EQ(std::to_string(qsos), fields[4]);
        EXPECT_EQ(qsos > 0, fields[3] == "Yes") << line;
        worked += fields[3] == "Yes";
    }
    EXPECT_GT(worked, 10);
    EXPECT_LT(worked, 70);
}

TEST(PracticeMemberList, TheProgramsMemberTableFindsEveryMember) {
    const TMemberList members(3, 150);
    TMemberTable table;
    table.FillMemberTable(members.Body("DL1ABC"));
    const auto own = table.LookupMember("DL1ABC");
    ASSERT_TRUE(own.has_value());
    for (const TMember& member : members.Members()) {
        const auto row = table.LookupMember(member.Call);
        ASSERT_TRUE(row.has_value()) << member.Call;
        EXPECT_EQ(table.Field(*row, mfName), member.Name);
        EXPECT_EQ(table.Field(*row, mfWorked), member.Worked ? "Yes" : "No");
    }
}

TEST(PracticeMemberList, TheOperatorRowIsLeftOutWhenNotNeededOrNotACall) {
    const TMemberList members(3, 20);
    const std::string plain = members.Body("");
    // An operator who is a member already is not listed twice.
    EXPECT_EQ(members.Body(members.Members()[5].Call), plain);
    // Text that is no call would break the lines; it is not listed.
    for (const char* text : {"", "AB", "DL1 ABC", "DL1\tABC", "DL1ABC\r\nX", "DL1-ABC", "ABCDEF",
                             "1234", "DL1ABCDEFGHIJKLM"})
        EXPECT_EQ(members.Body(text), plain) << text;
    EXPECT_NE(members.Body("dl1abc"), plain);
    EXPECT_NE(members.Body("DL1ABC/P"), plain);
}

TEST(PracticeMemberList, TheSeedDecides) {
    EXPECT_EQ(TMemberList(1, 30).Body(""), TMemberList(1, 30).Body(""));
    EXPECT_NE(TMemberList(1, 30).Body(""), TMemberList(2, 30).Body(""));
    EXPECT_EQ(TMemberList(1, 1000).Members().size(), 1000u);
}

}  // namespace
}  // namespace skimby::practice
