#include "common/run_directory.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvo {
namespace {

using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

TEST(UserRunDirectory, FollowsXdgDataHomeOrHome) {
    const char* saved = std::getenv("XDG_DATA_HOME");
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(userRunDirectory(), std::filesystem::path("/data/home/tarvo"));
    ::setenv("XDG_DATA_HOME", "relative", 1); // not absolute: ignored
    EXPECT_EQ(userRunDirectory().filename(), "tarvo");
    EXPECT_EQ(userRunDirectory().parent_path().filename(), "share");
    saved ? ::setenv("XDG_DATA_HOME", saved, 1) : ::unsetenv("XDG_DATA_HOME");
}

TEST(RefreshUserCopy, CopiesOnceAndAgainForANewBuildKeepingTheUsersTables) {
    WorkingDirectory directory;
    writeBytes("installed/Tarvo_V7S", "launcher 1");
    writeBytes("installed/Tarvo.build", "7.0 build1");
    writeBytes("installed/mix/Water.mix2", "shipped water");
    std::string error;
    const auto copy = refreshUserCopy("installed", "user/tarvo", error);
    ASSERT_TRUE(copy) << error;
    EXPECT_EQ(readBytes("user/tarvo/Tarvo_V7S"), "launcher 1");
    writeBytes("user/tarvo/mix/Mine.mix3", "my table");
    writeBytes("installed/Tarvo_V7S", "launcher 2"); // same build stamp: no copy
    ASSERT_TRUE(refreshUserCopy("installed", "user/tarvo", error));
    EXPECT_EQ(readBytes("user/tarvo/Tarvo_V7S"), "launcher 1");
    writeBytes("installed/Tarvo.build", "7.0 build2");
    ASSERT_TRUE(refreshUserCopy("installed", "user/tarvo", error));
    EXPECT_EQ(readBytes("user/tarvo/Tarvo_V7S"), "launcher 2");
    EXPECT_EQ(readBytes("user/tarvo/mix/Mine.mix3"), "my table");
    EXPECT_TRUE(isWritableDirectory("user/tarvo"));
}

TEST(RefreshUserCopy, ReportsAnInstallationThatCannotBeCopied) {
    WorkingDirectory directory;
    writeBytes("blocked", "a file where the copy's directory should be");
    writeBytes("installed/Tarvo_V7S", "launcher");
    std::string error;
    EXPECT_FALSE(refreshUserCopy("installed", "blocked/tarvo", error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace tarvo
