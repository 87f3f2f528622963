// One "DX de " line of the spot cluster, taken apart into its four texts.
#pragma once

#include <string>
#include <string_view>

namespace skimby {

struct TSpot {
    std::string Spotter;
    std::string Frequency;  // written back with the decimal mark, at least one decimal
    std::string Call;
    std::string Info;
};

// True when the line starts with exactly "DX de " (case included).
bool IsSpotLine(std::string_view line);

// The frequency as the cluster sent it, converted and written back: the
// first "." read as the decimal mark, the shortest form, ",0" added to a
// whole number. False when the text is not a number (the empty text
// included); the output is then unspecified.
bool FrequencyText(std::string_view received, std::string& out);

// Parses a spot line into spot, reusing its buffers. False when the
// frequency does not convert: such a line is not a spot.
bool ParseSpotLine(std::string_view line, TSpot& spot);

}  // namespace skimby
