#include "platform/IntegerText.h"

#include <gtest/gtest.h>

namespace skimby {
namespace {

TEST(IntegerText, ReadsDecimalAndHexadecimalThatFit32Bits) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"467", 467},
        {"  -5", -5},
        {"+12", 12},
        {"007", 7},
        {"0x1F0", 496},
        {"0X1f0", 496},
        {"$1F0", 496},
        {"x10", 16},
        {"X10", 16},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$7FFFFFFF", 2147483647},
        {"2147483648", {}},
        {"-2147483649", {}},
        {"$80000000", {}},
        {"99999999999999999999", {}},
        {"", {}},
        {" ", {}},
        {"-", {}},
        {"$", {}},
        {"0x", {}},
        {"500px", {}},
        {"12 ", {}},
        {"1 2", {}},
        {"true", {}},
        {"1.5", {}},
        {"0x1G", {}},
        {"--1", {}},
        {"\t1", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToInt(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace skimby
