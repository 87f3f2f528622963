#include "practice-server/TelnetSession.h"

#include <gtest/gtest.h>

namespace skimby::practice {
namespace {

using namespace telnet;

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The other end of the negotiation: answers every request at once, also one
// that confirms the state in force, and keeps no record (the program's
// telnet client works this way). Returns the answers to the server's bytes
// and collects the text between the commands.
struct TAnsweringClient {
    std::string Text;

    std::string Answer(const std::string& fromServer) {
        std::string out;
        for (std::size_t i = 0; i < fromServer.size(); ++i) {
            const auto b = static_cast<unsigned char>(fromServer[i]);
            if (b != Iac) {
                Text += fromServer[i];
                continue;
            }
            const auto command = static_cast<unsigned char>(fromServer.at(++i));
            if (command == Sb) {
                const std::size_t se = fromServer.find(Bytes({Iac, Se}), i);
                if (se > i + 1 && static_cast<unsigned char>(fromServer[se - 1]) == Send)
                    out += Bytes({Iac, Sb, TerminalTypeOption, Is}) + "dumb" + Bytes({Iac, Se});
                i = se + 1;
                continue;
            }
            const auto option = static_cast<unsigned char>(fromServer.at(++i));
            unsigned char reply = 0;
            if (command == Will) reply = option == EchoOption ? Do : Dont;
            if (command == Do)
                reply = option == EchoOption || option == TerminalTypeOption ? Will : Wont;
            if (command == Wont) reply = Dont;
            if (command == Dont) reply = Wont;
            out += Bytes({Iac, reply, option});
        }
        return out;
    }
};

// Runs the conversation until neither side has anything to say; the number
// of rounds it took, or -1 when it did not settle.
int Converse(TTelnetSession& session, TAnsweringClient& client, std::string fromServer) {
    for (int round = 0; round < 10; ++round) {
        const std::string fromClient = client.Answer(fromServer);
        if (fromClient.empty()) return round;
        fromServer.clear();
        session.Receive(fromClient, fromServer);
    }
    return -1;
}

TEST(PracticeTelnet, AsksForTheTerminalTypeOffersEchoAndPrompts) {
    TTelnetSession session;
    EXPECT_EQ(session.Start(), Bytes({Iac, Do, TerminalTypeOption, Iac, Will, EchoOption}) +
                                   "Please enter your call: ");
    std::string out;
    session.Receive(Bytes({Iac, Will, TerminalTypeOption}), out);
    EXPECT_EQ(out, Bytes({Iac, Sb, TerminalTypeOption, Send, Iac, Se}));
    out.clear();
    session.Receive(Bytes({Iac, Do, EchoOption}), out);
    EXPECT_EQ(out, "");  // the answer to the offer: echo is on, nothing to say
    EXPECT_TRUE(session.Echoing());
    session.Receive(Bytes({Iac, Sb, TerminalTypeOption, Is}) + "dumb" + Bytes({Iac, Se}), out);
    EXPECT_EQ(out, "");
    EXPECT_EQ(session.TerminalType(), "dumb");
    EXPECT_FALSE(session.LoggedIn());
}

TEST(PracticeTelnet, SettlesWithAClientThatAnswersEverything) {
    TTelnetSession session;
    TAnsweringClient client;
    EXPECT_EQ(Converse(session, client, session.Start()), 2);
    EXPECT_EQ(client.Text, "Please enter your call: ");
    EXPECT_EQ(session.TerminalType(), "dumb");
    EXPECT_TRUE(session.Echoing());

    // Options the server does not want are refused once each; the client's
    // answers to the refusals get no answer, so nothing loops.
    std::string offers;
    for (unsigned char option : {3, 31, 37, 200})
        offers += Bytes({Iac, Will, option, Iac, Do, option});
    std::string out;
    session.Receive(offers, out);
    EXPECT_EQ(out, Bytes({Iac, Dont, 3,  Iac, Wont, 3,  Iac, Dont, 31,  Iac, Wont, 31,
                          Iac, Dont, 37, Iac, Wont, 37, Iac, Dont, 200, Iac, Wont, 200}));
    EXPECT_EQ(Converse(session, client, out), 1);

    // Switching echo off and on again is answered once each way.
    out.clear();
    session.Receive(Bytes({Iac, Dont, EchoOption}), out);
    EXPECT_EQ(out, Bytes({Iac, Wont, EchoOption}));
    EXPECT_FALSE(session.Echoing());
    EXPECT_GE(Converse(session, client, out), 0);
    EXPECT_FALSE(session.Echoing());
}

struct TLogin {
    std::vector<std::string> pieces;  // as they arrive
    std::string call;                 // empty: not logged in
};

TEST(PracticeTelnet, TakesTheCallLineHoweverItEnds) {
    const TLogin cases[] = {
        {{"OH1KAV\r\n"}, "OH1KAV"},
        {{"OH1KAV\n"}, "OH1KAV"},
        {{"OH1KAV\r"}, "OH1KAV"},
        {{"OH1KAV\r", "\n"}, "OH1KAV"},
        {{"OH1KAV", Bytes({'\r', 0})}, "OH1KAV"},
        {{"O", "H1K", "AV\r\n"}, "OH1KAV"},
        {{"  dl1abc/p  \r\n"}, "dl1abc/p"},
        // Telnet commands in the middle of the line are taken out.
        {{"OH1" + Bytes({Iac, Do, 3}) + "KAV\r\n"}, "OH1KAV"},
        {{"OH1K" + Bytes({Iac}), Bytes({241}) + "AV\r\n"}, "OH1KAV"},
        // A person typing with backspace.
        {{"OH1KAX\bV\r\n"}, "OH1KAV"},
        {{"OH1KAV"}, ""},
    };
    for (const TLogin& c : cases) {
        TTelnetSession session;
        session.Start();
        std::string out;
        for (const std::string& piece : c.pieces) session.Receive(piece, out);
        EXPECT_EQ(session.OperatorCall(), c.call) << testing::PrintToString(c.pieces);
        if (!c.call.empty()) {
            EXPECT_NE(out.find("Hello " + c.call + ","), std::string::npos) << out;
            EXPECT_TRUE(out.ends_with(c.call + " de PRACTICE >\r\n")) << out;
        }
    }
}

TEST(PracticeTelnet, EchoesTypedTextOnlyWhenTheClientWantsIt) {
    TTelnetSession quiet;
    std::string out;
    quiet.Receive("OH1KAV\r\n", out);
    EXPECT_TRUE(out.starts_with("\r\nHello OH1KAV")) << out;

    TTelnetSession echoing;
    out.clear();
    echoing.Receive(Bytes({Iac, Do, EchoOption}) + "OH1KAX\bV\r\n", out);
    EXPECT_TRUE(out.starts_with("OH1KAX\b \bV\r\n\r\nHello OH1KAV")) << out;
}

TEST(PracticeTelnet, AsksAgainForAWrongCallAndGivesUpAfterThreeTries) {
    TTelnetSession session;
    session.Start();
    std::string out;
    // What a client with an empty call box sends.
    session.Receive("\r\n", out);
    EXPECT_EQ(out, "Sorry, that is not a call sign.\r\nPlease enter your call: ");
    out.clear();
    session.Receive("DL1 ABC\r\n", out);
    EXPECT_EQ(out, "Sorry, that is not a call sign.\r\nPlease enter your call: ");
    EXPECT_FALSE(session.Finished());
    out.clear();
    session.Receive(Bytes({Iac, Iac}) + "DL1\r\nOH1KAV\r\n", out);
    EXPECT_EQ(out, "Sorry, that is not a call sign. Goodbye.\r\n");
    EXPECT_TRUE(session.Finished());
    EXPECT_FALSE(session.LoggedIn());
}

TEST(PracticeTelnet, ByeEndsTheSessionAndOtherCommandsAreIgnored) {
    TTelnetSession session;
    std::string out;
    session.Receive("OH1KAV\r\n", out);
    out.clear();
    session.Receive("sh/dx\r\nset/nothing\r\n", out);
    EXPECT_EQ(out, "");
    EXPECT_FALSE(session.Finished());
    session.Receive(" Bye \r\nmore\r\n", out);
    EXPECT_EQ(out, "73 de PRACTICE, goodbye.\r\n");
    EXPECT_TRUE(session.Finished());
}

TEST(PracticeTelnet, LongLinesAndSubnegotiationsAreCut) {
    TTelnetSession session;
    std::string out;
    session.Receive(std::string(100000, 'A'), out);
    EXPECT_EQ(out, "");
    session.Receive(Bytes({Iac, Sb, TerminalTypeOption, Is}) + std::string(5000, 'x') +
                        Bytes({Iac, Iac, Iac, Se}),
                    out);
    EXPECT_EQ(session.TerminalType(), std::string(40, 'x'));
    session.Receive("\r\n", out);
    EXPECT_FALSE(session.LoggedIn());  // 200 letters and no digit
}

}  // namespace
}  // namespace skimby::practice
