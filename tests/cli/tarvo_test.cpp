#include "coefview/coefficient_table.h"
#include "coefview/coefficient_values.h"
#include "splinetool/spline_reading.h"
#include "tests/test_support.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <stdlib.h>
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

// Runs the real tool on the build's run directory; `input` goes to its standard input,
// unless `standardInput` gives the shell's redirection for it ("< /tmp", "<&-").
Outcome tarvo(const std::string& arguments, const std::string& input = "",
              const std::string& standardInput = "") {
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("tarvo-cli-" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    std::ofstream(scratch / "in") << input;
    const std::string redirection =
        standardInput.empty() ? "< " + (scratch / "in").string() : standardInput;
    const std::string command = std::string(TARVO_CLI) + " " + arguments + " " + redirection +
                                " 2> " + (scratch / "err").string();
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
        if (!line.empty() && line.back() == ',') {
            cells.emplace_back(); // an empty last field
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
    // At a row's energy its values; between rows, by --method loglog, the windows' reading
    // to the last digit, and by the spline (the default) the library's spline reading.
    const CoefficientTable lead = shippedTable("mu_ele/82_Pb.mut");
    const ReadingTable readings = readingTableOf(lead);
    std::string error;
    const auto splines = prepareSplineReadings(readings, SplineColumns::coefficients, error);
    ASSERT_TRUE(splines) << error;
    std::ostringstream energies;
    energies.precision(17);
    for (int j = 2; j <= lead.energyCount; ++j) {
        const double low = readings.energies[static_cast<size_t>(j - 1)];
        const double high = readings.energies[static_cast<size_t>(j)];
        energies << (j > 2 ? "," : "") << low << "," << std::sqrt(low * high);
    }
    for (const auto& [method, loglog] : {std::pair{"loglog", true}, std::pair{"spline", false}}) {
        const Outcome pb = tarvo("mu Pb --digits 17 --csv --side below --method " +
                                 std::string(method) + " --energy " + energies.str());
        ASSERT_EQ(pb.status, 0) << pb.err;
        const auto values = csvRows(pb.out);
        ASSERT_EQ(values.size(), 2U * static_cast<size_t>(lead.energyCount - 1));
        // A row's energy reads its row to the bit; between rows the batch readings agree
        // with the one-at-a-time reading within 1e-12.
        for (size_t r = 0; r < values.size(); ++r) {
            const auto& row = values[r];
            const double energy = std::stod(row[0]);
            const Reading expected = loglog ? readAtEnergy(readings, energy, 0.001, 20.0)
                                            : readSpline(*splines, energy, 0.001, 20.0);
            for (size_t k = 0; k < 3; ++k) {
                const double got = std::stod(row[2 + k]);
                if (r % 2 == 0) {
                    EXPECT_EQ(got, expected.values[k]) << method << " " << row[0];
                } else {
                    EXPECT_NEAR(got, expected.values[k], 1e-12 * expected.values[k])
                        << method << " " << row[0];
                }
            }
        }
    }
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

// Columns of an attenuate row.
enum AttenuateColumn : size_t { kMu = 2, kThickness, kMassThickness, kTransmission, kHvl = 8 };

TEST(Tarvo, LeadsHalfValueLayerAt662keV) {
    const Outcome run =
        tarvo("attenuate Pb --thickness 5mm,0.1cm,2g/cm2 --energy 662 --unit keV --csv --digits 9");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = csvRows(run.out);
    ASSERT_EQ(rows.size(), 3U);
    const double mu = std::stod(rows[0][kMu]) * 11.35; // 1/cm
    const double thicknessCm[] = {0.5, 0.1, 2 / 11.35};
    for (size_t r = 0; r < 3; ++r) {
        EXPECT_NEAR(std::stod(rows[r][kThickness]), thicknessCm[r] * 10, 1e-6) << r; // mm
        EXPECT_NEAR(std::stod(rows[r][kMassThickness]), thicknessCm[r] * 11.35, 1e-6) << r;
        EXPECT_NEAR(std::stod(rows[r][kTransmission]), std::exp(-mu * thicknessCm[r]), 1e-6);
        EXPECT_NEAR(std::stod(rows[r][kHvl]), 10 * std::log(2.0) / mu, 1e-6) << r;
    }
    EXPECT_NEAR(std::stod(rows[0][kHvl]), 5.5, 0.1); // about 5.5 mm of lead
    // The thickness that leaves half is the half-value layer, in the unit asked for.
    const auto half = csvRows(tarvo("attenuate Pb --transmission 1,0.5,0.1 --energy 0.662 "
                                    "--length-unit um --csv --digits 9")
                                  .out);
    ASSERT_EQ(half.size(), 3U);
    EXPECT_EQ(half[0][kThickness], "0.00000000E+00"); // all passes: no layer, and no "-0"
    EXPECT_NEAR(std::stod(half[1][kThickness]), std::stod(half[1][kHvl]), 1e-3);
    EXPECT_NEAR(std::stod(half[2][kThickness]), 1e4 * std::log(10.0) / mu, 1e-2);
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
}

// Every reading command reads by one default: a table on equal steps gives, to the last
// digit, what `mu` gives at its energies.
TEST(Tarvo, ATableOnEqualStepsReadsAsMuDoes) {
    const auto steps =
        csvRows(tarvo("table Pb --from 1 --to 120 --step 0.5 --digits 17 --csv").out);
    ASSERT_EQ(steps.size(), 239U);
    std::string energies;
    for (const auto& row : steps) {
        energies += row[0] + "\n";
    }
    const auto mu = csvRows(tarvo("mu Pb --side below --unit keV --digits 17 --csv", energies).out);
    ASSERT_EQ(mu.size(), steps.size());
    for (size_t r = 0; r < steps.size(); ++r) {
        for (size_t k = 1; k < 4; ++k) {
            EXPECT_EQ(steps[r][k], mu[r][k + 1]) << steps[r][0];
        }
    }
}

struct ErrorCase {
    const char* arguments;
    int status;
    const char* message;
};

// Whether a text is valid UTF-8 throughout.
bool validUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80         ? 1
                              : (lead >> 5) == 6  ? 2
                              : (lead >> 4) == 14 ? 3
                              : (lead >> 3) == 30 ? 4
                                                  : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// A bad argument ends with status 2, data that cannot answer with 1; the message says what
// and names the argument, in valid UTF-8, and nothing ends the tool by a signal.
TEST(Tarvo, EveryBadInputSaysWhatAndNamesTheArgument) {
    const ErrorCase cases[] = {
        {"mu Unobtainium --energy 1", 1, "no table named \"Unobtainium\""},
        {"mu Watr --energy 1", 1, "(did you mean Water?)"},
        {"mu --mixture Watr:0.5,NaCl:0.5 --energy 1", 1, "did you mean Water"},
        {"mu --formula Xx2 --energy 1", 2, "unknown element symbol \"Xx\" at character 1"},
        {"mu --formula 'H2O)' --energy 1", 2, "--formula H2O)"},
        {"mu --formula h2o --energy 1", 2, "--formula h2o"},
        {"mu --formula H₂O --energy 1", 2, "unexpected \"₂\" at character 2"},
        {"mu --energy 1", 2, "give one material"},
        {"mu Water --formula H2O --energy 1", 2, "give one material"},
        {"mu Water --energy abc", 2, "--energy \"abc\" is not a positive number"},
        {"mu Water --energy 1,-2", 2, "--energy \"-2\""},
        {"mu Water --range 1:0.1:5", 2, "--range \"1:0.1:5\""},
        {"mu Water --energy 1 --unit eV", 2, "--unit"},
        {"mu Water --energy 1 --method cubic", 2, "--method"},
        {"mu Water --file /tmp", 2, "--file \"/tmp\" is a directory"},
        {"mu Water --file /nonexistent/energies", 2, "--file \"/nonexistent/energies\" cannot"},
        {"mu Water --energy 1 --csv --json", 2, "--csv excludes --json"},
        {"mu Water --energy 25,1", 1, "2.50000E+01 MeV lies outside"},
        {"xs Water --energy 1 --per-atom", 2, "--per-atom is for the table of an element"},
        {"attenuate Pb --thickness 2 --energy 1", 2, "--thickness \"2\""},
        {"attenuate Pb --energy 1", 2, "give --thickness or --transmission"},
        {"attenuate Pb --transmission 1.5 --energy 1", 2, "--transmission \"1.5\""},
        {"attenuate Pb --thickness 1mm --length-unit g/cm2 --energy 1", 2, "--length-unit"},
        {"attenuate --formula H2O --thickness 2mm --energy 1", 2, "--density is needed"},
        {"attenuate Pb --thickness 2mm --energy 1 --density inf", 2, "finite number above 0"},
        {"attenuate Pb --thickness 2mm --energy 1 --density nan", 2, "finite number above 0"},
        {"attenuate Pb --thickness 2mm --energy 1 --density 0", 2, "finite number above 0"},
        {"attenuate Pb --thickness 2mm --energy 1 --density -1", 2, "finite number above 0"},
        {"energy Water --mu 1e9", 1, "never takes the value"},
        {"energy Water --mu inf", 2, "finite value above 0"},
        {"table Water --from 0.5", 2, "--from"},
        {"combine --formula H2O --name W --density 1 --out w.txt", 2, "--out ending in"},
        {"combine --formula H2O --name \"$(printf 'W\\nX')\" --density 1 --out /none/x.muc3", 2,
         "one line"},
        {"combine --formula H2O --name ' ' --density 1 --out /none/x.muc3", 2, "one line"},
        {"combine --formula H2O --name W --density inf --out /none/x.muc3", 2, "finite number"},
        {"mu --mixture H2O:x --energy 1", 2, "--mixture: \"H2O:x\""},
        {"mu --mixture H2O:abc --energy 1", 2, "--mixture: \"H2O:abc\""},
        {"mu --mixture H2O:inf,NaCl:1 --energy 1", 2, "--mixture: \"H2O:inf\""},
        {"mu --mixture \"H2O:1e400\" --energy 1", 2, "--mixture: \"H2O:1e400\""},
        {"frobnicate", 2, "frobnicate"},
        {"", 2, "give a command"},
        {"--csv", 2, "spectrum"}};
    for (const ErrorCase& c : cases) {
        const Outcome run = tarvo(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
        EXPECT_EQ(run.err.rfind("tarvo: ", 0), 0U) << c.arguments;
        EXPECT_TRUE(validUtf8(run.err)) << c.arguments << ": " << run.err;
    }
    // An answer that cannot be written is a failure, not a success.
    const Outcome full = tarvo("mu Water --energy 0.1 --csv > /dev/full");
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("tarvo: cannot write the answer to the standard output: No space"),
              std::string::npos)
        << full.err;
    EXPECT_EQ(tarvo("--help").status, 0);
    EXPECT_NE(tarvo("mu --help").out.find("Example: tarvo mu Water"), std::string::npos);
    EXPECT_EQ(tarvo("--version").out.rfind("tarvo ", 0), 0U);
    EXPECT_NE(tarvo("--version").out.find("MIT License"), std::string::npos);
}

// Every energy asked for gets its row, in the order asked: nan where the table cannot
// answer (null in JSON, with the reason), and the status says some could not be answered.
TEST(Tarvo, EveryEnergyGetsItsRowInInputOrder) {
    // Lines of any length and any end: a line over 64 KiB is one row, with its note.
    const Outcome csv =
        tarvo("mu Water --csv", "0.0005\n0.1\r\nabc\r30\n" + std::string(3000000, '1') + "\n0.2\n");
    EXPECT_EQ(csv.status, 1);
    const auto rows = csvRows(csv.out);
    ASSERT_EQ(rows.size(), 6U);
    const char* energies[] = {"5.000E-04", "1.000E-01", "nan", "3.000E+01", "nan", "2.000E-01"};
    const bool answered[] = {false, true, false, false, false, true};
    EXPECT_EQ(rows[4].back(), "line 5 of the standard input: line too long (over 65536 bytes)");
    for (size_t r = 0; r < 6; ++r) {
        EXPECT_EQ(rows[r][0], energies[r]) << r;
        EXPECT_EQ(rows[r][2] == "nan", !answered[r]) << r;
        EXPECT_EQ(rows[r].back().empty(), answered[r]) << csv.out; // the note
    }
    EXPECT_NE(csv.err.find("line 3 of the standard input (\"abc\")"), std::string::npos);
    const auto json = nlohmann::json::parse(tarvo("mu Water --json --energy 0.0005,0.1").out);
    ASSERT_EQ(json["rows"].size(), 2U);
    EXPECT_TRUE(json["rows"][0]["mu"].is_null());
    EXPECT_NE(json["rows"][0]["note"].get<std::string>().find("outside the table"),
              std::string::npos);
    EXPECT_FALSE(json["rows"][1].contains("note"));
    // At an edge energy one row a side, or the side asked for.
    EXPECT_EQ(csvRows(tarvo("mu Pb --energy 0.0880045 --csv").out).size(), 2U);
    const auto above = csvRows(tarvo("mu Pb --energy 0.0880045 --side above --csv").out);
    ASSERT_EQ(above.size(), 1U);
    EXPECT_EQ(above[0][1], "above");
}

// The aligned layout is for people and for numpy.loadtxt and gnuplot alike: every heading
// line starts with "#", every other line holds the same count of numbers.
TEST(Tarvo, TheAlignedLayoutReadsAsAPlainGrid) {
    for (const char* arguments : {"mu Pb --energy 0.01,0.0880045,0.0005", "xs Pb --energy 0.088,1",
                                  "attenuate Pb --thickness 1mm,2mm --energy 0.1,0.088",
                                  "energy Pb --mu 100", "table Water --to 3 --step 1"}) {
        const Outcome run = tarvo(arguments);
        std::istringstream lines(run.out);
        size_t columns = 0;
        int rows = 0;
        for (std::string line; std::getline(lines, line);) {
            line = line.substr(0, line.find('#'));
            std::istringstream fields(line);
            size_t count = 0;
            for (std::string field; fields >> field; ++count) {
                EXPECT_TRUE(field == "nan" || std::isfinite(std::stod(field))) << field;
            }
            if (count > 0) {
                EXPECT_TRUE(columns == 0 || count == columns) << arguments << ":\n" << run.out;
                columns = count;
                ++rows;
            }
        }
        EXPECT_GT(rows, 0) << arguments;
    }
}

// JSON numbers carry every digit whatever --digits says; --unit keV reads and writes keV in
// every command; --per-atom gives an element's cross sections in barns/atom.
TEST(Tarvo, UnitsAndPrecisionAsAsked) {
    const auto json =
        nlohmann::json::parse(tarvo("mu Water --json --digits 2 --energy 25 --unit keV").out);
    const auto full = csvRows(tarvo("mu Water --csv --digits 17 --energy 25 --unit keV").out);
    EXPECT_EQ(json["rows"][0]["mu"].get<double>(), std::stod(full[0][2]));
    EXPECT_EQ(json["rows"][0]["energy"].get<double>(), 25.0);
    EXPECT_EQ(json["method"], "spline");
    EXPECT_EQ(json["units"]["energy"], "keV");
    const auto mev = csvRows(tarvo("table Water --unit MeV --from 0.001 --to 0.003 --step 0.001 "
                                   "--csv")
                                 .out);
    const auto kev = csvRows(tarvo("table Water --from 1 --to 3 --step 1 --csv").out);
    ASSERT_EQ(mev.size(), 3U);
    ASSERT_EQ(kev.size(), 3U);
    for (size_t r = 0; r < 3; ++r) {
        EXPECT_DOUBLE_EQ(std::stod(mev[r][0]) * 1000, std::stod(kev[r][0]));
        EXPECT_EQ(mev[r][1], kev[r][1]);
    }
    const auto kevCrossings = csvRows(tarvo("energy Pb --mu 100 --unit keV --csv").out);
    const auto mevCrossings = csvRows(tarvo("energy Pb --mu 100 --csv").out);
    ASSERT_EQ(kevCrossings.size(), 3U);
    ASSERT_EQ(mevCrossings.size(), 3U);
    for (size_t r = 0; r < 3; ++r) {
        EXPECT_NEAR(std::stod(kevCrossings[r][0]), 1000 * std::stod(mevCrossings[r][0]), 0.01);
    }
    const auto perGram = csvRows(tarvo("xs Pb --energy 1 --csv --digits 9").out);
    const auto perAtom = csvRows(tarvo("xs Pb --energy 1 --csv --digits 9 --per-atom").out);
    EXPECT_NEAR(std::stod(perAtom[0][7]), std::stod(perGram[0][7]) * 207.2 / 0.60221367, 1e-4);
    // Option words read in any case, as the module reads them, and show their own spelling.
    for (const auto& [asked, usual] :
         {std::pair{"mu Pb --energy 88.0045 --unit KEV --method LogLog --side ABOVE --csv",
                    "mu Pb --energy 88.0045 --unit keV --method loglog --side above --csv"},
          std::pair{"table Water --from 10 --to 20 --step 10 --unit kev --method Spline-Tool",
                    "table Water --from 10 --to 20 --step 10 --unit keV --method spline-tool"}}) {
        const Outcome shouted = tarvo(asked);
        EXPECT_EQ(shouted.status, 0) << asked << ": " << shouted.err;
        EXPECT_EQ(shouted.out, tarvo(usual).out) << asked;
    }
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

// A table is never written over unless asked, and a shipped one never: the refusal names
// the file, leaves it as it was and fails.
TEST(Tarvo, NothingIsOverwrittenUnlessAskedAndNoShippedTableEver) {
    WorkingDirectory directory;
    std::filesystem::copy(TARVO_SHIPPED_DATA, "run", std::filesystem::copy_options::recursive);
    const std::string data = " --data " + (directory.path() / "run").string();
    const std::string water = readBytes("run/mu_mix/Water.muc2");
    const struct {
        const char* arguments;
        int status;
        const char* message;
    } steps[] = {{"--out Brine.muc3", 0, "wrote"},
                 {"--out Brine.muc3", 1, "Brine.muc3\" exists; give --force"},
                 {"--out Brine.muc3 --force", 0, "wrote"},
                 {"--out Water.muc2", 1, "Water.muc2\" is a table the suite ships"},
                 {"--out Water.muc2 --force", 1, "is a table the suite ships"},
                 {"--out run/mu_mix/Water.muc2 --force", 1, "is a table the suite ships"},
                 {"--out ./run/mu_ele/../mu_ele/82_Pb.mut --force", 2, "--out ending in"},
                 {"--out run/mix/Water.mix2 --force", 1, "is a table the suite ships"}};
    for (const auto& step : steps) {
        const Outcome run = tarvo("combine --mixture 'H2O:0.9, NaCl:0.1' --name Brine "
                                  "--density 1.07 " +
                                  std::string(step.arguments) + data);
        EXPECT_EQ(run.status, step.status) << step.arguments << ": " << run.err;
        EXPECT_NE((run.out + run.err).find(step.message), std::string::npos)
            << step.arguments << ": " << run.err;
    }
    EXPECT_EQ(readBytes("run/mu_mix/Water.muc2"), water);
    EXPECT_EQ(nlohmann::json::parse(tarvo("mu Water --energy 1 --json" + data).out)["material"],
              "Water, Liquid");
}

// A new table never takes a name another answers to: a shipped table's whatever --force
// says, another's without --force. Where two tables do answer to one name (asked for with
// --force), a lookup by it names both and reads neither; a path picks one.
TEST(Tarvo, NoTableHidesAnotherAndANameOfTwoTablesIsAnError) {
    WorkingDirectory directory;
    std::filesystem::copy(TARVO_SHIPPED_DATA, "run", std::filesystem::copy_options::recursive);
    const std::string data = " --data " + (directory.path() / "run").string();
    const struct {
        const char* arguments;
        int status;
        const char* message;
    } steps[] = {
        {"--name Water --out Water.mucm --force", 1,
         "file name \"Water\" is taken by the table the suite ships"},
        {"--name Brine --out Pb.muc3 --force", 1, "file name \"Pb\" is taken"},
        {"--name Brine --out 82.muc3 --force", 1, "file name \"82\" is taken"},
        {"--name lead --out Brine.muc3 --force", 1, "name \"Lead\" is taken"},
        {"--name 'Water, Liquid' --out Brine.mix3 --force", 1, "choose another --name"},
        {"--name Brine --out Brine.muc3", 0, "wrote"},
        {"--name Brine --out brine.mucm", 1, "or give --force to let both answer to it"},
        {"--name Salt --out Other.mucm", 0, "wrote"},
        {"--name brine --out Salty.mucm", 1, "name \"Brine\" is taken by the table"},
        {"--name Brine --out brine.mucm --force", 0, "wrote"},
    };
    for (const auto& step : steps) {
        const Outcome run =
            tarvo("combine --formula Pb --density 11 " + std::string(step.arguments) + data);
        EXPECT_EQ(run.status, step.status) << step.arguments << ": " << run.err;
        EXPECT_NE((run.out + run.err).find(step.message), std::string::npos)
            << step.arguments << ": " << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists("run/mu_mix/Water.mucm"));
    EXPECT_NE(tarvo("mu Water --energy 0.1" + data).out.find("1.707E-01"), std::string::npos);
    for (const char* name : {"Brine", "--mixture Brine:1"}) {
        const Outcome both = tarvo(std::string("mu ") + name + " --energy 0.1" + data);
        EXPECT_EQ(both.status, 1) << name;
        EXPECT_NE(both.err.find("names more than one table"), std::string::npos) << both.err;
        EXPECT_NE(both.err.find("Brine.muc3"), std::string::npos) << both.err;
        EXPECT_NE(both.err.find("brine.mucm"), std::string::npos) << both.err;
    }
    // A table file is read from its path, in the working directory too.
    std::filesystem::copy("run/mu_mix/Water.muc2", "w2.muc3");
    for (const char* path : {"run/mu_mix/Brine.muc3", "w2.muc3", "./w2.muc3"}) {
        const Outcome read = tarvo(std::string("mu ") + path + " --energy 0.1 --csv" + data);
        EXPECT_EQ(read.status, 0) << path << ": " << read.err;
    }
}

// Lists are trimmed, shares that are no fractions or percentages are taken as parts of
// their sum with a note, and the tables may come from TARVO_DATA.
TEST(Tarvo, ListsAreTrimmedAndSharesRenormalisedWithANote) {
    const Outcome spaced = tarvo("mu --mixture 'H2O:0.7, Bone_Cortical:0.3' --energy ' 0.5, 1' "
                                 "--csv");
    ASSERT_EQ(spaced.status, 0) << spaced.err;
    EXPECT_EQ(csvRows(spaced.out).size(), 2U);
    EXPECT_EQ(spaced.err, "");
    const Outcome parts = tarvo("mu --mixture H2O:7,Bone_Cortical:3 --energy 0.5,1 --csv");
    EXPECT_EQ(csvRows(parts.out), csvRows(spaced.out));
    EXPECT_NE(parts.err.find("add up to 10, not 1 or 100"), std::string::npos) << parts.err;
    ::setenv("TARVO_DATA", "/nonexistent", 1);
    const Outcome fromEnvironment = tarvo("mu Water --energy 1 --csv");
    ::unsetenv("TARVO_DATA");
    EXPECT_EQ(fromEnvironment.status, 1);
    EXPECT_NE(fromEnvironment.err.find("no tables in \"/nonexistent\""), std::string::npos)
        << fromEnvironment.err;
}

// 10^5 energies piped through: a row each, in order, each the library's spline reading.
TEST(Tarvo, ABatchStreamsThroughInOrder) {
    std::string input;
    std::vector<double> energies;
    for (int i = 0; i < 100000; ++i) {
        energies.push_back(0.001 * std::pow(20000.0, (i * 7919 % 100000) / 100000.0));
        char line[32];
        std::snprintf(line, sizeof line, "%.9g\n", energies.back());
        input += line;
        energies.back() = std::stod(line);
    }
    const Outcome run = tarvo("mu Water --csv --digits 17", input);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = csvRows(run.out);
    ASSERT_EQ(rows.size(), energies.size());
    const ReadingTable water = readingTableOf(shippedTable("mu_mix/Water.muc2"));
    std::string error;
    const auto splines = prepareSplineReadings(water, SplineColumns::coefficients, error);
    ASSERT_TRUE(splines) << error;
    for (size_t r = 0; r < rows.size(); r += 997) {
        EXPECT_EQ(std::stod(rows[r][0]), energies[r]) << r;
        const Reading expected = readSpline(*splines, energies[r], 0.001, 20.0);
        EXPECT_NEAR(std::stod(rows[r][2]), expected.values[0], 1e-12 * expected.values[0]) << r;
    }
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
                                                                {"pb", &lead},
                                                                {"PB", &lead},
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

// A 100 kV tungsten-anode-like beam: Kramers' continuum (photons per keV falling as
// 100 - E) from 10 keV, filtered here by 2.5 mm of aluminium by log-log
// readings of the shipped table. The tool finds a first HVL in aluminium and a homogeneity
// coefficient where such beams have them; filtering by the tool gives the same beam.
TEST(TarvoSpectrum, AFilteredContinuumHasAPlausibleQuality) {
    const WorkingDirectory scratch;
    const CoefficientTable table = shippedTable("mu_ele/13_Al.mut");
    const ReadingTable aluminium = readingTableOf(table);
    std::string raw;
    std::string filtered;
    for (int keV = 10; keV < 100; ++keV) {
        const Reading mu = readAtEnergy(aluminium, keV / 1000.0, 0.001, 20.0);
        ASSERT_EQ(mu.result, ReadingResult::found);
        const double photons = 100.0 - keV;
        char line[64];
        std::snprintf(line, sizeof line, "%d,%.17g\n", keV, photons);
        raw += line;
        std::snprintf(line, sizeof line, "%d\t%.17g\n", keV,
                      photons * std::exp(-mu.values[0] * table.density * 0.25));
        filtered += line;
    }
    writeBytes("raw.csv", raw);
    writeBytes("filtered.txt", "# E (keV)  photons\n" + filtered);
    const auto quality = [](const std::string& arguments) {
        const Outcome run = tarvo("spectrum " + arguments + " --hvl Al --json --method loglog");
        EXPECT_EQ(run.status, 0) << arguments << ": " << run.err;
        const nlohmann::json answer = nlohmann::json::parse(run.out);
        std::map<std::string, double> values;
        for (const auto& row : answer["rows"]) {
            values[row["quantity"].get<std::string>()] = row["value"].get<double>();
        }
        return values;
    };
    const auto ours = quality("filtered.txt");
    EXPECT_GT(ours.at("HVL1"), 2.5);
    EXPECT_LT(ours.at("HVL1"), 4.5);
    EXPECT_GT(ours.at("homogeneity coefficient"), 0.6);
    EXPECT_LT(ours.at("homogeneity coefficient"), 0.95);
    EXPECT_GT(ours.at("effective energy"), 10.0);
    EXPECT_LT(ours.at("effective energy"), 99.0);
    const auto tools = quality("raw.csv --filter Al:2.5mm --out tool.csv");
    const auto written = quality("tool.csv");
    for (const char* key : {"HVL1", "HVL2", "TVL", "mean energy", "effective energy"}) {
        EXPECT_NEAR(tools.at(key), ours.at(key), 1e-9 * ours.at(key)) << key;
        EXPECT_NEAR(written.at(key), tools.at(key), 1e-12 * tools.at(key)) << key;
    }
    const auto unfiltered = quality("raw.csv");
    EXPECT_EQ(quality("raw.csv --filter Al:0mm,Cu:0g/cm2"), unfiltered);
    EXPECT_LT(unfiltered.at("HVL1"), ours.at("HVL1"));
    EXPECT_LT(unfiltered.at("mean energy"), ours.at("mean energy"));
}

// The figures of a `tarvo spectrum` run, by quantity.
std::map<std::string, double> spectrumFigures(const std::string& arguments) {
    const Outcome run = tarvo("spectrum " + arguments + " --json");
    EXPECT_EQ(run.status, 0) << arguments << ": " << run.err;

    std::map<std::string, double> values;
    if (run.status == 0) {
        const nlohmann::json answer = nlohmann::json::parse(run.out);
        for (const auto& row : answer["rows"]) {
            values[row["quantity"].get<std::string>()] =
                row["value"].is_null() ? NAN : row["value"].get<double>();
        }
    }
    return values;
}

// A beam from a tube: the tungsten model's output as real tubes give it, the inverse square,
// the QVL, a standard quality and a found filter at their nominal HVL1, the tungsten
// mammography model as published, and the generated spectrum written and read back.
TEST(TarvoSpectrum, ATubesBeamHasTheFiguresTubesAndTheModelsGive) {
    const WorkingDirectory scratch;
    const auto w80 =
        spectrumFigures("--tube W:80kV --filter Al:2.5mm --hvl Al --hvl Cu --out w80.csv");
    EXPECT_GT(w80.at("air kerma per mAs"), 30);
    EXPECT_LT(w80.at("air kerma per mAs"), 55);
    EXPECT_GT(w80.at("HVL1 in Al"), 3.5);
    EXPECT_LT(w80.at("HVL1 in Al"), 4.1);
    EXPECT_DOUBLE_EQ(w80.at("QVL in Cu"), w80.at("HVL1 in Cu") + w80.at("HVL2 in Cu"));
    EXPECT_LT(w80.at("kerma-weighted mean energy"), w80.at("mean energy"));
    // The JSON names every material of the layers (a repeated key would keep the last alone).
    const Outcome named = tarvo("spectrum --tube W:80kV --hvl Al --hvl Cu --hvl Water --json");
    EXPECT_EQ(nlohmann::json::parse(named.out)["layers of"],
              nlohmann::json({"Aluminum", "Copper", "Water, Liquid"}));
    EXPECT_EQ(
        nlohmann::json::parse(tarvo("spectrum --tube W:80kV --hvl Al --json").out)["layers of"],
        "Aluminum");
    const auto far = spectrumFigures("--tube w:80KV --filter Al:2.5mm --distance 200cm");
    EXPECT_NEAR(far.at("air kerma per mAs"), w80.at("air kerma per mAs") / 4,
                1e-12 * w80.at("air kerma per mAs"));
    const auto read = spectrumFigures("w80.csv --hvl Al");
    EXPECT_NEAR(read.at("HVL1"), w80.at("HVL1 in Al"), 1e-12 * w80.at("HVL1 in Al"));
    EXPECT_EQ(read.count("air kerma per mAs"), 0U); // a file's scale is its own
    const struct {
        const char* arguments;
        double hvl1; // g/cm2 of the shipped aluminium, 2.6989 g/cm3
    } set[] = {{"--quality RQR5 --hvl Al", 0.258 * 2.6989},
               {"--tube W:70kV --find-filter Al --hvl1 2.58mm", 0.258 * 2.6989},
               {"--tube W:70kV --find-filter Al --hvl1 0.69634g/cm2 --hvl Al", 0.69634}};
    for (const auto& [arguments, hvl1] : set) {
        const auto figures = spectrumFigures(arguments);
        ASSERT_TRUE(figures.count("HVL1 mass thickness")) << arguments;
        EXPECT_NEAR(figures.at("HVL1 mass thickness"), hvl1, 1e-6 * hvl1) << arguments;
    }
    const auto mammography =
        spectrumFigures("--tube W-mammography:28kV --filter Be:1mm,Rh:0.05mm --hvl Al");
    EXPECT_GT(mammography.at("mean energy"), 18.8);
    EXPECT_LT(mammography.at("mean energy"), 19.1);
    EXPECT_GT(mammography.at("HVL1"), 0.47);
    EXPECT_LT(mammography.at("HVL1"), 0.50);
    EXPECT_EQ(mammography.count("air kerma per mAs"), 0U);
    const std::pair<const char*, const char*> refused[] = {
        {"--tube W:20kV", "20 kV is outside the W model's 30-140 kV"},
        {"--tube W:80kV --ripple 70", "outside the W model's 30-140 kV"},
        {"--tube Mo:28kV --ripple 5", "the Mo model takes no ripple"},
        {"--tube Cu:80kV", "no tube model named \"Cu\""},
        {"--tube W80", "is not ANODE:kV"},
        {"--quality RQA5", "RQR2 to RQR9"},
        {"--tube W:80kV --quality RQR5", "give one beam"},
        {"--tube W:80kV --find-filter Al", "go together"},
        {"--tube W:80kV --find-filter Al --hvl1 0.1mm", "already above the wanted"},
        {"--tube W:40kV --find-filter Al --hvl1 80cm", "no added filter up to 50 g/cm2"},
        {"--tube W:80kV --distance 1", "--distance \"1\""}};
    for (const auto& [arguments, message] : refused) {
        const Outcome run = tarvo(std::string("spectrum ") + arguments);
        EXPECT_NE(run.status, 0) << arguments;
        EXPECT_NE(run.err.find(message), std::string::npos) << arguments << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << arguments;
    }
}

struct SpectrumErrorCase {
    const char* arguments;
    std::string input;
    int status;
    const char* message;
    const char* standardInput = "";
};

// Nothing is computed from a beam or a layer that is none; the message names the line or
// the argument.
TEST(TarvoSpectrum, EveryBadBeamSaysWhat) {
    const WorkingDirectory scratch;
    writeBytes("kept.csv", "kept");
    const SpectrumErrorCase cases[] = {
        {"spectrum -", "", 1, "standard input: the spectrum has no bins"},
        {"spectrum -", "20 5\n20 6\n", 1, "line 2: the energies must rise"},
        {"spectrum -", "20 5\n30 -6\n", 1, "line 2: the photons"},
        {"spectrum - --unit MeV", "30 5\n", 1, "line 1: the energy lies outside"},
        {"spectrum /nonexistent/beam.csv", "", 1, "/nonexistent/beam.csv"},
        {"spectrum - --filter Al:2in", "20 5\n", 2, "--filter: \"Al:2in\""},
        {"spectrum - --filter H2O:1mm", "20 5\n", 2, "has no density: give its thickness in"},
        {"spectrum - --filter Wtaer:1mm", "20 5\n", 2, "\"Wtaer\" is no table and no formula"},
        {"spectrum - --filter Pb:10cm", "20 5\n", 1, "no photons come through the filters"},
        {"spectrum - --curve 0:10mm:5", "20 5\n", 2, "need --hvl"},
        {"spectrum - --hvl Al --curve 5mm:1mm:5", "20 5\n", 2, "--curve \"5mm:1mm:5\""},
        {"spectrum - --hvl Al --curve 0:1mm:0.5", "20 5\n", 2, "--curve"},
        {"spectrum - --hvl Al --density 0", "20 5\n", 2, "--density must be"},
        {"spectrum - --weighting dose", "20 5\n", 2, "--weighting"},
        {"spectrum - --length-unit g/cm2", "20 5\n", 2, "--length-unit"},
        {"spectrum - --out kept.csv", "20 5\n", 1, "give --force to replace it"},
        {"spectrum - --out /tmp", "20 5\n", 1, "/tmp"},
        // Read line by line, the first bad line or one over 64 KiB ends the read at once.
        {"spectrum /dev/zero", "", 1, "/dev/zero: line 1 is longer than 65536 bytes"},
        {"spectrum -", "20 5\n" + std::string(70000, '1') + "\n", 1, "line 2 is longer than"},
        {"spectrum -", "", 1, "standard input: cannot be read: Is a directory", "< /tmp"},
        {"spectrum -", "", 1, "standard input: cannot be read: Bad file descriptor", "<&-"},
        // Counts a double holds with full precision in every figure, or none.
        {"spectrum -", "30,1e308\n40,1e308\n", 1, "line 1: the photons of a bin are 0 or a"},
        {"spectrum -", "30,1e-320\n", 1, "a number from 1E-250 to 1E+250"},
        {"spectrum -", "30,1e250\n40,1e250\n", 1, "photons add up to more than 1E+250"},
        {"spectrum - --filter Pb:34cm --hvl Al", "30 1e5\n100 1e5\n", 1,
         "no photons come through the filters"},
        // A failed run writes nothing.
        {"spectrum - --filter Pb:1m --out lost.csv --force", "30 1\n40 1\n", 1,
         "no photons come through the filters"},
        {"spectrum - --hvl Xx1 --out lost.csv", "30 1\n", 2, "\"Xx1\" is no table"},
        {"spectrum - --out /nonexistent_dir/x.csv", "20 5\n", 1,
         "--out \"/nonexistent_dir/x.csv\": No such file or directory"},
    };
    for (const SpectrumErrorCase& c : cases) {
        const Outcome run = tarvo(c.arguments, c.input, c.standardInput);
        EXPECT_EQ(run.status, c.status) << c.arguments << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << c.arguments << ": " << run.out;
    }
    EXPECT_EQ(readBytes("kept.csv"), "kept");
    EXPECT_FALSE(std::filesystem::exists("lost.csv"));
    // A spreadsheet's byte-order mark and lines ended by CR alone are read.
    const Outcome marked = tarvo("spectrum - --csv", "\xEF\xBB\xBF"
                                                     "20,1\r30,2\r40,1\r");
    EXPECT_EQ(marked.status, 0) << marked.err;
    EXPECT_NE(marked.out.find("bins,3.000E+00"), std::string::npos) << marked.out;
    // A formula's layers are known by mass thickness alone; lengths are nan.
    const Outcome formula = tarvo("spectrum - --hvl H2O --csv", "60 1\n");
    EXPECT_EQ(formula.status, 0) << formula.err;
    EXPECT_NE(formula.out.find("HVL1,nan,mm"), std::string::npos) << formula.out;
}

} // namespace
} // namespace tarvo
