#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/FileText.h"
#include "settings/IniFile.h"
#include "support/ChildProcess.h"
#include "support/FakeSettingsWindow.h"
#include "support/TempFolder.h"

namespace skimby {
namespace {

const char* const ThreeServers =
    "Main\tmain.example.net\t7000\r\n"
    "Backup\t10.0.0.2\t7300\r\n"
    "Third\tthird.example.net\t23\r\n";

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { WriteBytes(dir.File("telnet.ini"), ThreeServers); }
    void Load() { LoadSettings(window, servers, dir.Path(), ini); }
    void Save() { SaveSettings(window, ini); }

    TTempFolder dir;
    const std::string ini = dir.File("Skimby.ini");
    TFakeSettingsWindow window;
    TServerList servers;
};

// What the window shows after loading; the defaults unless a case says otherwise.
struct TLoaded {
    int item = 0;
    std::string host = "main.example.net";
    std::string call = "NOCALL";
    int w = 392, h = 480, left = 1920 - 392, top = 1;
    bool onTop = true;
};

TEST_F(SettingsTest, EveryKeyWithItsDefaultAndValueRules) {
    struct Case {
        const char* file;  // nullptr: no settings file
        TLoaded expected;
    } cases[] = {
        {nullptr, {}},
        {"", {}},
        {"[Telnet]\nServnr=1\nMycall=DL9ABC\n[Form]\nW=467\nH=511\nLeft=-20\nTop=30\nOnTop=0\n",
         {.item = 1,
          .host = "10.0.0.2",
          .call = "DL9ABC",
          .w = 467,
          .h = 511,
          .left = -20,
          .top = 30,
          .onTop = false}},
        {"[Form]\nW=0x1F0\nH=$10\n", {.w = 496, .h = 16}},
        {"[Form]\nW=500px\nH=\nLeft=99999999999\n", {}},
        {"[Form]\nOnTop=true\n", {}},
        {"[Form]\nOnTop=false\n", {}},
        {"[Form]\nOnTop=0\n", {.onTop = false}},
        {"[Form]\nOnTop=5\n", {.onTop = true}},
        {"[Telnet]\nMyCall=\n", {.call = ""}},
        {"[telnet]\nmycall = ' dk0xy '\n", {.call = " dk0xy "}},
        {"[Form]\nMyCall=DL9ABC\n", {}},
        {"[Telnet]\nServnr=2\n", {.item = 2, .host = "third.example.net"}},
        {"[Telnet]\nServnr=3\n", {.item = -1}},
        {"[Telnet]\nServnr=-1\n", {.item = -1}},
        {"[Telnet]\nServnr=one\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "(no file)");
        std::remove(ini.c_str());
        if (c.file) WriteBytes(ini, c.file);
        window = TFakeSettingsWindow{};
        servers = TServerList{};
        Load();
        const TLoaded& e = c.expected;
        EXPECT_EQ(window.Items, (std::vector<std::string>{"Main", "Backup", "Third"}));
        EXPECT_EQ(window.Index, e.item);
        EXPECT_EQ(servers.Host(servers.ServerRow()), e.host);
        EXPECT_EQ(window.Call, e.call);
        EXPECT_EQ(window.W, e.w);
        EXPECT_EQ(window.H, e.h);
        EXPECT_EQ(window.L, e.left);
        EXPECT_EQ(window.T, e.top);
        EXPECT_EQ(window.OnTopFlag, e.onTop);
        EXPECT_EQ(window.OnTopCheck, e.onTop);
        EXPECT_EQ(window.OnTopStyle, e.onTop);
        if (!c.file) {
            EXPECT_FALSE(Exists(ini)) << "loading does not create the file";
        }
    }
}

TEST_F(SettingsTest, SaveFromScratchWritesTheKnownLines) {
    window.W = 467, window.H = 511, window.L = 1528, window.T = 1;
    window.Call = "DL9ABC";
    window.Index = 0;
    Save();
    EXPECT_EQ(ReadBytes(ini),
              "[Telnet]\nServnr=0\nMycall=DL9ABC\n"
              "[Form]\nW=467\nH=511\nLeft=1528\nTop=1\nOnTop=1\n");
}

TEST_F(SettingsTest, SaveOverAHandEditedFileChangesOnlyTheProgramsKeys) {
    WriteBytes(ini,
               "; my settings\r\n"
               "[Extra]\r\n"
               "Servnr=77\r\n"
               "\r\n"
               "[telnet]\r\n"
               "MYCALL = \"dl1old\"\r\n"
               "Colour=blue\r\n"
               "\r\n"
               "[Form]\r\n"
               ";W=1\r\n"
               "  w = 10  \r\n"
               "Unknown=keep me\r\n");
    window.W = 400, window.H = 300, window.L = -8, window.T = 2;
    window.Call = "DL9ABC";
    window.Index = -1;
    window.OnTopFlag = false;
    Save();
    EXPECT_EQ(ReadBytes(ini),
              "; my settings\r\n"
              "[Extra]\r\n"
              "Servnr=77\r\n"
              "\r\n"
              "[telnet]\r\n"
              "Mycall=DL9ABC\r\n"
              "Colour=blue\r\n"
              "Servnr=-1\r\n"
              "\r\n"
              "[Form]\r\n"
              ";W=1\r\n"
              "W=400\r\n"
              "Unknown=keep me\r\n"
              "H=300\r\n"
              "Left=-8\r\n"
              "Top=2\r\n"
              "OnTop=0\r\n");
}

// An editor may save the file with a UTF-8 byte-order mark before the first
// section: the section is still found, and the mark stays.
TEST_F(SettingsTest, ByteOrderMarkBeforeTheFirstSection) {
    const std::string bom = "\xEF\xBB\xBF";
    WriteBytes(ini, bom + "[Telnet]\r\nServnr=1\r\nMycall=DL9ABC\r\n[Form]\r\nW=400\r\n");
    Load();
    EXPECT_EQ(window.Call, "DL9ABC");
    EXPECT_EQ(window.Index, 1);
    EXPECT_EQ(window.W, 400);
    window.Call = "DK0XY";
    Save();
    EXPECT_EQ(ReadBytes(ini), bom +
                                  "[Telnet]\r\nServnr=1\r\nMycall=DK0XY\r\n"
                                  "[Form]\r\nW=400\r\nH=480\r\nLeft=1528\r\nTop=1\r\nOnTop=1\r\n");
}

TEST_F(SettingsTest, SaveAndLoadGiveTheSameWindowBack) {
    window.W = 500, window.H = 600, window.L = -30, window.T = 40;
    window.Call = "";
    window.Index = 2;
    window.OnTopFlag = false;
    Save();
    TFakeSettingsWindow saved = window;
    window = TFakeSettingsWindow{};
    Load();
    EXPECT_EQ(window.W, saved.W);
    EXPECT_EQ(window.H, saved.H);
    EXPECT_EQ(window.L, saved.L);
    EXPECT_EQ(window.T, saved.T);
    EXPECT_EQ(window.Call, "");
    EXPECT_EQ(window.Index, 2);
    EXPECT_EQ(servers.ServerRow(), 2);
    EXPECT_FALSE(window.OnTopFlag);
}

TEST_F(SettingsTest, MaximisedWindowIsSavedAsTheDefaultGeometry) {
    window.W = 1920, window.H = 1040, window.L = -8, window.T = -8;
    window.ScreenWidth = 2560;
    window.IsMaximized = true;
    Save();
    window = TFakeSettingsWindow{};
    window.ScreenWidth = 2560;
    Load();
    EXPECT_EQ(window.W, 392);
    EXPECT_EQ(window.H, 480);
    EXPECT_EQ(window.L, 2560 - 392);
    EXPECT_EQ(window.T, 1);
}

// Below a regular file nobody can write, root included; a read-only folder
// stops everybody but root, so that case runs as an ordinary user.
TEST_F(SettingsTest, UnwritableFileFailsAtTheFirstKey) {
    const auto failsAtTheFirstKey = [&](const std::string& bad) {
        try {
            SaveSettings(window, bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(), "Unable to write to " + bad);
        }
        EXPECT_FALSE(Exists(bad));
    };
    WriteBytes(dir.File("plain"), "x");
    failsAtTheFirstKey(dir.File("plain/Skimby.ini"));
    RunUnprivileged(dir.Path(), [&] {
        ASSERT_EQ(mkdir(dir.File("readonly").c_str(), 0555), 0);
        failsAtTheFirstKey(dir.File("readonly/Skimby.ini"));
    });
}

// A named pipe in place of the settings file: start-up reads the defaults
// and the close reports the file as unwritable, neither waits for a writer.
TEST_F(SettingsTest, NamedPipeInPlaceOfTheFileNeverHangs) {
    ASSERT_EQ(mkfifo(ini.c_str(), 0600), 0);
    window.Call = "DL9ABC";
    RunBounded([&] {
        Load();
        EXPECT_EQ(window.Call, "NOCALL");
        EXPECT_EQ(window.W, 392);
        EXPECT_THROW(Save(), EIniFileException);
    });
}

// The third key's rename fails: the two keys before it stay written, the
// keys after it are not tried.
TEST_F(SettingsTest, FailureInTheMiddleKeepsTheKeysBeforeIt) {
    int writes = 0;
    SetBeforeRenameHookForTest([&](const std::string& tempName) {
        if (++writes == 3) std::remove(tempName.c_str());
    });
    window.Call = "DL9ABC";
    window.Index = 1;
    EXPECT_THROW(Save(), EIniFileException);
    SetBeforeRenameHookForTest({});
    EXPECT_EQ(writes, 3);
    EXPECT_EQ(ReadBytes(ini), "[Telnet]\nServnr=1\nMycall=DL9ABC\n");
}

// Two copies of the program closing together, each saving a fresh file:
// every key is there once, whichever save came last.
TEST_F(SettingsTest, TwoSavesAtOnceLoseNoKey) {
    const TTempFolder memory(MemoryFolder());
    constexpr int Runs = 150;
    const auto fileOf = [&](int run) { return memory.File(std::to_string(run) + ".ini"); };
    // Each write takes as long as a flush to a slow disk would, and the two
    // processes meet before each run; one of them then starts a little later
    // each time, so that the two saves overlap at every step.
    TMeetingPoint meeting;
    const auto saver = [&](int side) {
        return [&, side] {
            SetBeforeRenameHookForTest([](const std::string&) {
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            });
            for (int run = 0; run < Runs; ++run) {
                meeting.Meet(side);
                if (side == run % 2)
                    std::this_thread::sleep_for(std::chrono::microseconds(run % 10 * 15));
                SaveSettings(window, fileOf(run));
            }
        };
    };
    TChildProcess a(saver(0)), b(saver(1));
    ASSERT_EQ(a.Wait(std::chrono::seconds(60)), TChildEnd::Passed);
    ASSERT_EQ(b.Wait(std::chrono::seconds(60)), TChildEnd::Passed);
    int lost = 0;
    for (int run = 0; run < Runs; ++run)
        if (ReadBytes(fileOf(run)) !=
            "[Telnet]\nServnr=-1\nMycall=NOCALL\n"
            "[Form]\nW=467\nH=511\nLeft=244\nTop=158\nOnTop=1\n")
            ++lost;
    EXPECT_EQ(lost, 0) << "of " << Runs << " runs";
}

TEST_F(SettingsTest, MissingServerListStopsLoadingBeforeAnySetting) {
    std::remove(dir.File("telnet.ini").c_str());
    WriteBytes(ini, "[Telnet]\nMycall=DL9ABC\n[Form]\nW=100\nOnTop=0\n");
    try {
        Load();
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file " + dir.File("telnet.ini"));
    }
    EXPECT_TRUE(window.Items.empty());
    EXPECT_EQ(window.Call, "NOCALL");
    EXPECT_EQ(window.W, 467);
    EXPECT_TRUE(window.OnTopFlag);
    EXPECT_EQ(servers.RowCount(), 1);
    EXPECT_EQ(servers.Host(servers.ServerRow()), "");

    // The close still saves, with nothing selected.
    Save();
    EXPECT_EQ(TIniFile(ini).ReadInteger("Telnet", "Servnr", 0), -1);
}

TEST_F(SettingsTest, EmptyServerListGivesOneEmptyItem) {
    WriteBytes(dir.File("telnet.ini"), "");
    Load();
    EXPECT_EQ(window.Items, std::vector<std::string>{""});
    EXPECT_EQ(window.Index, 0);
}

}  // namespace
}  // namespace skimby
