// Tests of number and spot text run with "," as the decimal mark, as the
// program does from start-up on; the mark from before is put back after.
#pragma once

#include <gtest/gtest.h>

#include "platform/NumberText.h"

namespace skimby {

class CommaMarkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Saved = DecimalSeparator();
        SetDecimalSeparator(',');
    }
    void TearDown() override { SetDecimalSeparator(Saved); }

  private:
    char Saved = '.';
};

}  // namespace skimby
