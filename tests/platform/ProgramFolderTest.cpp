#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace skimby {
namespace {

// The tests run from build/bin, where this executable itself lives.
TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(Exists(folder + "skimby_tests_platform"));
}

}  // namespace
}  // namespace skimby
