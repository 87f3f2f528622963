#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include "support/CommaMarkTest.h"

namespace skimby {
namespace {

using CommaMark = CommaMarkTest;

TEST_F(CommaMark, ReadsOnlyTheAcceptedShapes) {
    struct Case {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"7023,5", 7023.5}, {"  +14025 ", 14025}, {"-1,5e3", -1500}, {",5", 0.5},
        {"5,", 5},          {"1E-2", 0.01},       {"", {}},          {" ", {}},
        {",", {}},          {"1,296.000", {}},    {"7023.5", {}},    {"1e", {}},
        {"1e+", {}},        {"1 000", {}},        {"0x10", {}},      {"inf", {}},
        {"nan", {}},        {"1e400", {}},        {"--1", {}},       {"1,2,3", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToFloat(c.text), c.value) << '"' << c.text << '"';
}

// Texts of a valid shape are read whatever their length; a value too small
// for a double reads as 0, one too large is refused.
TEST_F(CommaMark, ReadsAnyLengthAndUnderflowsToZero) {
    const std::string zeros(400, '0');
    struct Case {
        std::string text;
        std::optional<double> value;
    } cases[] = {
        {"7023,5" + zeros, 7023.5},
        {zeros + "7023,5", 7023.5},
        {"  " + zeros + "14025,0" + zeros + "  ", 14025},
        {"1" + zeros + "e-400", 1},
        {"0," + zeros.substr(1) + "1e400", 1},
        {"1e-320", 1e-320},
        {"1e-400", 0},
        {"-1e-400", 0},
        {"0," + zeros + "1", 0},
        {"1e-99999999999999999999", 0},
        {"0e99999999999999999999", 0},
        {"1" + zeros, {}},
        {"1e99999999999999999999", {}},
        {"1" + zeros + ",5,", {}},
        {zeros + "x", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToFloat(c.text), c.value)
            << '"' << c.text.substr(0, 40) << "\" (" << c.text.size() << " bytes)";
}

TEST_F(CommaMark, WritesShortestFormWithAtMost15Digits) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {7023.5, "7023,5"},
        {14025.0, "14025"},
        {10368000.1, "10368000,1"},
        {-3.25, "-3,25"},
        {0.0001, "0,0001"},
        {0.00001, "1E-5"},
        {0.000015, "1,5E-5"},
        {1e15, "1E15"},
        {999999999999999.0, "999999999999999"},
        {0.1 + 0.2, "0,3"},
        {1.0 / 3.0, "0,333333333333333"},
        {0.0, "0"},
        {-0.0, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatToText(c.value), c.text) << c.value;
}

TEST(NumberText, FollowsTheProcessWideMark) {
    const char saved = DecimalSeparator();
    SetDecimalSeparator('.');
    EXPECT_EQ(TextToFloat("2.5"), 2.5);
    EXPECT_EQ(FloatToText(2.5), "2.5");
    EXPECT_EQ(TextToFloat("2,5"), std::nullopt);
    SetDecimalSeparator(saved);
}

}  // namespace
}  // namespace skimby
