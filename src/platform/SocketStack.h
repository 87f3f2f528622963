// The process-wide socket layer: IPv4 blocking TCP sockets and host lookup
// over POSIX, in the shape of the Windows Sockets 1.1 calls the network code
// is written against. A failing call returns SocketError (or InvalidSocket,
// or an empty address) and leaves a Windows Sockets error number for
// LastError(), so that every error message reads the same on every platform:
// errno values become 10004..10066, resolver failures 11001..11004.
// Addresses are dotted text: four decimal byte values joined by ".".
#pragma once

#include <netdb.h>

#include <cstdint>
#include <string>

namespace skimby {

using TSocketId = int;
constexpr TSocketId InvalidSocket = -1;
constexpr int SocketError = -1;

// Windows Sockets error numbers the network code names.
constexpr int WSAEINTR = 10004;
constexpr int WSAEINVAL = 10022;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

enum class TShutdownHow { Receive = 0, Send = 1, Both = 2 };

// What starting the layer can report. On Windows the library could be
// missing or refuse to start; here starting always succeeds.
enum class TStackStart { Started, LibraryNotLoaded, InitFailed };

class TSocketStack {
  public:
    static TStackStart Startup();
    static void Cleanup();

    static TSocketId Socket();  // IPv4 stream socket, blocking
    // An empty ip binds to any local address.
    static int Bind(TSocketId s, const std::string& ip, std::uint16_t port);
    // Blocks until connected or refused; the platform's own time-out applies.
    static int Connect(TSocketId s, const std::string& ip, std::uint16_t port);
    // Waits until s is readable (data, end of stream or an error waiting):
    // 1 when it is, 0 when the time-out passed, SocketError on failure.
    // A negative time-out waits without limit.
    static int Select(TSocketId s, int timeoutMs);
    static int Recv(TSocketId s, char* buffer, int length);
    static int Send(TSocketId s, const char* buffer, int length);  // never raises SIGPIPE
    static int Shutdown(TSocketId s, TShutdownHow how);
    static int CloseSocket(TSocketId s);
    static int SetNoDelay(TSocketId s, bool on);
    static int GetSockName(TSocketId s, std::string& ip, std::uint16_t& port);
    static int GetPeerName(TSocketId s, std::string& ip, std::uint16_t& port);
    // The first IPv4 address of the name, or "" with LastError() set.
    static std::string GetHostByName(const std::string& name);

    static std::uint16_t HToNS(std::uint16_t v);
    static std::uint16_t NToHS(std::uint16_t v);
    static std::uint32_t NToHL(std::uint32_t v);

    // The error number of the calling thread's last failing call.
    static int LastError();

    // errno values and getaddrinfo results as Windows Sockets numbers. An
    // errno without a counterpart keeps its own (small) number.
    static int ErrnoToWinsock(int err);
    static int ResolverErrorToWinsock(int eaiError, int err);

    // The host lookup; getaddrinfo unless a test puts a stand-in here. A
    // stand-in hands back lists made by getaddrinfo (they are freed with
    // freeaddrinfo) or fails.
    using TResolver = int (*)(const char* node, const char* service, const addrinfo* hints,
                              addrinfo** result);
    static void SetResolver(TResolver resolver);
};

// Parses four decimal byte values joined by "."; false for anything else.
bool ParseDottedQuad(const std::string& text, std::uint32_t& hostOrder);
std::string DottedQuadText(std::uint32_t hostOrder);

}  // namespace skimby
