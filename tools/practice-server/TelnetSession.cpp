#include "practice-server/TelnetSession.h"

#include "practice-server/CallSigns.h"

namespace skimby::practice {

namespace {

using namespace telnet;

void AppendCommand(std::string& out, unsigned char command, unsigned char option) {
    out += static_cast<char>(Iac);
    out += static_cast<char>(command);
    out += static_cast<char>(option);
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsGoodbye(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text == "BYE" || text == "QUIT" || text == "EXIT";
}

}  // namespace

std::string TTelnetSession::Start() {
    std::string out;
    AppendCommand(out, Do, TerminalTypeOption);
    AppendCommand(out, Will, EchoOption);
    out += Prompt;
    return out;
}

void TTelnetSession::Receive(std::string_view bytes, std::string& out) {
    for (const char c : bytes) {
        if (Done) return;
        const auto b = static_cast<unsigned char>(c);
        switch (Input) {
            case TInput::Data:
                if (b == Iac)
                    Input = TInput::Iac;
                else
                    HandleData(c, out);
                break;
            case TInput::Iac:
                AfterIac(b, out);
                break;
            case TInput::Command:
                HandleCommand(PendingCommand, b, out);
                Input = TInput::Data;
                break;
            case TInput::Sub:
                if (b == Iac)
                    Input = TInput::SubIac;
                else if (Sub.size() < 64)
                    Sub += c;
                break;
            case TInput::SubIac:
                if (b == Iac) {
                    if (Sub.size() < 64) Sub += c;
                    Input = TInput::Sub;
                    break;
                }
                // IAC SE ends it; so does any other command, which then counts.
                HandleSubnegotiation();
                if (b == Se)
                    Input = TInput::Data;
                else
                    AfterIac(b, out);
                break;
        }
    }
}

void TTelnetSession::AfterIac(unsigned char b, std::string& out) {
    Input = TInput::Data;
    if (b == Iac) {
        HandleData(static_cast<char>(b), out);  // an escaped data byte 255
    } else if (b == Will || b == Wont || b == Do || b == Dont) {
        PendingCommand = b;
        Input = TInput::Command;
    } else if (b == Sb) {
        Sub.clear();
        Input = TInput::Sub;
    }
    // NOP, GA and the other commands carry nothing here.
}

void TTelnetSession::HandleCommand(unsigned char command, unsigned char option, std::string& out) {
    if (option == EchoOption && (command == Do || command == Dont)) {
        const TOption wanted = command == Do ? TOption::Yes : TOption::No;
        // Answer only a change of a state already settled; a reply to the
        // offer settles it silently.
        if (EchoState != TOption::Asked && EchoState != wanted)
            AppendCommand(out, command == Do ? Will : Wont, EchoOption);
        EchoState = wanted;
    } else if (option == TerminalTypeOption && (command == Will || command == Wont)) {
        if (command == Will && TerminalState != TOption::Yes) {
            if (TerminalState == TOption::No) AppendCommand(out, Do, TerminalTypeOption);
            out += static_cast<char>(Iac);
            out += static_cast<char>(Sb);
            out += static_cast<char>(TerminalTypeOption);
            out += static_cast<char>(Send);
            out += static_cast<char>(Iac);
            out += static_cast<char>(Se);
        } else if (command == Wont && TerminalState == TOption::Yes) {
            AppendCommand(out, Dont, TerminalTypeOption);
        }
        TerminalState = command == Will ? TOption::Yes : TOption::No;
    } else if (command == Will) {
        AppendCommand(out, Dont, option);  // nothing else is wanted from the client
    } else if (command == Do) {
        AppendCommand(out, Wont, option);  // nor offered to it
    }
    // WONT and DONT of other options agree with what is in force: no answer.
}

void TTelnetSession::HandleSubnegotiation() {
    if (Sub.size() < 2 || static_cast<unsigned char>(Sub[0]) != TerminalTypeOption ||
        static_cast<unsigned char>(Sub[1]) != Is)
        return;
    Terminal.clear();
    for (std::size_t i = 2; i < Sub.size() && Terminal.size() < 40; ++i)
        if (Sub[i] > ' ' && Sub[i] < 127) Terminal += Sub[i];
}

void TTelnetSession::HandleData(char c, std::string& out) {
    const bool lineEndTail = SkipLf && (c == '\n' || c == '\0');
    SkipLf = false;
    if (lineEndTail) return;
    if (c == '\r' || c == '\n') {
        SkipLf = c == '\r';
        if (Echoing()) out += "\r\n";
        HandleLine(out);
        return;
    }
    if (c == '\b' || c == 127) {  // a person typing by hand
        if (!Line.empty()) {
            Line.pop_back();
            if (Echoing()) out += "\b \b";
        }
        return;
    }
    if (static_cast<unsigned char>(c) < ' ' || Line.size() >= MaxLine) return;
    Line += c;
    if (Echoing()) out += c;
}

void TTelnetSession::HandleLine(std::string& out) {
    const std::string text = Trimmed(Line);
    Line.clear();
    if (!LoggedIn()) {
        Login(text, out);
    } else if (IsGoodbye(text)) {
        out += "73 de PRACTICE, goodbye.\r\n";
        Done = true;
    }
    // Other commands of a real cluster are not offered; they are ignored.
}

void TTelnetSession::Login(const std::string& text, std::string& out) {
    if (IsPlausibleCall(text)) {
        Call = text;
        out += "\r\nHello " + Call + ", this is the Skimby practice cluster on 127.0.0.1.\r\n";
        out += "Every spot here is made up: practice skimmers, practice stations.\r\n";
        out += "Type BYE to leave.\r\n\r\n";
        out += Call + " de PRACTICE >\r\n";
        return;
    }
    if (++LoginTries >= MaxLoginTries) {
        out += "Sorry, that is not a call sign. Goodbye.\r\n";
        Done = true;
        return;
    }
    out += "Sorry, that is not a call sign.\r\n";
    out += Prompt;
}

}  // namespace skimby::practice
