#include "tools/energy_transfer.h"

#include <gtest/gtest.h>

namespace tarvo::tools {
namespace {

// Mean energy-transfer fractions of free-electron (Klein-Nishina) scattering, as tabulated
// in the dosimetry textbooks (Attix, table 7.1).
TEST(IncoherentTransferFraction, FollowsKleinNishinaAtHighEnergies) {
    EXPECT_NEAR(incoherentTransferFraction(1, 1.0), 0.440, 0.005);
    EXPECT_NEAR(incoherentTransferFraction(82, 10.0), 0.684, 0.005);
    EXPECT_NEAR(incoherentTransferFraction(8, 0.1), 0.138, 0.005);
}

TEST(IncoherentTransferFraction, BindingLowersItAtLowEnergies) {
    // The incoherent scattering function suppresses forward scattering, which transfers
    // the least energy, so the bound mean fraction lies above the free one at 10 keV.
    const double bound = incoherentTransferFraction(82, 0.01);
    EXPECT_GT(bound, 0.0187);
    EXPECT_LT(bound, 0.05);
}

TEST(PairTransferFraction, LeavesTheTwoRestMasses) {
    EXPECT_DOUBLE_EQ(pairTransferFraction(2 * kElectronRestEnergy), 0.0);
    EXPECT_NEAR(pairTransferFraction(10.0), 1.0 - 1.0219979 / 10.0, 1e-9);
}

TEST(MeanFluorescenceEnergy, IsZeroWithNoShellOpenAndGrowsWithTheKShell) {
    const std::array<bool, kCascadeShells> none{};
    EXPECT_EQ(meanFluorescenceEnergy(82, none), 0.0);
    std::array<bool, kCascadeShells> belowK{};
    for (size_t s = 1; s < kCascadeShells; ++s) {
        belowK[s] = true;
    }
    std::array<bool, kCascadeShells> aboveK = belowK;
    aboveK[0] = true;
    const double lShells = meanFluorescenceEnergy(82, belowK);
    const double withK = meanFluorescenceEnergy(82, aboveK);
    // Lead: L lines near 10 to 15 keV with yields near 0.3; K lines near 75 keV, yield 0.96.
    EXPECT_GT(lShells, 0.002);
    EXPECT_LT(lShells, 0.010);
    EXPECT_GT(withK, 0.050);
    EXPECT_LT(withK, 0.075);
}

TEST(MeanFluorescenceEnergy, OxygenHardlyFluoresces) {
    std::array<bool, kCascadeShells> kOpen{};
    kOpen[0] = true;
    EXPECT_LT(meanFluorescenceEnergy(8, kOpen), 1e-5); // yield 0.007 of 0.5 keV lines
}

} // namespace
} // namespace tarvo::tools
