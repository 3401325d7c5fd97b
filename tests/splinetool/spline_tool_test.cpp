#include "splinetool/spline_tool.h"

#include "coefview/coefficient_table.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include <sys/wait.h>

namespace tarvo::spline {
namespace {

using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

struct FieldCase {
    const char* field;
    int decimals;
    std::optional<float> value;
};

class ReadExponentFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ReadExponentFieldTest, FollowsTheFixedWidthRule) {
    const std::optional<float> value = readExponentField(GetParam().field, GetParam().decimals);
    ASSERT_EQ(value.has_value(), GetParam().value.has_value()) << GetParam().field;
    if (value) {
        EXPECT_FLOAT_EQ(*value, *GetParam().value) << GetParam().field;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ReadExponentFieldTest,
    ::testing::Values(FieldCase{"1.00000E-03", 5, 0.001f}, FieldCase{" 4.076E+03", 3, 4076.0f},
                      FieldCase{"0.10000E-02", 5, 0.001f}, FieldCase{"100000E-03", 5, 0.001f},
                      FieldCase{" 4076", 3, 4.076f}, FieldCase{" 4 076", 3, 4.076f},
                      FieldCase{"1.5D+02", 3, 150.0f}, FieldCase{"1.5+02", 3, 150.0f},
                      FieldCase{"", 3, 0.0f}, FieldCase{"abc", 3, std::nullopt},
                      FieldCase{"1.0E", 3, std::nullopt}, FieldCase{"1.0E+0x", 3, std::nullopt},
                      FieldCase{"1.0E+9999", 3, std::nullopt},
                      FieldCase{"4000000000000000000000000000000000000000000000000000000000000", 3,
                                std::nullopt}));

TEST(ReadExchangeRequest, TakesThirtyCharactersAndTwoNumbers) {
    std::string error;
    const auto request = readExchangeRequest(
        "mu_mix\\A_very_long_material_name.muc3 extra\r\n500.0\r\n000.5\r\n", error);
    ASSERT_TRUE(request) << error;
    EXPECT_EQ(request->tablePath, "mu_mix\\A_very_long_material_na");
    EXPECT_EQ(request->top, 500.0f);
    EXPECT_EQ(request->step, 0.5f);
    EXPECT_FALSE(readExchangeRequest("mu_ele\\01_H.mut\r\nfive\r\n0.5\r\n", error));
    EXPECT_FALSE(readExchangeRequest("mu_ele\\01_H.mut\r\n500.0\r\n", error));
    EXPECT_FALSE(readExchangeRequest("", error));
}

TEST(GridSize, SubtractsTheTolerance) {
    EXPECT_EQ(gridSize(500.0f, 0.5f), 999);
    EXPECT_EQ(gridSize(100.0f, 0.1f), 991);
    EXPECT_EQ(gridSize(10.0f, 0.4f), 23);
    EXPECT_EQ(gridSize(1.0f, 0.5f), 1);
    EXPECT_EQ(gridSize(500.0f, 0.0f), -1);
    // Steps of tenths give energies of exact tenths, so edge energies are met.
    EXPECT_EQ(gridEnergy(143, 0.1), 15.2);
    EXPECT_EQ(gridEnergy(999, 0.5), 500.0);
}

TEST(FormatExchangeLine, WritesTheFortyFourCharacterLayout) {
    EXPECT_EQ(formatExchangeLine(1.0f, {4242.0f, 4064.4f, 0.0123f}),
              " .10000E+01  .4242E+04  .4064E+04  .1230E-01");
    EXPECT_EQ(formatExchangeLine(500.0f, {0.09687f, 0.03303f, 0.03299f}),
              " .50000E+03  .9687E-01  .3303E-01  .3299E-01");
    EXPECT_EQ(formatExchangeLine(999.95f, {9.99996f, 1.0f, 1.0f}).substr(0, 22),
              " .99995E+03  .1000E+02");
}

TEST(SplitSegments, CutsAtEdgesSoEachEdgeRowJoinsItsSide) {
    SplineTable table;
    table.rowCount = 6;
    const float energies[] = {0, 1, 2, 5, 5, 8, 9};
    std::copy(std::begin(energies), std::end(energies), table.x.begin());
    std::string error;
    const auto segments = splitSegments(table, error);
    ASSERT_TRUE(segments) << error;
    EXPECT_EQ(segments->count, 2);
    EXPECT_EQ(segments->top[1], 5.0f);
    EXPECT_EQ(segments->size[1], 3);
    EXPECT_EQ(segments->start[2], 4);
    EXPECT_EQ(segments->size[2], 3);
    EXPECT_EQ(segments->top[2], 9.0f);
}

// A table in MeV: a power law 1000 E^-2 (E in keV) below a 10 keV edge, five times that up
// to a 20 keV edge (two rows between them), fifteen times above.
std::string edgeTable(int extraEdges = 0) {
    std::vector<CoefficientRow> rows;
    const auto add = [&](double kev, double factor) {
        const double mu = factor * 1000.0 / (kev * kev);
        rows.push_back({kev / 1000.0, mu, mu * 0.9, mu * 0.8});
    };
    for (double kev : {1.0, 2.0, 5.0, 10.0}) {
        add(kev, 1);
    }
    add(10.0, 5);
    add(20.0, 5);
    add(20.0, 15);
    for (int e = 0; e < extraEdges; ++e) {
        add(30.0 + e, 15);
        add(30.0 + e, 16);
    }
    for (double kev : {50.0, 100.0, 1000.0}) {
        add(kev, 15);
    }
    std::string text = "Test table\r\n" + std::to_string(rows.size()) + "\r\n1.0\r\n";
    for (const CoefficientRow& row : rows) {
        text += formatCoefficientRow(row) + "\r\n";
    }
    return text;
}

struct RunResult {
    int status;
    std::string console;
};

// Runs a copy of the real program in the working directory.
RunResult runTool() {
    std::filesystem::copy_file(TARVO_SPLINE_TOOL, "Tarvo6_sub3",
                               std::filesystem::copy_options::overwrite_existing);
    FILE* pipe = ::popen("./Tarvo6_sub3 2>&1", "r");
    std::string console;
    char buffer[256];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        console += buffer;
    }
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, console};
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

float coefficientOf(const std::string& line, int column) {
    return std::stof(line.substr(static_cast<size_t>(11 + 11 * column), 11));
}

TEST(SplineToolProgram, DefaultsGive999LinesOf44Characters) {
    WorkingDirectory directory;
    writeBytes("mu_ele/tbl.mut", edgeTable());
    writeBytes("B2F.dat", "mu_ele\\tbl.mut\r\n500.0\r\n000.5\r\n");
    const RunResult run = runTool();
    ASSERT_EQ(run.status, 0) << run.console;
    EXPECT_EQ(run.console,
              "  ---  Velkar  ---\n  --- finished ---\nStop - Program terminated.\r\n");
    const std::string output = readBytes("F2B.dat");
    const std::vector<std::string> lines = linesOf(output);
    ASSERT_EQ(lines.size(), 999U);
    for (const std::string& line : lines) {
        ASSERT_EQ(line.size(), 45U) << line; // 44 characters and the CR
        ASSERT_EQ(line.back(), '\r');
    }
    EXPECT_EQ(lines.front().substr(0, 11), " .10000E+01");
    EXPECT_EQ(lines.back().substr(0, 11), " .50000E+03");
    EXPECT_EQ(lines[4].substr(0, 22), " .30000E+01  .1111E+03"); // 3 keV: 1000 / 9
}

TEST(SplineToolProgram, EdgesTwoRowSegmentsAndTheGridEnd) {
    WorkingDirectory directory;
    writeBytes("mu_ele/tbl.mut", edgeTable());
    writeBytes("B2F.dat", "mu_ele\\tbl.mut\r\n030.0\r\n000.5\r\n");
    writeBytes("F2B.dat", std::string(100000, 'x'));
    const RunResult run = runTool();
    ASSERT_EQ(run.status, 0) << run.console;
    const std::vector<std::string> lines = linesOf(readBytes("F2B.dat"));
    ASSERT_EQ(lines.size(), 59U); // 1.0 to 30.0 keV; the old longer file is gone
    const auto at = [&](double kev) {
        return lines[static_cast<size_t>(std::lround((kev - 1.0) / 0.5))];
    };
    EXPECT_NEAR(coefficientOf(at(10.0), 0), 10.0f, 0.01f); // at the edge: the segment below
    EXPECT_NEAR(coefficientOf(at(10.5), 0), 5000.0f / 110.25f, 0.05f); // just above it
    EXPECT_NEAR(coefficientOf(at(15.0), 0), 5000.0f / 225.0f, 0.02f);  // two-row segment
    EXPECT_NEAR(coefficientOf(at(15.0), 2), 0.8f * 5000.0f / 225.0f, 0.02f);
    EXPECT_NEAR(coefficientOf(at(20.0), 0), 12.5f, 0.01f);
}

TEST(SplineToolProgram, TopTenStepPointFourGives23Lines) {
    WorkingDirectory directory;
    writeBytes("mu_ele/tbl.mut", edgeTable());
    writeBytes("B2F.dat", "mu_ele\\tbl.mut\r\n010.0\r\n000.4\r\n");
    ASSERT_EQ(runTool().status, 0);
    const std::vector<std::string> lines = linesOf(readBytes("F2B.dat"));
    ASSERT_EQ(lines.size(), 23U);
    EXPECT_EQ(lines.back().substr(0, 11), " .98000E+01");
}

TEST(SplineToolProgram, APathLongerThan30CharactersIsCut) {
    WorkingDirectory directory;
    writeBytes("mu_mix/abcdefghijklmnopqrstuvw", edgeTable());
    writeBytes("B2F.dat", "mu_mix\\abcdefghijklmnopqrstuvwxyz.muc3\r\n005.0\r\n001.0\r\n");
    const RunResult run = runTool();
    EXPECT_EQ(run.status, 0) << run.console;
    EXPECT_EQ(linesOf(readBytes("F2B.dat")).size(), 5U);
}

// Data the spline routines refuse stop the tool through the error mechanism, its report on
// the console as the mechanism prints it and no "F2B.dat": a segment of one row (CSIEZ), and
// an energy that comes back later in its stretch (2 keV in rows 2 and 4), which reaches the
// sorting routine C1SOR.
TEST(SplineToolProgram, DataTheRoutinesRefuseStopThroughTheErrorMechanism) {
    const struct {
        const char* rows;
        const char* report;
    } cases[] = {
        {"1.00000E-03 1.000E+03 9.000E+02 8.000E+02\r\n"
         "1.00000E-03 5.000E+03 4.500E+03 4.000E+03\r\n"
         "5.00000E-03 4.000E+01 3.600E+01 3.200E+01\r\n"
         "1.00000E-02 1.000E+01 9.000E+00 8.000E+00\r\n",
         " *** TERMINAL ERROR 1 from CSIEZ.  The number of data points must be 2 or more\n"
         " ***          while NDATA = 1 is given.\n"},
        {"1.00000E-03 1.000E+03 9.000E+02 8.000E+02\r\n"
         "2.00000E-03 5.000E+02 4.500E+02 4.000E+02\r\n"
         "3.00000E-03 4.000E+01 3.600E+01 3.200E+01\r\n"
         "2.00000E-03 1.000E+01 9.000E+00 8.000E+00\r\n"
         "5.00000E-03 1.000E+01 9.000E+00 8.000E+00\r\n",
         " *** TERMINAL ERROR 2 from C1SOR.  Points in the data point abscissas array,\n"
         " ***          XDATA, must be distinct, but XDATA(2) = XDATA(4) = 0.6931472.\n"
         " ***    Here is a traceback of subprogram calls in reverse order:\n"
         " ***    Routine name  Error type  Error code\n"
         " ***    ------------  ----------  ----------\n"
         " ***    C1SOR                  5           2  (Called internally)\n"
         " ***    C2DEC                  0           0  (Called internally)\n"
         " ***    C2INT                  0           0  (Called internally)\n"
         " ***    C2IEZ                  0           0  (Called internally)\n"
         " ***    CSIEZ                  0           0\n"
         " ***    USER                   0           0\n"},
    };
    for (const auto& c : cases) {
        WorkingDirectory directory;
        const std::string rows = c.rows;
        const auto count = std::count(rows.begin(), rows.end(), '\n');
        writeBytes("mu_ele/tbl.mut", "T\r\n" + std::to_string(count) + "\r\n1.0\r\n" + rows);
        writeBytes("B2F.dat", "mu_ele\\tbl.mut\r\n005.0\r\n001.0\r\n");
        const RunResult run = runTool();
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.console, std::string("  ---  Velkar  ---\n") + c.report +
                                   "Stop - Program terminated.\r\n");
        EXPECT_FALSE(std::filesystem::exists("F2B.dat"));
    }
}

struct BadInput {
    const char* label;
    const char* exchange; // nullptr: no "B2F.dat"
    std::string table;    // empty: no table file
    const char* reason;
};

class SplineToolBadInput : public ::testing::TestWithParam<BadInput> {};

std::string tableOfRows(int rows) {
    std::string text = "T\r\n" + std::to_string(rows) + "\r\n1.0\r\n";
    for (int i = 0; i < rows; ++i) {
        const double mev = 0.001 * (1 + i);
        text += formatCoefficientRow({mev, 1.0 / mev, 0.9 / mev, 0.8 / mev}) + "\r\n";
    }
    return text;
}

// A failed run gives its reason and leaves no "F2B.dat", not even an earlier one.
TEST_P(SplineToolBadInput, GivesAReasonAFailingStatusAndNoResultFile) {
    WorkingDirectory directory;
    if (GetParam().exchange != nullptr) {
        writeBytes("B2F.dat", GetParam().exchange);
    }
    if (!GetParam().table.empty()) {
        writeBytes("mu_ele/tbl.mut", GetParam().table);
    }
    writeBytes("F2B.dat", "earlier result\r\n");
    const RunResult run = runTool();
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.console.find("Tarvo6_sub3: "), std::string::npos) << run.console;
    EXPECT_NE(run.console.find(GetParam().reason), std::string::npos) << run.console;
    EXPECT_FALSE(std::filesystem::exists("F2B.dat"));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SplineToolBadInput,
    ::testing::Values(
        BadInput{"no_exchange_file", nullptr, edgeTable(), "B2F.dat"},
        BadInput{"top_not_a_number", "mu_ele\\tbl.mut\r\nabc\r\n000.5\r\n", edgeTable(), "B2F.dat"},
        BadInput{"no_table", "mu_ele\\tbl.mut\r\n500.0\r\n000.5\r\n", "", "cannot read"},
        BadInput{"one_row", "mu_ele\\tbl.mut\r\n005.0\r\n000.5\r\n", tableOfRows(1),
                 "2 to 100 rows"},
        BadInput{"101_rows", "mu_ele\\tbl.mut\r\n005.0\r\n000.5\r\n", tableOfRows(101),
                 "2 to 100 rows"},
        BadInput{"truncated", "mu_ele\\tbl.mut\r\n005.0\r\n000.5\r\n",
                 "T\r\n5\r\n1.0\r\n" + tableOfRows(2).substr(11), "ends after 2 rows"},
        BadInput{"unreadable_row", "mu_ele\\tbl.mut\r\n005.0\r\n000.5\r\n",
                 "T\r\n2\r\n1.0\r\n1.00000E-03 x.xxxE+03 1.0E+00 1.0E+00\r\n"
                 "2.00000E-03 1.000E+03 1.0E+00 1.0E+00\r\n",
                 "row 1"},
        BadInput{"21_segments", "mu_ele\\tbl.mut\r\n005.0\r\n000.5\r\n", edgeTable(19), "segments"},
        BadInput{"over_1000_points", "mu_ele\\tbl.mut\r\n500.0\r\n000.1\r\n", edgeTable(), "1000"},
        BadInput{"zero_step", "mu_ele\\tbl.mut\r\n500.0\r\n000.0\r\n", edgeTable(),
                 "positive step"},
        BadInput{"above_last_energy", "mu_ele\\tbl.mut\r\n050.0\r\n000.5\r\n", tableOfRows(20),
                 "above the table's last energy"},
        BadInput{"falling_energies", "mu_ele\\tbl.mut\r\n005.0\r\n001.0\r\n",
                 "T\r\n4\r\n1.0\r\n1.00000E-03 1.000E+03 9.000E+02 8.000E+02\r\n"
                 "3.00000E-03 5.000E+02 4.500E+02 4.000E+02\r\n"
                 "2.00000E-03 4.000E+01 3.600E+01 3.200E+01\r\n"
                 "5.00000E-03 1.000E+01 9.000E+00 8.000E+00\r\n",
                 "the table's energies fall at row 3"}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.label); });

} // namespace
} // namespace tarvo::spline
