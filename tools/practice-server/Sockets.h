// The few POSIX socket pieces the server needs: an owned descriptor and a
// listening socket on 127.0.0.1.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace skimby::practice {

// A failure the server reports to the operator and stops on, such as a
// port that is taken.
class TPracticeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Closes its descriptor when it goes.
class TSocket {
  public:
    TSocket() = default;
    explicit TSocket(int fd) : Fd(fd) {}
    TSocket(TSocket&& other) noexcept : Fd(other.Release()) {}
    TSocket& operator=(TSocket&& other) noexcept;
    TSocket(const TSocket&) = delete;
    TSocket& operator=(const TSocket&) = delete;
    ~TSocket() { Reset(); }

    int Get() const { return Fd; }
    bool Valid() const { return Fd >= 0; }
    int Release();
    void Reset();

  private:
    int Fd = -1;
};

// A non-blocking socket listening on 127.0.0.1 at port (0: any free port),
// bound with SO_REUSEADDR so a restart does not wait for old connections to
// time out. option names the command-line option for the port, for the
// message when the port is taken.
TSocket Listen(int port, std::string_view what, std::string_view option);

// The port a socket is bound to.
int LocalPort(int fd);

// "127.0.0.1:40312" for the peer of a connected socket.
std::string PeerText(int fd);

}  // namespace skimby::practice
