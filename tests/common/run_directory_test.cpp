#include "common/run_directory.h"
#include "common/table_files.h"

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
    // As installed: the tables under share, linked from the run directory, and the
    // launcher's second name a link. The copy holds files and folders of its own.
    writeBytes("share/tarvo/mix/Water.mix2", "shipped water");
    std::filesystem::create_directory_symlink("../share/tarvo/mix", "installed/mix");
    std::filesystem::create_symlink("Tarvo_V7S", "installed/Tarvo_V6");
    std::string error;
    const auto copy = refreshUserCopy("installed", "user/tarvo", error);
    ASSERT_TRUE(copy) << error;
    EXPECT_EQ(readBytes("user/tarvo/Tarvo_V7S"), "launcher 1");
    EXPECT_EQ(readBytes("user/tarvo/Tarvo_V6"), "launcher 1");
    EXPECT_FALSE(std::filesystem::is_symlink("user/tarvo/mix"));
    EXPECT_EQ(readBytes("user/tarvo/mix/Water.mix2"), "shipped water");
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

// An installation keeps its tables under share and links the run directory's folders to
// them: a shipped table is never replaced, by whichever path it is named, and a new table
// stays where it is asked for while the installation can be written.
TEST(RefreshUserCopy, AnInstallationsLinkedTablesAreKnownAsShipped) {
    WorkingDirectory directory;
    writeBytes("share/tarvo/mu_mix/Air.muc3", "shipped air");
    writeBytes("lib/tarvo/Tarvo.build", "7.0 build1");
    std::filesystem::create_directory_symlink("../../share/tarvo/mu_mix", "lib/tarvo/mu_mix");
    const DataDirectory data(std::filesystem::absolute("lib/tarvo"));
    const struct {
        const char* path;
        WriteRefusal refusal;
    } cases[] = {{"lib/tarvo/mu_mix/Air.muc3", WriteRefusal::shippedTable},
                 {"share/tarvo/mu_mix/Air.muc3", WriteRefusal::shippedTable},
                 {"lib/tarvo/mu_mix/../mu_mix/Air.muc3", WriteRefusal::shippedTable},
                 {"lib/tarvo/mu_mix/Mine.muc3", WriteRefusal::none},
                 {"Air.muc3", WriteRefusal::none}};
    for (const auto& [path, refusal] : cases) {
        EXPECT_EQ(writeRefusal(data, path, true), refusal) << path;
    }
    EXPECT_EQ(readBytes("share/tarvo/mu_mix/Air.muc3"), "shipped air");
    if (isWritableDirectory("lib/tarvo")) {
        EXPECT_FALSE(userCopyTablePath(data, "lib/tarvo/mu_mix/Mine.muc3"));
    }
}

} // namespace
} // namespace tarvo
