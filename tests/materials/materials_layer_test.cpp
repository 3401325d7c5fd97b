#include "common/table_files.h"
#include "materials/equal_steps.h"
#include "materials/material_source.h"
#include "materials/table_catalogue.h"
#include "materials/table_combination.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <thread>

namespace tarvo {
namespace {

using testing::WorkingDirectory;
using testing::writeBytes;

const DataDirectory kShipped(TARVO_SHIPPED_DATA);

std::shared_ptr<const Material> shared(const DataDirectory& data, const MaterialRequest& request,
                                       TableKind kind = TableKind::coefficients) {
    RequestError error;
    auto material = sharedMaterial(data, request, kind, error);
    EXPECT_TRUE(material) << error.message;
    return material;
}

// A table is found by stem, symbol, atomic number and own name alike in the working
// directory, whose paths keep the tables' backslashes, and in a directory named by its path.
TEST(Lookup, EveryKeyFindsTheTableInTheWorkingDirectoryToo) {
    const WorkingDirectory scratch;
    for (const char* table : {"mu_ele/13_Al.mut", "ele/13_Al.ele"}) {
        std::filesystem::create_directories(std::filesystem::path(table).parent_path());
        std::filesystem::copy_file(std::filesystem::path(TARVO_SHIPPED_DATA) / table, table);
    }
    std::filesystem::create_directories("mu_mix");
    std::filesystem::create_directories("mix");
    for (const DataDirectory& data :
         {DataDirectory::working(), DataDirectory(std::filesystem::current_path())}) {
        for (const char* name : {"Al", "13", "13_Al", "Aluminum"}) {
            RequestError error;
            const auto material =
                loadMaterial(data, {name, "", ""}, TableKind::coefficients, error);
            ASSERT_TRUE(material) << data.root() << " " << name << ": " << error.message;
            EXPECT_EQ(material->label, "Aluminum") << name;
        }
    }
}

// The catalogue lists every shipped table once, by kind and category, with its own name.
TEST(Catalogue, ListsTheShippedTablesByKindAndCategory) {
    const struct {
        TableSelection selection;
        const char* category;
        std::size_t count;
        const char* someStem;
        const char* itsName;
    } cases[] = {
        {TableSelection::elements, "", 92, "82_Pb", "Lead"},
        {TableSelection::materials, "", 48, "Water", "Water, Liquid"},
        {TableSelection::materials, "human", 0, "Bone_Cortical", "Bone, Cortical (ICRU-44)"},
        {TableSelection::materials, "other", 0, "Air", "Air, Dry (near sea level)"}};
    for (const auto& [selection, category, count, someStem, itsName] : cases) {
        const auto entries = catalogueTables(kShipped, selection, category);
        if (count != 0) {
            EXPECT_EQ(entries.size(), count) << someStem;
        }
        std::map<std::string, const CatalogueEntry*> byStem;
        for (const CatalogueEntry& entry : entries) {
            EXPECT_TRUE(byStem.emplace(entry.stem, &entry).second) << entry.stem;
            EXPECT_EQ(entry.tables, "xs+mu") << entry.stem;
            EXPECT_TRUE(*category == '\0' || entry.category == category) << entry.stem;
        }
        ASSERT_TRUE(byStem.count(someStem)) << someStem;
        EXPECT_EQ(byStem[someStem]->name, itsName);
    }
}

// A table is read and fitted once and shared while its file is unchanged; a changed file,
// a new table in a folder and a formula are read anew.
TEST(MaterialCache, SharesAnUnchangedTableAndReadsAChangedOneAgain) {
    EXPECT_EQ(shared(kShipped, {"Fe", "", ""}), shared(kShipped, {"26", "", ""}));
    EXPECT_NE(shared(kShipped, {"", "H2O", ""}), shared(kShipped, {"", "H2O", ""}));
    WorkingDirectory directory;
    const std::string rows = "1.00000E-03 4.000E+03 3.000E+03 2.000E+03\r\n"
                             "2.00000E+01 2.000E-02 1.500E-02 1.000E-02\r\n";
    const std::string table = "Mine\r\n002\r\n1.0\r\n" + rows + "01\r\n01 1.000000\r\n";
    writeBytes("mu_ele/01_H.mut", "Hydrogen\r\n002\r\n1.0\r\n" + rows);
    writeBytes("mu_mix/Mine.muc3", table);
    const DataDirectory data(std::filesystem::absolute("."));
    const auto first = shared(data, {"Mine", "", ""});
    ASSERT_TRUE(first);
    EXPECT_EQ(first, shared(data, {"mine", "", ""}));
    writeBytes("mu_mix/Mine.muc3", "Renamed" + table.substr(4));
    const auto second = shared(data, {"Mine", "", ""});
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_EQ(second->label, "Renamed");
    // A stem added beside a symbol takes the name from it, as the lookup's order says.
    EXPECT_EQ(tablesMatching(data, "H", TableKind::coefficients).size(), 1U);
    writeBytes("mu_mix/H.muc3", table);
    EXPECT_EQ(tablesMatching(data, "H", TableKind::coefficients),
              std::vector<std::string>{data.path("mu_mix/H.muc3")});
}

// Eight threads read, fit formulas and build equal-step tables at once, each getting what
// one thread alone gets, to the bit.
TEST(MaterialCache, EightThreadsReadAsOneDoes) {
    const char* names[] = {"Water", "Pb", "Fe", "Bone_Cortical", "Air", "Cu", "Al", "I"};
    const auto work = [](const char* name) {
        std::vector<double> values;
        const auto table = shared(kShipped, {name, "", ""});
        const auto formula = shared(kShipped, {"", "CaCO3", ""});
        for (double energy = 0.001; energy < 20; energy *= 1.01) {
            values.push_back(readMaterial(*table, energy, ReadingMethod::spline).values[0]);
            values.push_back(readMaterial(*formula, energy, ReadingMethod::spline).values[2]);
        }
        std::string error;
        const auto steps = equalStepTable(*table, 1, 500, 0.5, StepMethod::splineTool, error);
        for (const auto& row : steps ? steps->rows : decltype(steps->rows){}) {
            values.push_back(row[1]);
        }
        return values;
    };
    std::vector<std::vector<double>> serial;
    for (const char* name : names) {
        serial.push_back(work(name));
    }
    std::vector<std::vector<double>> threaded(8);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] { threaded[t] = work(names[t]); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t t = 0; t < 8; ++t) {
        EXPECT_EQ(threaded[t], serial[t]) << names[t];
        EXPECT_GT(serial[t].size(), 2000U);
    }
}

// Equal steps by each method agree with the point readings where they should: the spline
// method is the reading itself, the log-log lines pass through the rows.
TEST(EqualSteps, EachMethodGivesTheNumbersItNames) {
    const auto water = shared(kShipped, {"Water", "", ""});
    const struct {
        StepMethod method;
        ReadingMethod reading;
    } cases[] = {{StepMethod::spline, ReadingMethod::spline},
                 {StepMethod::loglog, ReadingMethod::loglog}};
    for (const auto& [method, reading] : cases) {
        std::string error;
        const auto table = equalStepTable(*water, 10, 100, 10, method, error);
        ASSERT_TRUE(table) << error;
        ASSERT_EQ(table->rows.size(), 10U);
        for (const auto& row : table->rows) {
            const Reading expected = readMaterial(*water, row[0] / 1000, reading);
            for (int c = 0; c < 3; ++c) {
                EXPECT_DOUBLE_EQ(row[static_cast<std::size_t>(c) + 1],
                                 expected.values[static_cast<std::size_t>(c)])
                    << stepMethodName(method) << " at " << row[0] << " keV";
            }
        }
    }
    std::string error;
    EXPECT_FALSE(equalStepTable(*water, 0.5, 100, 1, StepMethod::spline, error));
    EXPECT_FALSE(error.empty());
}

// A new table is refused where it would replace or hide a shipped one, and its recipe is
// the formula's atoms or the mixture's shares.
TEST(Combination, RefusesShippedNamesAndReadsRecipes) {
    const struct {
        const char* path;
        const char* name;
        bool clash;
    } cases[] = {{"mu_mix/Water.muc3", "Brand new", true},
                 {"mu_mix/Brand_new.muc3", "Water, Liquid", true},
                 {"mu_mix/Brand_new.muc3", "PB", true},
                 {"mu_mix/Brand_new.muc3", "Brand new", false}};
    for (const auto& [path, name, clash] : cases) {
        EXPECT_EQ(clashOf(kShipped, kShipped.path(path), name, true).has_value(), clash)
            << path << " " << name;
    }
    EXPECT_EQ(writeRefusal(kShipped, kShipped.path("mu_mix/Water.muc2"), true),
              WriteRefusal::shippedTable);
    RequestError error;
    std::vector<std::string> notes;
    const auto formula =
        combinationRecipe(kShipped, {"", "H2O", ""}, TableKind::crossSections, error, notes);
    ASSERT_TRUE(formula) << error.message;
    ASSERT_EQ(formula->items.size(), 2U);
    EXPECT_EQ(formula->items[0].atomicNumber, 1);
    EXPECT_EQ(formula->items[0].amount, 2.0);
    const auto mixture = combinationRecipe(kShipped, {"", "", "H2O:0.7,NaCl:0.3"},
                                           TableKind::coefficients, error, notes);
    ASSERT_TRUE(mixture) << error.message;
    double total = 0;
    for (const auto& item : mixture->items) {
        total += item.amount;
    }
    EXPECT_NEAR(total, 1.0, 1e-12);
}

} // namespace
} // namespace tarvo
