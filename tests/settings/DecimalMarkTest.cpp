#include "settings/DecimalMark.h"

#include <gtest/gtest.h>

#include "platform/NumberText.h"

namespace skimby {
namespace {

TEST(DecimalMark, CommaWhileSetThenTheMarkFromBefore) {
    const char before = DecimalSeparator();
    SetDecimalSeparator('.');
    TDecimalMark mark;
    mark.Restore();  // not set: nothing to put back
    EXPECT_EQ(DecimalSeparator(), '.');

    mark.Set();
    EXPECT_EQ(FloatToText(7023.5), "7023,5");
    EXPECT_EQ(TextToFloat("7023,5"), 7023.5);
    mark.Set();  // a second set must not remember the comma
    mark.Restore();
    EXPECT_EQ(DecimalSeparator(), '.');
    EXPECT_EQ(FloatToText(7023.5), "7023.5");
    SetDecimalSeparator(before);
}

}  // namespace
}  // namespace skimby
