#include "common/table_reading.h"
#include "splinetool/spline_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvo {
namespace {

// Rows (MeV; a power law 1/E^2, an edge at 0.01 MeV, a column that is 0 up to 1 MeV, and a
// column equal at two rows): energy, steep, threshold, flat.
ReadingTable table() {
    const double rows[][4] = {{0.001, 1e6, 0, 5}, {0.01, 1e4, 0, 5}, {0.01, 5e4, 0, 4},
                              {0.1, 500, 0, 3},   {1.0, 5, 0, 2},    {10.0, 0.05, 1, 1}};
    ReadingTable t;
    t.rowCount = 6;
    t.columnCount = 3;
    t.energies.assign(7, 0.0);
    t.values.assign(7, {});
    for (int i = 1; i <= 6; ++i) {
        t.energies[static_cast<size_t>(i)] = rows[i - 1][0];
        for (size_t c = 0; c < 3; ++c) {
            t.values[static_cast<size_t>(i)][c] = rows[i - 1][c + 1];
        }
    }
    t.zeroBelowThreshold[1] = true;
    return t;
}

// The same table with its logarithms prepared, as the viewers and the tool read it.
ReadingTable preparedTable() {
    ReadingTable t = table();
    prepareLogarithms(t);
    return t;
}

struct ForwardCase {
    double energy;
    ReadingResult result;
    double steep; // expected value of column 0 when found
    double threshold;
};

TEST(ReadAtEnergy, InterpolatesLogLogBetweenTheBracketingRows) {
    const ForwardCase cases[] = {
        {0.001, ReadingResult::found, 1e6, 0},     // the first row: rows 1 and 2
        {0.0005, ReadingResult::outOfRange, 0, 0}, // below the lowest energy asked
        {0.003, ReadingResult::found, 1e6 / 9, 0}, // power law between rows 1 and 2
        {0.01, ReadingResult::found, 1e4, 0},      // an edge reads the row below it
        {0.02, ReadingResult::found, 5e4 / 4, 0},  // above the edge, from its upper row
        {3.0, ReadingResult::found, 5.0 / 9, 0},   // 0 in either row reads 0
        {10.0, ReadingResult::found, 0.05, 0},     // the last row; row 5 holds 0
        {10.5, ReadingResult::outOfRange, 0, 0}};  // above the last row
    for (const ForwardCase& c : cases) {
        const Reading reading = readAtEnergy(table(), c.energy, 0.001, 20.0);
        EXPECT_EQ(reading.result, c.result) << c.energy;
        if (c.result == ReadingResult::found) {
            EXPECT_NEAR(reading.values[0], c.steep, 1e-9 * c.steep) << c.energy;
            EXPECT_EQ(reading.values[1], c.threshold) << c.energy;
        }
        // Prepared logarithms give the same reading but for the last bits.
        const Reading fast = readAtEnergy(preparedTable(), c.energy, 0.001, 20.0);
        EXPECT_EQ(fast.result, reading.result) << c.energy;
        for (size_t k = 0; k < 3; ++k) {
            EXPECT_NEAR(fast.values[k], reading.values[k], 1e-13 * reading.values[k]) << c.energy;
        }
    }
    ReadingTable shared = table();
    shared.energies[2] = 0.001; // two rows at the first energy: no line between them
    EXPECT_EQ(readAtEnergy(shared, 0.001, 0.001, 20.0).result, ReadingResult::calculationError);
    EXPECT_EQ(readAtEnergy(ReadingTable{}, 0.01, 0.001, 20.0).result, ReadingResult::outOfRange);
}

TEST(ReadAtEnergy, ARowsEnergyReadsItsPublishedValuesToTheBit) {
    // Water's rows about 1.25 MeV, whose mu_en/rho a logarithm's round trip moved by a bit.
    ReadingTable t;
    t.rowCount = 3;
    t.columnCount = 2;
    t.energies = {0.0, 1.0, 1.25, 1.5};
    t.values = {{}, {0.07072, 0.03111}, {0.06323, 0.02965}, {0.05754, 0.02872}};
    prepareLogarithms(t);
    for (int row = 1; row <= 3; ++row) {
        const Reading reading = readAtEnergy(t, t.energies[static_cast<size_t>(row)], 0.001, 20.0);
        EXPECT_EQ(reading.values[0], t.values[static_cast<size_t>(row)][0]) << row;
        EXPECT_EQ(reading.values[1], t.values[static_cast<size_t>(row)][1]) << row;
    }
}

struct InverseCase {
    int column;
    double value;
    ReadingResult result;
    double energy;
};

// A table of one row reads that row at its own energy, by either method, and nothing else.
TEST(ReadAtEnergy, AOneRowTableReadsItsOwnEnergy) {
    ReadingTable one;
    one.rowCount = 1;
    one.columnCount = 3;
    one.energies = {0.0, 0.001};
    one.values = {{}, {4000.0, 3900.0, 3800.0}};
    std::string error;
    const auto splines = prepareSplineReadings(one, SplineColumns::coefficients, error);
    ASSERT_TRUE(splines) << error;
    for (const double energy : {0.001, 0.0011, 0.0009}) {
        const Reading line = readAtEnergy(one, energy, 0.001, 20.0);
        const Reading spline = readSpline(*splines, energy, 0.001, 20.0);
        const ReadingResult expected =
            energy == 0.001 ? ReadingResult::found : ReadingResult::outOfRange;
        EXPECT_EQ(line.result, expected) << energy;
        EXPECT_EQ(spline.result, expected) << energy;
        if (expected == ReadingResult::found) {
            EXPECT_EQ(line.values, one.values[1]);
            EXPECT_EQ(spline.values[2], 3800.0);
        }
    }
}

TEST(ReadEnergyAt, FindsTheLowestEnergyWhereAColumnFallsToAValue) {
    const InverseCase cases[] = {
        {0, 1e4, ReadingResult::found, 0.01},       // a row's value gives its energy
        {0, 1e6 / 9, ReadingResult::found, 0.003},  // between rows 1 and 2
        {0, 1e7, ReadingResult::outOfRange, 0},     // above the largest value
        {0, 0.01, ReadingResult::outOfRange, 0},    // below the smallest value
        {2, 5, ReadingResult::calculationError, 0}, // equal values of rows 1 and 2
        {2, 1.5, ReadingResult::found,
         std::exp(std::log(10.0) * (1 - std::log(1.5) / std::log(2.0)))}};
    for (const InverseCase& c : cases) {
        const Reading reading = readEnergyAt(table(), c.column, c.value, 0.05, 1e6, 0.001, 20.0);
        EXPECT_EQ(reading.result, c.result) << c.column << " " << c.value;
        if (c.result == ReadingResult::found) {
            EXPECT_NEAR(reading.energy, c.energy, 1e-9 * c.energy) << c.value;
            EXPECT_EQ(reading.values[static_cast<size_t>(c.column)], c.value);
        }
    }
    // The power law 1/E^2 falls to 2e4 first at the energy sqrt(1e6 / 2e4) * 1 keV.
    EXPECT_NEAR(readEnergyAt(table(), 0, 2e4, 0.05, 1e6, 0.001, 20.0).energy,
                0.001 * std::sqrt(1e6 / 2e4), 1e-12);
    // A value met only by extrapolating below the lowest energy is a calculation error.
    EXPECT_EQ(readEnergyAt(table(), 0, 9e5, 0.05, 2e6, 0.002, 20.0).result,
              ReadingResult::calculationError);
}

// The curve of column 0 falls from 1e6 to 1e4, jumps to 5e4 at the 0.01 MeV edge and falls
// again: 2e4 is met twice below the edge and at it, then once above.
TEST(EveryEnergyAt, FindsEveryCrossingWithTheEdgesMarked) {
    const ReadingTable t = table();
    const std::vector<Crossing> crossings = everyEnergyAt(t, 0, 2e4);
    ASSERT_EQ(crossings.size(), 3U);
    EXPECT_NEAR(crossings[0].energy, 0.001 * std::sqrt(1e6 / 2e4), 1e-12);
    EXPECT_EQ(crossings[1].energy, 0.01);
    EXPECT_EQ(crossings[1].kind, CrossingKind::atEdge);
    EXPECT_NEAR(crossings[2].energy, 0.01 * std::sqrt(5e4 / 2e4), 1e-12);
    EXPECT_EQ(crossings[2].kind, CrossingKind::between);
    // A row's own value is met once, at the row.
    const std::vector<Crossing> atRow = everyEnergyAt(t, 0, 500);
    ASSERT_EQ(atRow.size(), 1U);
    EXPECT_EQ(atRow[0].energy, 0.1);
    EXPECT_TRUE(everyEnergyAt(t, 0, 1e7).empty());
    EXPECT_EQ(upperEdgeRow(t, 0.01), 3);
    EXPECT_EQ(upperEdgeRow(t, 0.1), 0);
}

// Rows 2 and 3 share the 0.01 MeV edge: each is across from the other; a typed edge energy
// reads below, so above is across; an inverse reading that lands on the upper row's values
// has the lower row across.
TEST(OtherSide, IsTheRowAcrossTheEdge) {
    const ReadingTable t = table();
    const struct {
        int row;
        int across;
        bool above;
    } rows[] = {{1, 0, false}, {2, 3, true},  {3, 2, false}, {4, 0, false},
                {6, 0, false}, {0, 0, false}, {7, 0, false}};
    for (const auto& r : rows) {
        const OtherSide side = otherSideOfRow(t, r.row);
        EXPECT_EQ(side.row, r.across) << r.row;
        EXPECT_EQ(side.above, r.above) << r.row;
    }
    const Reading typed = readAtEnergy(t, 0.01, 0.001, 20.0);
    EXPECT_EQ(otherSideOfReading(t, typed).row, 3);
    EXPECT_TRUE(otherSideOfReading(t, typed).above);
    Reading onUpper = typed;
    onUpper.values = t.values[3];
    EXPECT_EQ(otherSideOfReading(t, onUpper).row, 2);
    EXPECT_FALSE(otherSideOfReading(t, onUpper).above);
    EXPECT_EQ(otherSideOfReading(t, readAtEnergy(t, 0.05, 0.001, 20.0)).row, 0);
}

} // namespace
} // namespace tarvo
