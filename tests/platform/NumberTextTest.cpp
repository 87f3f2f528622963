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
