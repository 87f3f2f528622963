// Running part of a test in a forked child process: to bound a call that
// might hang, to have two processes work on one file at once, or to run as
// an ordinary user when the tests run as root (permission bits do not bind
// root, so those cases would otherwise test nothing there).
//
// The child runs the body and ends with status 0 when no check failed in it;
// its failure messages appear in the test's output as usual.
#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <iostream>
#include <string>
#include <thread>

namespace skimby {

// The user that tests run as when they must not be root: "nobody".
struct TUnprivilegedUser {
    uid_t Uid = 65534;
    gid_t Gid = 65534;
};

inline TUnprivilegedUser UnprivilegedUser() {
    TUnprivilegedUser user;
    if (const passwd* pw = getpwnam("nobody")) {
        user.Uid = pw->pw_uid;
        user.Gid = pw->pw_gid;
    }
    return user;
}

inline bool RunningAsRoot() {
    return geteuid() == 0;
}

// Gives a file or folder the tests made to the unprivileged user, so that a
// child that has dropped to that user can work in it. Nothing when not root.
inline void GiveToUnprivilegedUser(const std::string& path) {
    if (!RunningAsRoot()) return;
    const TUnprivilegedUser user = UnprivilegedUser();
    if (chown(path.c_str(), user.Uid, user.Gid) != 0) ADD_FAILURE() << "chown " << path;
}

enum class TChildEnd { Passed, Failed, TimedOut };

inline std::ostream& operator<<(std::ostream& out, TChildEnd end) {
    return out << (end == TChildEnd::Passed   ? "passed"
                   : end == TChildEnd::Failed ? "failed"
                                              : "timed out");
}

enum class TChildUser { Same, Unprivileged };

class TChildProcess {
  public:
    // Forks at once; the child runs `body`. With TChildUser::Unprivileged a
    // child of root first drops to the unprivileged user (groups, then group
    // id, then user id) and fails when it cannot.
    explicit TChildProcess(const std::function<void()>& body, TChildUser user = TChildUser::Same) {
        std::cout.flush();
        std::fflush(nullptr);
        FPid = fork();
        if (FPid < 0) {
            ADD_FAILURE() << "fork failed";
            return;
        }
        if (FPid > 0) return;
        const int failedBefore = FailedParts();
        bool ok = true;
        if (user == TChildUser::Unprivileged && RunningAsRoot()) ok = DropPrivileges();
        // Nothing may leave the child but its exit: an escaping exception
        // would go on to run the parent's remaining tests in the child.
        try {
            if (ok) body();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "exception in the child: " << e.what();
        } catch (...) {
            ADD_FAILURE() << "exception in the child";
        }
        ok = ok && FailedParts() == failedBefore;
        std::cout.flush();
        std::fflush(nullptr);
        _exit(ok ? 0 : 1);
    }
    ~TChildProcess() {
        if (FPid > 0) Kill();
    }
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Waits for the child; a child still running after `limit` is killed.
    TChildEnd Wait(std::chrono::milliseconds limit) {
        if (FPid <= 0) return TChildEnd::Failed;
        const auto until = std::chrono::steady_clock::now() + limit;
        for (;;) {
            int status = 0;
            const pid_t done = waitpid(FPid, &status, WNOHANG);
            if (done == FPid) {
                FPid = 0;
                return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? TChildEnd::Passed
                                                                     : TChildEnd::Failed;
            }
            if (done < 0) {
                FPid = 0;
                return TChildEnd::Failed;
            }
            if (std::chrono::steady_clock::now() >= until) {
                Kill();
                return TChildEnd::TimedOut;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

  private:
    // Failed checks of the running test so far.
    static int FailedParts() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        if (test == nullptr) return 0;
        int failed = 0;
        for (int i = 0; i < test->result()->total_part_count(); ++i)
            if (test->result()->GetTestPartResult(i).failed()) ++failed;
        return failed;
    }

    static bool DropPrivileges() {
        const TUnprivilegedUser user = UnprivilegedUser();
        if (setgroups(0, nullptr) != 0 || setgid(user.Gid) != 0 || setuid(user.Uid) != 0) {
            ADD_FAILURE() << "cannot drop to user " << user.Uid;
            return false;
        }
        if (geteuid() == 0 || setuid(0) == 0) {
            ADD_FAILURE() << "still root after dropping privileges";
            return false;
        }
        return true;
    }

    void Kill() {
        kill(FPid, SIGKILL);
        waitpid(FPid, nullptr, 0);
        FPid = 0;
    }

    pid_t FPid = -1;
};

// Runs `body` in a child process that is not root, whoever runs the tests,
// and checks that it passed within `limit`. `folder` is given to that user.
inline void RunUnprivileged(const std::string& folder, const std::function<void()>& body,
                            std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    GiveToUnprivilegedUser(folder);
    TChildProcess child(body, TChildUser::Unprivileged);
    EXPECT_EQ(child.Wait(limit), TChildEnd::Passed) << "see the child's messages above";
}

// Runs `body` in a child process and checks that it passed within `limit`:
// a call that hangs fails the test instead of stopping the test run.
inline void RunBounded(const std::function<void()>& body,
                       std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    TChildProcess child(body);
    EXPECT_EQ(child.Wait(limit), TChildEnd::Passed) << "see the child's messages above";
}

// Holds children back until the parent opens it, so that they start their
// work at the same moment.
class TStartGate {
  public:
    TStartGate() {
        if (pipe(FPipe) != 0) ADD_FAILURE() << "pipe failed";
    }
    ~TStartGate() {
        Close(FPipe[0]);
        Close(FPipe[1]);
    }
    TStartGate(const TStartGate&) = delete;
    TStartGate& operator=(const TStartGate&) = delete;

    // In a child: blocks until the parent calls Open.
    void Wait() {
        Close(FPipe[1]);
        char c;
        while (read(FPipe[0], &c, 1) > 0) {
        }
    }
    // In the parent: lets every waiting child go.
    void Open() { Close(FPipe[1]); }

  private:
    static void Close(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    int FPipe[2] = {-1, -1};
};

// Two child processes meet here before each step of their work: neither
// goes on before the other has arrived.
class TMeetingPoint {
  public:
    TMeetingPoint() {
        if (pipe(FToFirst) != 0 || pipe(FToSecond) != 0) ADD_FAILURE() << "pipe failed";
    }
    ~TMeetingPoint() {
        for (int fd : {FToFirst[0], FToFirst[1], FToSecond[0], FToSecond[1]})
            if (fd >= 0) close(fd);
    }
    TMeetingPoint(const TMeetingPoint&) = delete;
    TMeetingPoint& operator=(const TMeetingPoint&) = delete;

    // `side` is 0 in one process and 1 in the other.
    void Meet(int side) {
        char c = 0;
        if (write(side == 0 ? FToSecond[1] : FToFirst[1], &c, 1) != 1 ||
            read(side == 0 ? FToFirst[0] : FToSecond[0], &c, 1) != 1)
            ADD_FAILURE() << "the other process is gone";
    }

  private:
    int FToFirst[2] = {-1, -1};
    int FToSecond[2] = {-1, -1};
};

}  // namespace skimby
