#include "coefview/coefficient_table.h"
#include "common/loglog.h"
#include "tests/test_support.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>

namespace tarvo {
namespace {

using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the real tool on the build's run directory; `input` goes to its standard input.
Outcome tarvo(const std::string& arguments, const std::string& input = "") {
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("tarvo-cli-" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    std::ofstream(scratch / "in") << input;
    const std::string command = std::string(TARVO_CLI) + " " + arguments + " < " +
                                (scratch / "in").string() + " 2> " + (scratch / "err").string();
    FILE* pipe = ::popen(command.c_str(), "r");
    Outcome run;
    char buffer[4096];
    for (size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.out.append(buffer, n);
    }
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readBytes(scratch / "err");
    std::filesystem::remove_all(scratch);
    return run;
}

// The rows of a CSV answer below its heading, as numbers where they are numbers.
std::vector<std::vector<std::string>> csvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, ',');) {
            cells.push_back(cell);
        }
        rows.push_back(cells);
    }
    return rows;
}

CoefficientTable shippedTable(const std::string& path) {
    std::string error;
    auto table = loadCoefficientTable(std::string(TARVO_SHIPPED_DATA) + "/" + path,
                                      isMaterialCoefficientPath(path), error);
    EXPECT_TRUE(table) << error;
    return table.value_or(CoefficientTable{});
}

TEST(Tarvo, WaterAt1Point25MeVAndLeadAtItsRowsAndBetween) {
    const Outcome water = tarvo("mu Water --energy 1.25 --csv");
    ASSERT_EQ(water.status, 0) << water.err;
    const auto rows = csvRows(water.out);
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0][2], "6.323E-02");
    EXPECT_EQ(rows[0][4], "2.965E-02");
    // At a row's energy its values; between rows the log-log line through them.
    const CoefficientTable lead = shippedTable("mu_ele/82_Pb.mut");
    size_t i = 30; // a row that is no edge's, and the next
    while (lead.rows[i - 1].energy == lead.rows[i].energy ||
           lead.rows[i].energy == lead.rows[i + 1].energy) {
        ++i;
    }
    const CoefficientRow& row = lead.rows[i];
    const CoefficientRow& next = lead.rows[i + 1];
    const double between = std::sqrt(row.energy * next.energy);
    std::ostringstream energies;
    energies.precision(17);
    energies << row.energy << "," << between;
    const Outcome pb = tarvo("mu Pb --digits 10 --csv --energy " + energies.str());
    ASSERT_EQ(pb.status, 0) << pb.err;
    const auto values = csvRows(pb.out);
    ASSERT_EQ(values.size(), 2U);
    EXPECT_NEAR(std::stod(values[0][2]), row.attenuation, 1e-9 * row.attenuation);
    const double expected =
        logLogInterpolate(between, row.energy, row.attenuation, next.energy, next.attenuation);
    EXPECT_NEAR(std::stod(values[1][2]), expected, 1e-8 * expected);
}

TEST(Tarvo, AnEdgeEnergyGivesBothSidesAndEveryCrossingIsFound) {
    const Outcome edge = tarvo("xs Pb --energy 0.088 --csv");
    ASSERT_EQ(edge.status, 0) << edge.err;
    const auto sides = csvRows(edge.out);
    ASSERT_EQ(sides.size(), 2U);
    EXPECT_EQ(sides[0][1], "below");
    EXPECT_EQ(sides[1][1], "above");
    EXPECT_LT(std::stod(sides[0][4]), std::stod(sides[1][4]) / 4); // the K jump
    const Outcome crossings = tarvo("energy Pb --mu 100 --json");
    ASSERT_EQ(crossings.status, 0) << crossings.err;
    const auto json = nlohmann::json::parse(crossings.out);
    ASSERT_EQ(json["rows"].size(), 3U);
    EXPECT_EQ(json["rows"][1]["where"], "at an edge, jumping across");
    EXPECT_EQ(json["units"]["energy"], "MeV");
}

TEST(Tarvo, LeadsHalfValueLayerAt662keV) {
    const Outcome run =
        tarvo("attenuate Pb --thickness 5mm --energy 662 --unit keV --csv --digits 8");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = csvRows(run.out);
    ASSERT_EQ(rows.size(), 1U);
    const double mu = std::stod(rows[0][2]) * 11.35;
    EXPECT_NEAR(std::stod(rows[0][3]), std::exp(-mu * 0.5), 1e-6);
    EXPECT_NEAR(std::stod(rows[0][6]), std::log(2.0) / mu, 1e-6);
    EXPECT_NEAR(std::stod(rows[0][6]), 0.55, 0.01); // about 5.5 mm of lead
}

// The formula's composition is the shipped water's, as the mu readings are.
TEST(Tarvo, FormulaWaterIsTheShippedWater) {
    WorkingDirectory directory;
    const Outcome run = tarvo("combine --formula H2O --name W --density 1 --out " +
                              (directory.path() / "W.muc3").string());
    ASSERT_EQ(run.status, 0) << run.err;
    std::string error;
    const auto formula = loadCoefficientTable((directory.path() / "W.muc3").string(), true, error);
    ASSERT_TRUE(formula) << error;
    const CoefficientTable water = shippedTable("mu_mix/Water.muc2");
    ASSERT_EQ(formula->compositionCount, water.compositionCount);
    for (int k = 1; k <= water.compositionCount; ++k) {
        EXPECT_EQ(formula->composition[static_cast<size_t>(k)].atomicNumber,
                  water.composition[static_cast<size_t>(k)].atomicNumber);
        EXPECT_NEAR(formula->composition[static_cast<size_t>(k)].weightFraction,
                    water.composition[static_cast<size_t>(k)].weightFraction, 1e-5);
    }
    const Outcome both = tarvo("mu --formula H2O --energy 0.1,1,10 --csv --digits 3");
    const Outcome shipped = tarvo("mu Water --energy 0.1,1,10 --csv --digits 3");
    EXPECT_EQ(csvRows(both.out).size(), 3U);
    for (size_t r = 0; r < 3; ++r) {
        EXPECT_EQ(csvRows(both.out)[r][2], csvRows(shipped.out)[r][2]) << r;
    }
}

// A hydrate typed with an ASCII dot reads as with the centre dot; the heading and the JSON
// say how it was read, and the note how to write the decimal reading.
TEST(Tarvo, AHydrateDotIsReadAsTheCentreDotAndSaidSo) {
    const Outcome dot = tarvo("mu --formula CuSO4.5H2O --energy 0.01 --json");
    const Outcome centre = tarvo("mu --formula CuSO4*5H2O --energy 0.01 --json");
    ASSERT_EQ(dot.status, 0) << dot.err;
    const auto json = nlohmann::json::parse(dot.out);
    EXPECT_EQ(json["material"], "CuSO4.5H2O (read as Cu 1, S 1, O 9, H 10)");
    EXPECT_EQ(json["rows"][0]["mu"], nlohmann::json::parse(centre.out)["rows"][0]["mu"]);
    EXPECT_NEAR(json["rows"][0]["mu"].get<double>(), 64.83, 0.01);
    ASSERT_EQ(json["notes"].size(), 1U);
    EXPECT_NE(json["notes"][0].get<std::string>().find("CuS(O4.5)H2O"), std::string::npos);
    EXPECT_NE(dot.err.find("CuS(O4.5)H2O"), std::string::npos) << dot.err;
    const Outcome decimal = tarvo("mu --formula Fe0.95O --energy 0.01 --json");
    EXPECT_EQ(nlohmann::json::parse(decimal.out)["notes"].size(), 0U);
    EXPECT_EQ(decimal.err, "");
}

TEST(Tarvo, EnergiesFromTheStandardInputAndRanges) {
    const Outcome input = tarvo("mu Air --csv --unit keV", "# keV\n10\n\n100\n1000\n");
    ASSERT_EQ(input.status, 0) << input.err;
    EXPECT_EQ(csvRows(input.out).size(), 3U);
    const Outcome range = tarvo("xs Water --range 0.001:100000:9 --csv");
    ASSERT_EQ(range.status, 0) << range.err;
    const auto rows = csvRows(range.out);
    ASSERT_EQ(rows.size(), 9U);
    EXPECT_EQ(rows[4][0], "1.000E+01");
    EXPECT_EQ(tarvo("table Water --from 1 --to 10 --step 0.5 --method spline --csv").out.size(),
              tarvo("table Water --from 1 --to 10 --step 0.5 --csv").out.size());
}

struct ErrorCase {
    const char* arguments;
    int status;
    const char* message;
};

TEST(Tarvo, EveryBadInputSaysWhatAndNamesTheArgument) {
    const ErrorCase cases[] = {
        {"mu Unobtainium --energy 1", 1, "no table named \"Unobtainium\""},
        {"mu --formula Xx2 --energy 1", 1, "unknown element symbol \"Xx\" at character 1"},
        {"mu --energy 1", 2, "give one material"},
        {"mu Water --formula H2O --energy 1", 2, "give one material"},
        {"mu Water --energy abc", 2, "--energy \"abc\" is not a positive number"},
        {"mu Water --energy 1,-2", 2, "--energy \"-2\""},
        {"mu Water --range 1:0.1:5", 2, "--range \"1:0.1:5\""},
        {"mu Water --energy 1 --unit eV", 2, "--unit"},
        {"mu Water --energy 25,1", 1, "2.50000E+01 MeV lies outside"},
        {"attenuate Pb --thickness 2 --energy 1", 2, "--thickness \"2\""},
        {"attenuate --formula H2O --thickness 2mm --energy 1", 2, "--density is needed"},
        {"energy Water --mu 1e9", 1, "never takes the value"},
        {"table Water --from 0.5", 2, "--from"},
        {"combine --formula H2O --name W --density 1 --out w.txt", 2, "--out ending in"},
        {"mu --mixture H2O:x --energy 1", 1, "--mixture: \"H2O:x\""},
        {"mu --mixture H2O:inf,NaCl:1 --energy 1", 1, "--mixture: \"H2O:inf\""},
        {"mu --mixture \"H2O:1e400\" --energy 1", 1, "--mixture: \"H2O:1e400\""},
        {"frobnicate", 2, "frobnicate"}};
    for (const ErrorCase& c : cases) {
        const Outcome run = tarvo(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
        EXPECT_EQ(run.err.rfind("tarvo: ", 0), 0U) << c.arguments;
    }
    // An answer that cannot be written is a failure, not a success.
    const Outcome full = tarvo("mu Water --energy 0.1 --csv > /dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("could not be written"), std::string::npos) << full.err;
    // The energy the table can answer is answered beside the one it cannot.
    EXPECT_EQ(csvRows(tarvo("mu Water --energy 25,1 --csv").out).size(), 1U);
    EXPECT_EQ(tarvo("--help").status, 0);
    EXPECT_NE(tarvo("mu --help").out.find("Example: tarvo mu Water"), std::string::npos);
}

// A new table goes where the viewers list it and is read like the shipped ones.
TEST(Tarvo, ACombinedMixtureIsListedAndRead) {
    WorkingDirectory directory;
    std::filesystem::copy(TARVO_SHIPPED_DATA, "run", std::filesystem::copy_options::recursive);
    const std::string data = " --data " + (directory.path() / "run").string();
    const Outcome made = tarvo("combine --mixture H2O:90,NaCl:10 --name Brine --density 1.07 --out "
                               "Brine.muc3" +
                               data);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(std::filesystem::exists("run/mu_mix/Brine.muc3"));
    EXPECT_NE(
        tarvo("list materials --category other --csv" + data).out.find("Brine,material,other"),
        std::string::npos);
    const Outcome read = tarvo("mu Brine --energy 0.1 --json" + data);
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(nlohmann::json::parse(read.out)["density_g_cm3"], 1.07);
}

// The tool never leaves the working directory: a relative energy file and output path are
// the working directory's, whatever run directory the tables come from.
TEST(Tarvo, PathsTheUserGivesAreTheWorkingDirectorys) {
    WorkingDirectory directory;
    std::filesystem::create_directory("sub");
    writeBytes("rel.txt", "0.1\n1.0\n");
    const std::string data = std::string(" --data ") + TARVO_SHIPPED_DATA;
    const Outcome read = tarvo("mu Water --file rel.txt --csv" + data);
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(csvRows(read.out).size(), 2U) << read.out;
    const Outcome made =
        tarvo("combine --formula H2O --name W --density 1 --out sub/x.muc3" + data);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(std::filesystem::exists("sub/x.muc3"));
    EXPECT_FALSE(std::filesystem::exists(std::string(TARVO_SHIPPED_DATA) + "/sub"));
}

// A table is found by symbol, atomic number, stem or its own name, in any case.
TEST(Tarvo, ATableIsFoundByEveryNameItHas) {
    const std::string lead = tarvo("mu 82_Pb --energy 0.1 --csv").out;
    const std::string water = tarvo("mu Water --energy 0.1 --csv").out;
    ASSERT_FALSE(csvRows(lead).empty());
    const std::pair<const char*, const std::string*> names[] = {{"Pb", &lead},
                                                                {"82", &lead},
                                                                {"Lead", &lead},
                                                                {"lead", &lead},
                                                                {"'water, liquid'", &water}};
    for (const auto& [name, expected] : names) {
        const Outcome run = tarvo(std::string("mu ") + name + " --energy 0.1 --csv");
        EXPECT_EQ(run.status, 0) << name << ": " << run.err;
        EXPECT_EQ(csvRows(run.out), csvRows(*expected)) << name;
    }
    for (const char* none : {"0", "93", "2.5"}) {
        EXPECT_NE(tarvo(std::string("mu ") + none + " --energy 0.1").err.find("no table named"),
                  std::string::npos)
            << none;
    }
}

} // namespace
} // namespace tarvo
