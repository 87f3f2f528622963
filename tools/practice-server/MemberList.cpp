#include "practice-server/MemberList.h"

#include "practice-server/CallSigns.h"
#include "practice-server/Random.h"

namespace skimby::practice {

namespace {

// Most members live near the club; the rest anywhere. Names are 8-bit
// (Latin-1) text, as the service sends them.
const std::vector<std::string> HomeNames = {
    "Matti",  "Pekka", "Jari",  "Timo",  "Kari",        "Juha",     "Mikko",  "Antti",
    "Heikki", "Seppo", "Jukka", "Tuula", "Riitta",      "Sirpa",    "Markku", "Esa",
    "Ilkka",  "Kimmo", "Ville", "Olli",  "V\xe4in\xf6", "P\xe4ivi", "Sanna",  "Veikko"};
const std::vector<std::string> HomeQths = {"Helsinki", "Espoo",           "Kotka",   "Kouvola",
                                           "Hamina",   "Lahti",           "Tampere", "Turku",
                                           "Oulu",     "Jyv\xe4skyl\xe4", "Pori",    "Vaasa",
                                           "Kuopio",   "H\xe4meenlinna",  "Loviisa", "Porvoo"};
const std::vector<std::string> AwayNames = {
    "Hans",    "J\xfcrgen", "Bj\xf6rn", "Lars", "Anna",   "Ren\xe9", "Fran\xe7ois",
    "Jos\xe9", "John",      "Bob",      "Mike", "Ivan",   "Taro",    "Bruce",
    "Maria",   "Piotr",     "Karel",    "Luca", "Ingrid", "S\xf8ren"};
const std::vector<std::string> AwayQths = {
    "Berlin", "M\xfcnchen", "Stockholm", "Malm\xf6", "K\370benhavn", "Oslo",     "Tallinn",
    "Riga",   "Z\xfcrich",  "Wien",      "Praha",    "Krak\xf3w",    "London",   "Lyon",
    "Madrid", "Roma",       "Boston",    "Chicago",  "Tokyo",        "Melbourne"};

const std::vector<std::string> HomePrefixes = {"OH", "OH", "OH", "OG", "OI"};

TMember MakeMember(TRandom& random) {
    TMember member;
    const bool home = random.Chance(0.6);
    member.Call = home ? RandomCallOf(random, random.Pick(HomePrefixes)) : RandomCall(random);
    member.Name = random.Pick(home ? HomeNames : AwayNames);
    member.Qth = random.Pick(home ? HomeQths : AwayQths);
    member.Worked = random.Chance(0.35);
    member.Qsos = member.Worked ? random.Between(1, 40) : 0;
    return member;
}

}  // namespace

TMemberList::TMemberList(std::uint64_t seed, int count) {
    TRandom random(MixSeed(seed, "members"));
    while (static_cast<int>(Members_.size()) < count) {
        TMember member = MakeMember(random);
        if (!Calls.insert(member.Call).second) continue;
        Members_.push_back(std::move(member));
    }
}

std::string MemberLine(const TMember& member) {
    std::string line = member.Call;
    line += '\t';
    line += member.Name;
    line += '\t';
    line += member.Qth;
    line += '\t';
    line += member.Worked ? "Yes" : "No";
    line += '\t';
    line += std::to_string(member.Qsos);
    return line;
}

std::string TMemberList::Body(std::string_view operatorCall) const {
    std::string body;
    body.reserve(Members_.size() * 40 + 64);
    if (IsPlausibleCall(operatorCall) && !Contains(operatorCall)) {
        body += MemberLine({std::string(operatorCall), "You", "Your own QTH", false, 0});
        body += "\r\n";
    }
    for (const TMember& member : Members_) {
        body += MemberLine(member);
        body += "\r\n";
    }
    return body;
}

}  // namespace skimby::practice
