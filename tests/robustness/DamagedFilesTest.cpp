// Damaged files beside the program, read and written the way start-up and
// close do: a "Skimby.ini" of random bytes or with a 1 MB line, and a
// "telnet.ini" with NUL bytes or a 1 MB line. (Huge, special and unreadable
// files have their tests in tests/settings and tests/platform.)
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/Settings.h"
#include "support/FakeSettingsWindow.h"
#include "support/ResourceUse.h"
#include "support/TempFolder.h"

namespace skimby {
namespace {

using namespace std::string_literals;

const std::string OneMegabyte(1'000'000, 'A');

class DamagedFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteBytes(dir.File("telnet.ini"), "Main\th\t23\r\nBackup\th2\t7300\r\n");
    }
    void Load(TFakeSettingsWindow& into) { LoadSettings(into, servers, dir.Path(), ini); }

    TTempFolder dir;
    const std::string ini = dir.File("Skimby.ini");
    TServerList servers;
};

TEST_F(DamagedFilesTest, SettingsOfRandomBytesReadAsDefaultsAndSavingMendsThem) {
    std::mt19937 random(7);
    std::string bytes;
    while (bytes.size() < 65536) bytes += static_cast<char>(random());
    WriteBytes(ini, bytes);

    TFakeSettingsWindow window;
    const TResourceUse use("Skimby.ini of 64 KiB random bytes");
    Load(window);
    use.Report("every key at its default");
    EXPECT_EQ(window.Call, "NOCALL");
    EXPECT_EQ(window.Index, 0);
    EXPECT_EQ(window.W, DefaultWidth);
    EXPECT_EQ(window.H, DefaultHeight);
    EXPECT_TRUE(window.OnTopFlag);

    // Closing writes the program's keys; the bytes it does not know stay.
    window.Call = "OH2XX";
    window.Index = 1;
    window.W = 500;
    SaveSettings(window, ini);
    EXPECT_EQ(ReadBytes(ini).substr(0, bytes.size()), bytes);
    TFakeSettingsWindow next;
    Load(next);
    EXPECT_EQ(next.Call, "OH2XX");
    EXPECT_EQ(next.Index, 1);
    EXPECT_EQ(next.W, 500);
}

TEST_F(DamagedFilesTest, SettingsWithAMegabyteLineKeepTheOtherKeys) {
    WriteBytes(ini, "[Telnet]\r\nMycall=" + OneMegabyte + "\r\nServnr=1\r\n" + OneMegabyte +
                        "\r\n[Form]\r\nW=500\r\n");
    TFakeSettingsWindow window;
    const TResourceUse use("Skimby.ini with 1 MB lines");
    Load(window);
    use.Report("the long value cut to 2047 bytes, the other keys read");
    EXPECT_LT(use.PeakGrowth(), 64 * MiB * MemoryBoundScale);
    EXPECT_EQ(window.Call, std::string(2047, 'A'));
    EXPECT_EQ(window.Index, 1);
    EXPECT_EQ(window.W, 500);

    window.Call = "OH2XX";
    SaveSettings(window, ini);
    TFakeSettingsWindow next;
    Load(next);
    EXPECT_EQ(next.Call, "OH2XX");
    EXPECT_EQ(next.Index, 1);
    EXPECT_EQ(next.W, 500);
}

TEST_F(DamagedFilesTest, ServerListWithNulBytesOrAMegabyteLine) {
    const struct {
        const char* name;
        std::string text;
        std::vector<std::string> items;
    } cases[] = {
        {"a NUL between lines", "Main\th\t23\r\n\0Backup\th2\t7300\r\n"s, {"Main"}},
        {"a NUL inside a name", "Ma\0in\th\t23\r\nBackup\th2\t7300\r\n"s, {"Ma"}},
        {"a NUL first", "\0Main\th\t23\r\n"s, {""}},
        {"a 1 MB line",
         "Main\th\t23\r\n" + OneMegabyte + "\th2\t7300\r\nLast\th3\t23\r\n",
         {"Main", OneMegabyte, "Last"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(dir.File("telnet.ini"), c.text);
        TFakeSettingsWindow window;
        const TResourceUse use(std::string("telnet.ini with ") + c.name);
        Load(window);
        use.Report(std::to_string(window.Items.size()) + " server(s) offered");
        EXPECT_EQ(window.Items, c.items);
        EXPECT_EQ(window.Index, 0);
    }
}

}  // namespace
}  // namespace skimby
