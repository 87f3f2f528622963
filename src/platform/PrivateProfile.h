// Profile (INI) files, the form of the settings file: "[Section]" lines and
// "key=value" lines below them, read and written one key at a time. Section
// and key names are compared without regard to letter case (ASCII). A value
// is the text after "=" without the blanks around it and without one pair of
// enclosing single or double quotes, cut to 2047 characters. Lines starting
// with ";" are comments. Reading accepts CR LF and LF line ends, and skips a
// UTF-8 byte-order mark at the very start.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace skimby {

constexpr std::size_t MaxProfileValue = 2047;

// The key's value in the section of a profile text; no value when the
// section or the key is missing. Of repeated sections the first one counts.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// The profile text with the key set to `value`: the key's own line is
// rewritten, or the key is added after the last key of its section, or the
// section is added at the end. Every other byte stays as it was; new lines
// use the line end the text already uses (LF when it has none). A value is
// one line: it is cut at its first CR, LF or NUL.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// The key's value from the file, or `def` when the file, the section or the
// key is missing or the file cannot be read.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view def, const std::string& fileName);

// Sets the key in the file, creating the file when missing, with an atomic
// rewrite. False when the file cannot be read or written; the file is then
// unchanged.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& fileName);

}  // namespace skimby
