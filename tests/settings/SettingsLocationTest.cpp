#include "settings/SettingsLocation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace skimby {
namespace {

// Sets an environment variable for one test and puts the old value back.
class TEnvVar {
  public:
    TEnvVar(const char* name, const char* value) : FName(name) {
        if (const char* old = std::getenv(name)) FOld = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~TEnvVar() {
        if (FOld)
            setenv(FName, FOld->c_str(), 1);
        else
            unsetenv(FName);
    }

  private:
    const char* FName;
    std::optional<std::string> FOld;
};

TEST(SettingsLocation, WritableProgramFolderHoldsTheFileAndStaysClean) {
    TTempFolder program;
    EXPECT_EQ(SettingsFileName(program.Path()), program.File("Skimby.ini"));
    EXPECT_TRUE(std::filesystem::is_empty(program.Path()));
}

void ExpectTheConfigFolder(const std::string& program, const TTempFolder& home) {
    SCOPED_TRACE(program);
    TEnvVar homeVar("HOME", home.Path().c_str());
    const std::string xdg = home.File("xdg");
    {
        TEnvVar xdgVar("XDG_CONFIG_HOME", xdg.c_str());
        EXPECT_EQ(SettingsFileName(program), xdg + "/skimby/Skimby.ini");
        EXPECT_TRUE(std::filesystem::is_directory(xdg + "/skimby"));
    }
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/dir"}) {
        TEnvVar xdgVar("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(SettingsFileName(program), home.File(".config/skimby/Skimby.ini"));
        EXPECT_TRUE(std::filesystem::is_directory(home.File(".config/skimby")));
    }
}

// Below a regular file nobody can create anything, root included; a folder
// without write permission stops everybody but root, so that case runs as
// an ordinary user.
TEST(SettingsLocation, UnwritableProgramFolderFallsBackToTheConfigFolder) {
    TTempFolder dir, home;
    WriteBytes(dir.File("plain"), "x");
    ExpectTheConfigFolder(dir.File("plain/bin/"), home);
    TTempFolder otherHome;
    GiveToUnprivilegedUser(otherHome.Path());
    RunUnprivileged(dir.Path(), [&] {
        ASSERT_EQ(mkdir(dir.File("readonly").c_str(), 0555), 0);
        ExpectTheConfigFolder(dir.File("readonly/"), otherHome);
    });
}

}  // namespace
}  // namespace skimby
