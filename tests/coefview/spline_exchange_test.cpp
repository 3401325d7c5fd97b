#include "coefview/spline_exchange.h"

#include "common/exchange_files.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvo {
namespace {

using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

TEST(ExchangeFiles, RequestAndResultsFollowTheirLayouts) {
    EXPECT_EQ(exchangeRequest("mu_mix\\Water.muc2", 500.0, 0.5),
              "mu_mix\\Water.muc2\r\n500.0\r\n000.5\r\n");
    const auto results = readExchangeResults(" .10000E+01  .4242E+04  .4064E+04  .4064E+04\r\n"
                                             " .15000E+01  .1376E+04  .1372E+04  .1372E+04\r\n",
                                             2);
    ASSERT_TRUE(results);
    EXPECT_DOUBLE_EQ((*results)[1][0], 1376.0);
    EXPECT_FALSE(readExchangeResults(" .10000E+01  .4242E+04  .4064E+04  .4064E+04\r\n", 2));
    EXPECT_FALSE(readExchangeResults(" .10000E+01  .4242E+04  -.4E+04  .4064E+04\r\n", 1));
    EXPECT_FALSE(readExchangeResults("", 1));
}

// A request removes an earlier result first; the results are read for the points asked;
// both files go at the end.
TEST(ExchangeFiles, ARequestRemovesAnEarlierResultAndBothFilesGoAtTheEnd) {
    WorkingDirectory directory;
    writeBytes(kResultFile, " .10000E+01  .4242E+04  .4064E+04  .4064E+04\r\n");
    std::string error;
    ASSERT_TRUE(
        writeSplineRequest({1.0, 10.0, 1.0, IntervalMethod::spline, "mu_ele\\01_H.mut"}, error))
        << error;
    EXPECT_EQ(readBytes(kRequestFile), "mu_ele\\01_H.mut\r\n010.0\r\n001.0\r\n");
    EXPECT_FALSE(std::filesystem::exists(kResultFile));
    EXPECT_FALSE(readSplineResults(1, error));
    writeBytes(kResultFile, " .10000E+01  .4242E+04  .4064E+04  .4064E+04\r\n");
    EXPECT_TRUE(readSplineResults(1, error));
    EXPECT_FALSE(readSplineResults(2, error));
    EXPECT_NE(error.find("fewer"), std::string::npos) << error;
    removeExchangeFiles();
    EXPECT_FALSE(std::filesystem::exists(kRequestFile));
    EXPECT_FALSE(std::filesystem::exists(kResultFile));
}

} // namespace
} // namespace tarvo
