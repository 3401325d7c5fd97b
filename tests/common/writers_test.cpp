#include "coefview/coefficient_table.h"
#include "coefview/equal_interval.h"
#include "coefview/spline_exchange.h"
#include "common/graph_surface.h"
#include "common/text_file.h"
#include "splinetool/spline_tool.h"
#include "tests/test_support.h"
#include "xsview/cross_section_table.h"

#include <QImage>

#include <gtest/gtest.h>

#include <optional>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sstream>

#include <sys/resource.h>
#include <unistd.h>

namespace tarvo {
namespace {

using testing::listDirectory;
using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

using Writer = std::function<bool(const std::string& path, std::string& error)>;

struct WriterCase {
    const char* label;
    Writer write;
};

std::vector<CrossSectionRow> crossSectionRows() {
    std::vector<CrossSectionRow> rows;
    for (int i = 0; i < 120; ++i) {
        rows.push_back({0.001 * (i + 1), 1, 1, 1, 0, 0});
    }
    return rows;
}

std::vector<CoefficientRow> coefficientRows() {
    std::vector<CoefficientRow> rows;
    for (int i = 0; i < 120; ++i) {
        rows.push_back({0.001 * (i + 1), 3, 2, 1});
    }
    return rows;
}

CrossSectionTable crossSectionTable() {
    CrossSectionTable table;
    table.name = "Table";
    table.rowCount = 120;
    const auto rows = crossSectionRows();
    std::copy(rows.begin(), rows.end(), table.rows.begin() + 1);
    return table;
}

CoefficientTable coefficientTable() {
    CoefficientTable table;
    table.name = "Table";
    table.energyCount = 120;
    const auto rows = coefficientRows();
    std::copy(rows.begin(), rows.end(), table.rows.begin() + 1);
    return table;
}

// Every file the suite writes, by the function that writes it.
std::vector<WriterCase> writers() {
    const std::vector<CompositionEntry> composition{{1, 1.0}};
    return {
        {"material_table",
         [](const std::string& p, std::string& e) {
             return writeMaterialTable(p, "M", 1.0, crossSectionRows(), e);
         }},
        {"element_table",
         [](const std::string& p, std::string& e) {
             return writeElementTable(p, "E", 1.0, crossSectionRows(), "1.008", e);
         }},
        {"material_coefficients",
         [composition](const std::string& p, std::string& e) {
             return writeMaterialCoefficientTable(p, "M", 1.0, coefficientRows(), composition, e);
         }},
        {"cross_section_csv",
         [](const std::string& p, std::string& e) {
             return writeCrossSectionCsv(p, crossSectionTable(), e);
         }},
        {"coefficient_csv",
         [](const std::string& p, std::string& e) {
             return writeCoefficientCsv(p, coefficientTable(), e);
         }},
        {"interval_csv",
         [](const std::string& p, std::string& e) {
             return writeIntervalCsv(p, 0.5, std::vector<IntervalValues>(999, {1, 2, 3}), e);
         }},
        {"bitmap",
         [](const std::string& p, std::string& e) {
             QImage image(300, 300, QImage::Format_RGB32);
             image.fill(Qt::blue);
             return writeBitmap(image, p, e);
         }},
        {"exchange_request",
         [](const std::string& p, std::string& e) {
             return atomicWriteFile(p, exchangeRequest(std::string(4000, 'x'), 500, 0.5), e);
         }},
    };
}

using DensityWriter =
    std::function<bool(const std::string& path, double density, std::string& error)>;

// The three table files that hold a density in a six-decimal field.
std::vector<DensityWriter> densityWriters() {
    return {
        [](const std::string& p, double d, std::string& e) {
            return writeMaterialTable(p, "M", d, crossSectionRows(), e);
        },
        [](const std::string& p, double d, std::string& e) {
            return writeElementTable(p, "E", d, crossSectionRows(), "1.008", e);
        },
        [](const std::string& p, double d, std::string& e) {
            return writeMaterialCoefficientTable(p, "M", d, coefficientRows(), {{{1, 1.0}}}, e);
        },
    };
}

TEST(TableWriters, RefuseADensityTheirFieldWouldStoreAsZero) {
    WorkingDirectory directory;
    const struct {
        double density;
        const char* reason; // empty: written
    } cases[] = {
        {1e-7, "the density 1.000E-07 g/cm3 is below the smallest a table holds, 0.000001 g/cm3"},
        {4.9e-7, "below the smallest a table holds"},
        {0.0, "the density must be a positive number"},
        {-1.0, "the density must be a positive number"},
        {5e-7, ""},
        {0.001205, ""},
    };
    for (const DensityWriter& write : densityWriters()) {
        for (const auto& [density, reason] : cases) {
            std::string error;
            const bool written = write("table", density, error);
            EXPECT_EQ(written, *reason == '\0') << density << " " << error;
            EXPECT_EQ(std::filesystem::exists("table"), written) << density;
            if (!written) {
                EXPECT_NE(error.find(reason), std::string::npos) << error;
            }
            std::filesystem::remove("table");
        }
    }
}

class WritersTest : public ::testing::TestWithParam<WriterCase> {};

TEST_P(WritersTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    WorkingDirectory directory;
    writeBytes("out/old.file", "old content");
    std::optional<testing::FileSizeLimit> limit;
    limit.emplace(64);
    std::string error;
    const bool written = GetParam().write("out/old.file", error);
    limit.reset();
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readBytes("out/old.file"), "old content");
    EXPECT_EQ(listDirectory("out"), "old.file");
}

TEST_P(WritersTest, AMissingDirectoryIsAnErrorAndCreatesNothing) {
    WorkingDirectory directory;
    std::string error;
    EXPECT_FALSE(GetParam().write("missing/deeper/new.file", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(listDirectory("."), "");
}

TEST_P(WritersTest, AReadOnlyDirectoryKeepsItsFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only directories";
    }
    WorkingDirectory directory;
    writeBytes("locked/old.file", "old content");
    std::filesystem::permissions("locked", std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
    std::string error;
    EXPECT_FALSE(GetParam().write("locked/old.file", error));
    EXPECT_EQ(readBytes("locked/old.file"), "old content");
    EXPECT_EQ(listDirectory("locked"), "old.file");
}

INSTANTIATE_TEST_SUITE_P(Files, WritersTest, ::testing::ValuesIn(writers()),
                         [](const ::testing::TestParamInfo<WriterCase>& info) {
                             return std::string(info.param.label);
                         });

// The spline tool's own writer, through the whole program: the earlier result is removed
// first, and a failed write leaves neither a result nor a temporary file.
TEST(SplineToolWriter, AFailedWriteOfItsResultLeavesNoResult) {
    WorkingDirectory directory;
    std::string table = "T\r\n002\r\n1.0\r\n";
    table += formatCoefficientRow({0.001, 3, 2, 1}) + "\r\n" +
             formatCoefficientRow({1.0, 3, 2, 1}) + "\r\n";
    writeBytes("tbl.mut", table);
    writeBytes("B2F.dat", "tbl.mut\r\n500.0\r\n000.5\r\n");
    writeBytes("F2B.dat", "old content");
    std::optional<testing::FileSizeLimit> limit;
    limit.emplace(1000);
    std::ostringstream console;
    const int status = spline::runSplineTool(console);
    limit.reset();
    EXPECT_NE(status, 0);
    EXPECT_NE(console.str().find("cannot write \"F2B.dat\""), std::string::npos) << console.str();
    EXPECT_FALSE(std::filesystem::exists("F2B.dat"));
    EXPECT_EQ(listDirectory("."), "B2F.dat tbl.mut");
}

} // namespace
} // namespace tarvo
