#include "common/table_reader.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvo {
namespace {

using testing::WorkingDirectory;
using testing::writeBytes;

struct StartCase {
    const char* label;
    const char* startDat; // nullptr: no file
    const char* userTxt;  // nullptr: no file
    std::optional<std::string> line;
};

class ReadStartFilesTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(ReadStartFilesTest, NeedsBothFilesReadable) {
    WorkingDirectory directory;
    std::filesystem::create_directory("ele");
    if (GetParam().startDat != nullptr) {
        writeBytes("Start.dat", GetParam().startDat);
    }
    if (GetParam().userTxt != nullptr) {
        writeBytes("ele/user.txt", GetParam().userTxt);
    }
    EXPECT_EQ(readStartFiles(DataDirectory::working()), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadStartFilesTest,
    ::testing::Values(StartCase{"both", "Tarvo_V7S,1\r\n", "Dosimetry lab\r\nsecond\r\n",
                                std::string("Dosimetry lab")},
                      StartCase{"lf_only", "x\n", "Lab\n", std::string("Lab")},
                      StartCase{"no_start", nullptr, "Lab\r\n", std::nullopt},
                      StartCase{"no_user", "x\r\n", nullptr, std::nullopt},
                      StartCase{"empty_start", "", "Lab\r\n", std::nullopt},
                      StartCase{"empty_user", "x\r\n", "", std::nullopt}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.label); });

} // namespace
} // namespace tarvo
