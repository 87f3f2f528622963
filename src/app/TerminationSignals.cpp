#include "app/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <stdexcept>

namespace skimby {

namespace {

constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};
int Pipe[2] = {-1, -1};  // [0] read in the message loop, [1] written by the handler

extern "C" void WriteSignalByte(int) {
    const int saved = errno;
    const char byte = 1;
    // Non-blocking: when the pipe is full, enough signals are pending anyway.
    [[maybe_unused]] const ssize_t n = write(Pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

TTerminationSignals::TTerminationSignals() {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, Pipe) != 0) {
        throw std::runtime_error("Cannot create the signal pipe");
    }
    struct sigaction action = {};
    action.sa_handler = WriteSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t set;
    sigemptyset(&set);
    for (int s : Signals) {
        sigaction(s, &action, nullptr);
        sigaddset(&set, s);
    }
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

TTerminationSignals::~TTerminationSignals() {
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    for (int s : Signals) sigaction(s, &action, nullptr);
    delete Notifier;
    close(Pipe[0]);
    close(Pipe[1]);
    Pipe[0] = Pipe[1] = -1;
}

void TTerminationSignals::OnSignal(std::function<void()> handler) {
    Handler = std::move(handler);
    if (Notifier) return;
    Notifier = new QSocketNotifier(Pipe[0], QSocketNotifier::Read);
    QObject::connect(Notifier, &QSocketNotifier::activated, [this] {
        char bytes[16];
        while (read(Pipe[0], bytes, sizeof bytes) > 0) {
        }
        if (Handler) Handler();
    });
}

}  // namespace skimby
