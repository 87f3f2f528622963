#include "settings/ServerList.h"

#include <gtest/gtest.h>

#include "platform/FileText.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace skimby {
namespace {

using TRows = std::vector<std::vector<std::string>>;

// Every row with as many fields as the widest one, for comparing whole lists.
TRows RowsOf(const TServerList& list, int cols = 4) {
    TRows rows;
    for (int r = 0; r < list.RowCount(); ++r) {
        rows.emplace_back();
        for (int c = 0; c < cols; ++c) rows.back().push_back(list.Cell(c, r));
    }
    return rows;
}

TEST(ServerList, LineEndVariantsGiveTheSameRows) {
    const TRows twoServers = {{"Main", "main.example.net", "23", ""},
                              {"Backup", "10.0.0.2", "7300", ""}};
    for (const char* text : {
             "Main\tmain.example.net\t23\r\nBackup\t10.0.0.2\t7300\r\n",
             "Main\tmain.example.net\t23\nBackup\t10.0.0.2\t7300\n",
             "Main\tmain.example.net\t23\rBackup\t10.0.0.2\t7300\r",
             "Main\tmain.example.net\t23\r\nBackup\t10.0.0.2\t7300",
             "Main\tmain.example.net\t23\nBackup\t10.0.0.2\t7300\r\n",
         }) {
        TServerList list;
        list.LoadFromText(text);
        EXPECT_EQ(RowsOf(list), twoServers) << '"' << text << '"';
    }
}

TEST(ServerList, CutsLinesAndFieldsByTheirRules) {
    using namespace std::string_literals;
    struct Case {
        std::string text;
        TRows rows;
    } cases[] = {
        {"", {{"", "", "", ""}}},
        {"\n", {{"", "", "", ""}}},
        {"a\n\rb", {{"a", "", "", ""}, {"", "", "", ""}, {"b", "", "", ""}}},
        {"a\r\rb", {{"a", "", "", ""}, {"", "", "", ""}, {"b", "", "", ""}}},
        {"a\n\nb\n", {{"a", "", "", ""}, {"", "", "", ""}, {"b", "", "", ""}}},
        {"a\tb\0c\nd"s, {{"a", "b", "", ""}}},
        {"\0a\nb"s, {{"", "", "", ""}}},
        {"Only a name", {{"Only a name", "", "", ""}}},
        {"\t\t", {{"", "", "", ""}}},
        {"n\th\t7000\textra\tmore", {{"n", "h", "7000", "extra"}}},
        {"n\t\t7000\t", {{"n", "", "7000", ""}}},
    };
    for (const auto& c : cases) {
        TServerList list;
        list.LoadFromText(c.text);
        EXPECT_EQ(RowsOf(list), c.rows) << '"' << c.text << '"';
    }
}

TEST(ServerList, KeepsFieldsBeyondThePort) {
    TServerList list;
    list.LoadFromText("n\th\t7000\textra\tmore\n");
    EXPECT_EQ(list.Cell(4, 0), "more");
    EXPECT_EQ(list.Cell(5, 0), "");
    EXPECT_EQ(list.Cell(0, 1), "");
    EXPECT_EQ(list.Cell(-1, 0), "");
}

TEST(ServerList, ReadsTheFileAndStartsAtRowZero) {
    TTempFolder dir;
    WriteBytes(dir.File("telnet.ini"), "Main\tmain.example.net\t23\nBackup\t10.0.0.2\t7300\n");
    TServerList list;
    list.SetServerRow(1);
    list.LoadFromFile(dir.File("telnet.ini"));
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.ServerRow(), 0);
    EXPECT_EQ(list.Port(1), "7300");
}

TEST(ServerList, UnreadableFileFailsWithItsFullPathAndLeavesOneEmptyRow) {
    TTempFolder dir;
    WriteBytes(dir.File("other.ini"), "Main\th\t23\nBackup\th\t7300\n");
    ASSERT_EQ(mkdir(dir.File("folder.ini").c_str(), 0700), 0);
    for (const std::string& name : {dir.File("telnet.ini"), dir.File("folder.ini")}) {
        TServerList list;
        list.LoadFromFile(dir.File("other.ini"));
        try {
            list.LoadFromFile(name);
            ADD_FAILURE() << "no error for " << name;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message(), "Cannot open file " + name);
        }
        EXPECT_EQ(RowsOf(list, 3), (TRows{{"", "", ""}}));
    }
}

// A huge file, a named pipe or a device in place of the list fails at once
// with the list's own error, as an unreadable file does.
TEST(ServerList, HugeOrSpecialFileFailsLikeAnUnreadableOne) {
    TTempFolder dir;
    const std::string line = "Main\th\t23\n";
    WriteSparseFile(dir.File("huge.ini"), line, std::uint64_t{1} << 40);
    WriteSparseFile(dir.File("over.ini"), line, (16 << 20) + 1);
    ASSERT_EQ(mkfifo(dir.File("pipe.ini").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/null", dir.File("device.ini").c_str()), 0);
    for (const char* name : {"huge.ini", "over.ini", "pipe.ini", "device.ini"}) {
        const std::string file = dir.File(name);
        RunBounded([&] {
            TServerList list;
            try {
                list.LoadFromFile(file);
                ADD_FAILURE() << "no error for " << file;
            } catch (const EFOpenError& e) {
                EXPECT_EQ(e.Message(), "Cannot open file " + file);
            }
            EXPECT_EQ(RowsOf(list, 3), (TRows{{"", "", ""}}));
        });
    }

    // Up to 16 MiB is read; the zero bytes after the line end the text.
    WriteSparseFile(dir.File("full.ini"), line, 16 << 20);
    TServerList list;
    list.LoadFromFile(dir.File("full.ini"));
    EXPECT_EQ(RowsOf(list, 3), (TRows{{"Main", "h", "23"}}));
}

}  // namespace
}  // namespace skimby
