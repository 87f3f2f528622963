// Typed reading and writing of one settings file. Reading never fails: a
// missing or unreadable value gives the caller's default. Writing goes to
// the file at once, key by key, and raises EIniFileException when the file
// cannot be written.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/Exception.h"

namespace skimby {

// A settings file that cannot be written; the message names its full path.
class EIniFileException : public Exception {
  public:
    explicit EIniFileException(const std::string& fileName)
        : Exception("Unable to write to " + fileName) {}
};

class TIniFile {
  public:
    explicit TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

    const std::string& FileName() const { return FFileName; }

    // The key's text, empty when the key is there with nothing after "=";
    // `def` only when the key is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Decimal or hexadecimal text that fits 32 bits; anything else gives `def`.
    std::int32_t ReadInteger(const std::string& section, const std::string& key,
                             std::int32_t def) const;
    // An integer that is not 0 is true, 0 is false; other text gives `def`.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

  private:
    std::string FFileName;
};

}  // namespace skimby
