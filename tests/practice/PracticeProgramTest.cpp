// The skimby-practice program itself, started as a child process: its
// command line, its exit codes and its stop on SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "practice-server/Sockets.h"
#include "practice/LoopbackClient.h"

namespace skimby::practice {
namespace {

using namespace std::chrono_literals;

std::string ProgramPath() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "skimby-practice")
        .string();
}

// A running skimby-practice with its output read through pipes. Killed at
// the end if it is still running.
class TChild {
  public:
    explicit TChild(std::vector<std::string> args) {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
        args.insert(args.begin(), ProgramPath());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        Pid = ::fork();
        if (Pid == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        Out = out[0];
        Err = err[0];
    }
    ~TChild() {
        if (Pid > 0 && !Exited) {
            ::kill(Pid, SIGKILL);
            ::waitpid(Pid, nullptr, 0);
        }
        ::close(Out);
        ::close(Err);
    }

    // Reads the standard output until it holds text; false at end or time-out.
    bool ReadOutputUntil(const std::string& text, std::chrono::milliseconds limit = 3000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (Output.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() >= end || !ReadSome(Out, Output, 50ms))
                return false;
        }
        return true;
    }

    // The exit status once it has ended, within the limit; -1 otherwise.
    int Wait(std::chrono::milliseconds limit = 3000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            int status = 0;
            if (::waitpid(Pid, &status, WNOHANG) == Pid) {
                Exited = true;
                while (ReadSome(Out, Output, 0ms)) {
                }
                while (ReadSome(Err, Errors, 0ms)) {
                }
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (std::chrono::steady_clock::now() >= end) return -1;
            std::this_thread::sleep_for(10ms);
        }
    }

    pid_t Pid = -1;
    std::string Output;
    std::string Errors;

  private:
    // False at the end of the stream.
    static bool ReadSome(int fd, std::string& into, std::chrono::milliseconds wait) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) return wait.count() > 0;
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) return false;
        into.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int Out = -1;
    int Err = -1;
    bool Exited = false;
};

TEST(PracticeProgram, HelpAndWrongOptions) {
    TChild help({"--help"});
    EXPECT_EQ(help.Wait(), 0);
    EXPECT_TRUE(help.Output.starts_with("Usage: skimby-practice [options]")) << help.Output;
    for (const char* option : {"--telnet-port", "--http-port", "--rate", "--member-share"})
        EXPECT_NE(help.Output.find(option), std::string::npos) << option;

    TChild wrong({"--rate", "fast"});
    EXPECT_EQ(wrong.Wait(), 2);
    EXPECT_EQ(wrong.Errors,
              "skimby-practice: option '--rate': 'fast' is not a rate of lines a second (above 0, "
              "up to 100000)\nTry 'skimby-practice --help'.\n");
    EXPECT_EQ(wrong.Output, "");
}

TEST(PracticeProgram, SaysWhenAPortIsTaken) {
    TSocket taken = Listen(0, "test", "--test");
    TChild child({"--telnet-port", "0", "--http-port", std::to_string(LocalPort(taken.Get()))});
    EXPECT_EQ(child.Wait(), 1);
    EXPECT_NE(child.Errors.find("skimby-practice: cannot listen for the member data on 127.0.0.1:"),
              std::string::npos)
        << child.Errors;
    EXPECT_NE(child.Errors.find("already in use"), std::string::npos) << child.Errors;
}

TEST(PracticeProgram, StopsCleanlyOnSigterm) {
    TChild child({"--telnet-port", "0", "--http-port", "0", "--rate", "100", "--seed", "5"});
    ASSERT_TRUE(child.ReadOutputUntil("Ctrl+C stops.")) << child.Output;
    std::smatch ports;
    ASSERT_TRUE(std::regex_search(child.Output, ports,
                                  std::regex("cluster on 127\\.0\\.0\\.1:([0-9]+), member data on "
                                             "http://127\\.0\\.0\\.1:([0-9]+)/rbndata2\\.php")))
        << child.Output;
    EXPECT_NE(child.Output.find("seed 5"), std::string::npos);

    TLoopbackClient client(std::stoi(ports[1]));
    ASSERT_TRUE(client.ReadUntilContains("Please enter your call: "));
    client.Send("OH1KAV\r\n");
    ASSERT_TRUE(client.ReadUntilContains("DX de "));
    ASSERT_TRUE(child.ReadOutputUntil("logged in as OH1KAV (terminal not told)")) << child.Output;

    ::kill(child.Pid, SIGTERM);
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_TRUE(child.Output.ends_with("skimby-practice: stopped.\n")) << child.Output;
    EXPECT_TRUE(client.ReadUntilClosed());
    EXPECT_TRUE(client.Received.ends_with("The practice cluster is closing. 73!\r\n"));
}

}  // namespace
}  // namespace skimby::practice
