#include "common/text_file.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <optional>

#include <filesystem>

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo {
namespace {

using testing::listDirectory;
using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

TEST(Paths, AreFormedWithBackslashAndTranslated) {
    EXPECT_EQ(formPath("ele", "user.txt"), "ele\\user.txt");
    EXPECT_EQ(nativePath("mu_ele\\01_H.mut"), "mu_ele/01_H.mut");
    EXPECT_EQ(fileNamePart("mix\\Water.mix2"), "Water.mix2");
    EXPECT_EQ(fileNamePart("Water.mix2"), "Water.mix2");
}

TEST(TextFile, WritesCrLfAndReadsBackTheBytes) {
    WorkingDirectory directory;
    std::filesystem::create_directory("mix");
    std::string error;
    ASSERT_TRUE(atomicWriteFile("mix\\a.mix", joinLinesCrLf({"W\xe4sser", "1."}), error)) << error;
    EXPECT_EQ(readBytes("mix/a.mix"), "W\xe4sser\r\n1.\r\n");
    EXPECT_EQ(readTextFile("mix\\a.mix", error), "W\xe4sser\r\n1.\r\n");
    EXPECT_EQ(listDirectory("mix"), "a.mix");
}

TEST(TextFile, MissingFileOrDirectoryIsAnError) {
    WorkingDirectory directory;
    std::filesystem::create_directory("ele");
    std::string error;
    EXPECT_EQ(readTextFile("ele\\none.ele", error), std::nullopt);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readTextFile("ele", error), std::nullopt);
}

TEST(AtomicWrite, ReplacesAnOlderLongerFile) {
    WorkingDirectory directory;
    writeBytes("F2B.dat", std::string(1000, 'x'));
    std::string error;
    ASSERT_TRUE(atomicWriteFile("F2B.dat", "new", error));
    EXPECT_EQ(readBytes("F2B.dat"), "new");
    EXPECT_EQ(listDirectory("."), "F2B.dat");
}

// Every name the file system takes is written, up to 255 bytes, and replaced again; the
// temporary file beside it never needs a longer name.
TEST(AtomicWrite, NamesUpTo255BytesAreWritten) {
    WorkingDirectory directory;
    for (const std::size_t length : {247, 248, 250, 255}) {
        // An "é" at bytes 247 and 248, where a cut of the name would split it.
        const std::string file =
            length == 247 ? std::string(247, 'n')
                          : std::string(246, 'n') + "\xc3\xa9" + std::string(length - 248, 'n');
        ASSERT_EQ(file.size(), length);
        std::string error;
        EXPECT_TRUE(atomicWriteFile(file, "first", error)) << length << ": " << error;
        EXPECT_TRUE(atomicWriteFile(file, "second", error)) << length << ": " << error;
        EXPECT_EQ(readBytes(file), "second") << length;
        std::filesystem::remove(file);
    }
    EXPECT_EQ(listDirectory("."), "");
}

TEST(AtomicWrite, FailureKeepsTheOldFileAndLeavesNoTemporary) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only directories";
    }
    WorkingDirectory directory;
    writeBytes("locked/old.csv", "old content");
    std::filesystem::permissions("locked", std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
    std::string error;
    EXPECT_FALSE(atomicWriteFile("locked\\old.csv", "new content", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readBytes("locked/old.csv"), "old content");
    EXPECT_EQ(listDirectory("locked"), "old.csv");
}

// A file-size limit makes the write itself fail, for root as well.
TEST(AtomicWrite, FailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    WorkingDirectory directory;
    writeBytes("old.csv", "old content");
    std::optional<testing::FileSizeLimit> limit;
    limit.emplace(16);
    std::string error;
    const bool written = atomicWriteFile("old.csv", std::string(4096, 'n'), error);
    limit.reset();
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readBytes("old.csv"), "old content");
    EXPECT_EQ(listDirectory("."), "old.csv");
}

TEST(AtomicWrite, FailsForAMissingDirectoryOrADirectoryTarget) {
    WorkingDirectory directory;
    std::filesystem::create_directory("target.csv");
    writeBytes("target.csv/keep", "x");
    std::string error;
    EXPECT_FALSE(atomicWriteFile("nowhere\\a.csv", "x", error));
    EXPECT_FALSE(atomicWriteFile("target.csv", "x", error));
    EXPECT_FALSE(atomicWriteFile("", "x", error));
    EXPECT_EQ(listDirectory("."), "target.csv");
    EXPECT_EQ(readBytes("target.csv/keep"), "x");
}

// A pipe stays a pipe and a link a link: the write goes into the pipe, or replaces the file
// the link names. (A pipe in the test's own directory stands for /dev/null and the like.)
TEST(AtomicWrite, PipesAndLinksKeepWhatTheyAre) {
    WorkingDirectory directory;
    ASSERT_EQ(::mkfifo("pipe.csv", 0600), 0);
    const int reader = ::open("pipe.csv", O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string error;
    EXPECT_TRUE(atomicWriteFile("pipe.csv", "through", error)) << error;
    char received[16] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 7);
    ::close(reader);
    EXPECT_STREQ(received, "through");
    EXPECT_TRUE(std::filesystem::is_fifo("pipe.csv"));
    writeBytes("data/real.csv", "old");
    std::filesystem::create_symlink("data/real.csv", "link.csv");
    ASSERT_TRUE(atomicWriteFile("link.csv", "new", error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink("link.csv"));
    EXPECT_EQ(readBytes("data/real.csv"), "new");
    EXPECT_EQ(listDirectory("data"), "real.csv");
}

TEST(AtomicWrite, GivesTheFileTheUsualPermissions) {
    WorkingDirectory directory;
    std::string error;
    ASSERT_TRUE(atomicWriteFile("a.csv", "x", error));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat status {};
    ASSERT_EQ(::stat("a.csv", &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0666 & ~mask);
}

TEST(RemoveFile, DeletesOrReports) {
    WorkingDirectory directory;
    writeBytes("B2F.dat", "x");
    std::string error;
    EXPECT_TRUE(removeFile("B2F.dat", error));
    EXPECT_FALSE(removeFile("B2F.dat", error));
    EXPECT_EQ(listDirectory("."), "");
}

} // namespace
} // namespace tarvo

namespace tarvo {
namespace {

// A path's extension and stem as text, as the file system library gives them for "/" paths,
// and for the tables' own backslash paths too.
TEST(PathParts, ExtensionAndStemAsTheFileSystemLibraryGivesThem) {
    for (const char* path : {"mu_mix/Water.muc2", "/a/b.c/d", ".profile", "a.b.c", "..", ".", "a.",
                             "dir.d/file", "", "/x/.hidden.mut"}) {
        const std::filesystem::path library(path);
        EXPECT_EQ(extensionPart(path), library.extension().string()) << path;
        EXPECT_EQ(stemPart(path), library.stem().string()) << path;
    }
    EXPECT_EQ(extensionPart("mu_mix\\Water.muc2"), ".muc2");
    EXPECT_EQ(stemPart("mu_mix\\Water.muc2"), "Water");
}

} // namespace
} // namespace tarvo
