// Installs the program with the build's own install rules into a temporary
// prefix and starts the installed copy through its link in bin/, as a
// desktop entry or a shell would.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

namespace skimby {
namespace {

namespace fs = std::filesystem;

constexpr uid_t Nobody = 65534;

// argv[0] and the rest; a null-terminated array for exec.
class TArgs {
  public:
    TArgs(std::vector<std::string> items) : Items(std::move(items)) {
        for (auto& s : Items) Pointers.push_back(s.data());
        Pointers.push_back(nullptr);
    }
    char* const* Get() { return Pointers.data(); }

  private:
    std::vector<std::string> Items;
    std::vector<char*> Pointers;
};

// Waits up to the time-out; the exit status, or -1 after killing it.
int WaitFor(pid_t pid, std::chrono::seconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a program, its output thrown away. Only async-signal-safe calls
// between fork and exec: the arrays are made before.
pid_t Spawn(TArgs& argv, TArgs& env, bool blockTerm, uid_t runAs) {
    // Blocked already in the forking thread, so that a SIGTERM sent at once
    // waits until the program handles it; the child inherits the mask.
    sigset_t term, old;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    pthread_sigmask(blockTerm ? SIG_BLOCK : SIG_UNBLOCK, &term, &old);
    const pid_t pid = fork();
    if (pid != 0) {
        pthread_sigmask(SIG_SETMASK, &old, nullptr);
        return pid;
    }
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 1);
    dup2(null, 2);
    if (runAs != geteuid() &&
        (setgroups(0, nullptr) != 0 || setgid(runAs) != 0 || setuid(runAs) != 0)) {
        _exit(126);
    }
    execve(argv.Get()[0], argv.Get(), env.Get());
    _exit(127);
}

class InstallTest : public testing::Test {
  protected:
    InstallTest() : Prefix(Dir.Path() + "prefix") {}

    void Install() {
        TArgs argv({SKIMBY_CMAKE_COMMAND, "--install", SKIMBY_BUILD_DIR, "--prefix", Prefix,
                    "--component", "skimby"});
        TArgs env({"PATH=/usr/bin:/bin"});
        ASSERT_EQ(WaitFor(Spawn(argv, env, false, geteuid()), std::chrono::seconds(60)), 0);
    }

    // Starts the installed program through bin/, asks it to end at once as
    // a session's end would, and gives its exit status.
    int RunAndTerminate(uid_t runAs) {
        TArgs argv({Prefix + "/bin/skimby"});
        TArgs env({"QT_QPA_PLATFORM=offscreen", "HOME=" + Dir.Path() + "home",
                   "XDG_CONFIG_HOME=" + Dir.Path() + "config", "PATH=/usr/bin:/bin"});
        const pid_t pid = Spawn(argv, env, true, runAs);
        kill(pid, SIGTERM);
        return WaitFor(pid, std::chrono::seconds(30));
    }

    std::string ProgramDir() const { return Prefix + "/lib/skimby/"; }

    TTempFolder Dir;
    std::string Prefix;
};

TEST_F(InstallTest, ProgramItsFilesALinkAndADesktopEntry) {
    Install();
    for (const char* name : {"skimby", "telnet.ini", "x.wav"}) {
        EXPECT_TRUE(fs::is_regular_file(ProgramDir() + name)) << name;
    }
    EXPECT_EQ(access((ProgramDir() + "skimby").c_str(), X_OK), 0);
    const fs::path link = Prefix + "/bin/skimby";
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::read_symlink(link).is_relative());  // the prefix can move
    EXPECT_EQ(fs::canonical(link), fs::canonical(ProgramDir() + "skimby"));

    const std::string desktop = ReadBytes(Prefix + "/share/applications/skimby.desktop");
    for (const char* line : {"[Desktop Entry]\n", "Type=Application\n", "Name=Skimby\n",
                             "Exec=skimby\n", "Icon=skimby\n"}) {
        EXPECT_NE(desktop.find(line), std::string::npos) << line;
    }
    const std::string icon = ReadBytes(Prefix + "/share/icons/hicolor/128x128/apps/skimby.png");
    EXPECT_EQ(icon.substr(0, 8), "\x89PNG\r\n\x1a\n");
}

// Started through the link, the program finds its folder in lib/skimby/ and
// keeps its settings there when it may write there.
TEST_F(InstallTest, StartedThroughTheLinkTheProgramFolderIsTheInstalledOne) {
    Install();
    ASSERT_EQ(RunAndTerminate(geteuid()), 0);
    const std::string settings = ReadBytes(ProgramDir() + "Skimby.ini");
    EXPECT_NE(settings.find("Mycall=NOCALL"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Servnr=0"), std::string::npos) << settings;  // telnet.ini was found
    EXPECT_FALSE(Exists(Prefix + "/bin/Skimby.ini"));
    EXPECT_FALSE(Exists(Dir.Path() + "config/skimby/Skimby.ini"));
}

// A copy its user cannot write to keeps the settings in the config folder.
TEST_F(InstallTest, ReadOnlyInstallKeepsTheSettingsInTheConfigFolder) {
    Install();
    const uid_t user = RunningAsRoot() ? Nobody : geteuid();
    ASSERT_EQ(chmod(ProgramDir().c_str(), 0555), 0);
    for (const std::string& d : {Dir.Path(), Prefix, Prefix + "/lib"}) chmod(d.c_str(), 0755);
    for (const char* d : {"home", "config"}) {
        const std::string path = Dir.Path() + d;
        ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        ASSERT_EQ(chown(path.c_str(), user, user), 0);
    }

    ASSERT_EQ(RunAndTerminate(user), 0);
    EXPECT_FALSE(Exists(ProgramDir() + "Skimby.ini"));
    const std::string settings = ReadBytes(Dir.Path() + "config/skimby/Skimby.ini");
    EXPECT_NE(settings.find("Mycall=NOCALL"), std::string::npos) << settings;
}

}  // namespace
}  // namespace skimby
