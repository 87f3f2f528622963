#include "settings/IniFile.h"

#include "platform/IntegerText.h"
#include "platform/PrivateProfile.h"

namespace skimby {

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    return GetPrivateProfileString(section, key, def, FFileName);
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                                   std::int32_t def) const {
    // A missing key reads as the empty text, which is no number either.
    return TextToInt(GetPrivateProfileString(section, key, "", FFileName)).value_or(def);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    if (!WritePrivateProfileString(section, key, value, FFileName))
        throw EIniFileException(FFileName);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key,
                            std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

}  // namespace skimby
