// The cluster's side of one telnet connection, without sockets: the option
// negotiation, the login by call sign and the few commands after it. Bytes
// from the client go in; the bytes to send back come out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace skimby::practice {

namespace telnet {
constexpr unsigned char Iac = 255, Dont = 254, Do = 253, Wont = 252, Will = 251, Sb = 250, Se = 240;
constexpr unsigned char EchoOption = 1, TerminalTypeOption = 24;
constexpr unsigned char Is = 0, Send = 1;
}  // namespace telnet

class TTelnetSession {
  public:
    static constexpr std::string_view Prompt = "Please enter your call: ";
    static constexpr int MaxLoginTries = 3;
    static constexpr std::size_t MaxLine = 200;

    // What a new connection gets at once: the server asks for the terminal
    // type (IAC DO TERMINAL-TYPE), offers to echo (IAC WILL ECHO) and asks
    // for the call, without a line end.
    std::string Start();

    // Handles bytes from the client, in any pieces; appends the replies to out.
    void Receive(std::string_view bytes, std::string& out);

    bool LoggedIn() const { return !Call.empty(); }
    // The call the operator logged in with, exactly as sent (spaces around
    // it removed).
    const std::string& OperatorCall() const { return Call; }
    // The client's answer to the terminal-type question; empty until then.
    const std::string& TerminalType() const { return Terminal; }
    bool Echoing() const { return EchoState == TOption::Yes; }
    // The session has said goodbye: send what is left, then close.
    bool Finished() const { return Done; }

  private:
    // An option the server asked for or offered: no answer yet, agreed,
    // refused. Only changes are answered, so a client that answers every
    // request cannot start a loop.
    enum class TOption { Asked, Yes, No };
    enum class TInput { Data, Iac, Command, Sub, SubIac };

    void AfterIac(unsigned char b, std::string& out);
    void HandleCommand(unsigned char command, unsigned char option, std::string& out);
    void HandleSubnegotiation();
    void HandleData(char c, std::string& out);
    void HandleLine(std::string& out);
    void Login(const std::string& text, std::string& out);

    TInput Input = TInput::Data;
    unsigned char PendingCommand = 0;
    std::string Sub;  // subnegotiation bytes after SB, the option first
    TOption EchoState = TOption::Asked;
    TOption TerminalState = TOption::Asked;
    bool SkipLf = false;  // after a CR, a LF or NUL belongs to the same line end
    std::string Line;
    std::string Call;
    std::string Terminal;
    int LoginTries = 0;
    bool Done = false;
};

}  // namespace skimby::practice
