#include "coefview/attenuation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvo {
namespace {

struct LayerCase {
    const char* what;
    double muOverRho, muEnOverRho, density, thickness; // cm2/g, cm2/g, g/cm3, cm
    double transmission, energyAbsorbed, halfValueLayer, tenthValueLayer, meanFreePath;
};

// Worked by hand: mu = (mu/rho) rho; I/I0 = exp(-mu x); HVL = ln 2 / mu; TVL = ln 10 / mu.
TEST(Attenuation, NarrowBeamLayers) {
    const LayerCase cases[] = {
        // mu = 1 /cm, x = 0.5 cm: exp(-0.5); absorbed 0.5 (1 - exp(-0.5)).
        {"unit mu", 0.1, 0.05, 10.0, 0.5, 0.6065306597, 0.1967346701, 0.6931471806, 2.302585093,
         1.0},
        // Lead at 0.662 MeV as its table reads (mu/rho 0.111052, mu_en/rho 0.0597992), 2 mm:
        // mu = 1.26044 /cm.
        {"lead 2 mm", 0.111052, 0.0597992, 11.35, 0.2, 0.7771763, 0.1199859, 0.5499247, 1.826810,
         0.7933736},
        // Water at 0.1 MeV (mu/rho 0.1707, mu_en/rho 0.02546), 10 cm.
        {"water 10 cm", 0.1707, 0.02546, 1.0, 10.0, 0.1814092, 0.1220933, 4.060616, 13.48907,
         5.858231},
        // No layer lets everything through and absorbs nothing.
        {"no layer", 0.2, 0.1, 1.0, 0.0, 1.0, 0.0, 3.465735903, 11.51292546, 5.0},
    };
    for (const LayerCase& c : cases) {
        const auto a = attenuationOf(c.muOverRho, c.muEnOverRho, c.density, c.thickness);
        ASSERT_TRUE(a) << c.what;
        EXPECT_NEAR(a->transmission, c.transmission, 1e-6) << c.what;
        EXPECT_NEAR(a->attenuated, 1 - c.transmission, 1e-6) << c.what;
        EXPECT_NEAR(a->energyAbsorbed, c.energyAbsorbed, 1e-6) << c.what;
        EXPECT_NEAR(a->halfValueLayer, c.halfValueLayer, 1e-6 * c.halfValueLayer) << c.what;
        EXPECT_NEAR(a->tenthValueLayer, c.tenthValueLayer, 1e-6 * c.tenthValueLayer) << c.what;
        EXPECT_NEAR(a->meanFreePath, c.meanFreePath, 1e-6 * c.meanFreePath) << c.what;
        // The reverse: the thickness for the transmission found is the layer's own.
        const auto back = thicknessForTransmission(c.muOverRho, c.density, a->transmission);
        ASSERT_TRUE(back) << c.what;
        EXPECT_NEAR(*back, c.thickness, 1e-9 * (1 + c.thickness)) << c.what;
    }
}

TEST(Attenuation, RefusesWhatNoLayerCanBe) {
    const double nan = std::nan("");
    EXPECT_FALSE(attenuationOf(0.1, 0.05, 1.0, -1.0));
    EXPECT_FALSE(attenuationOf(0.0, 0.05, 1.0, 1.0));
    EXPECT_FALSE(attenuationOf(0.1, 0.05, -2.0, 1.0));
    EXPECT_FALSE(attenuationOf(0.1, nan, 1.0, 1.0));
    EXPECT_FALSE(attenuationOf(0.1, 0.05, 1.0, INFINITY));
    for (const double transmission : {0.0, -0.5, 1.5, nan}) {
        EXPECT_FALSE(thicknessForTransmission(0.1, 1.0, transmission)) << transmission;
    }
    EXPECT_EQ(*thicknessForTransmission(0.1, 1.0, 1.0), 0.0);
}

// Lengths convert by their factors; a mass thickness through the density.
TEST(Attenuation, ThicknessUnits) {
    const struct {
        const char* text;
        ThicknessUnit unit;
        double centimetres; // of 2 units at density 4
    } units[] = {{"um", ThicknessUnit::micrometre, 2e-4},
                 {"\xc2\xb5m", ThicknessUnit::micrometre, 2e-4},
                 {"mm", ThicknessUnit::millimetre, 0.2},
                 {"cm", ThicknessUnit::centimetre, 2.0},
                 {"m", ThicknessUnit::metre, 200.0},
                 {"g/cm2", ThicknessUnit::gramsPerSquareCentimetre, 0.5},
                 {"g/cm\xc2\xb2", ThicknessUnit::gramsPerSquareCentimetre, 0.5}};
    for (const auto& u : units) {
        ASSERT_EQ(thicknessUnitOf(u.text), u.unit) << u.text;
        EXPECT_DOUBLE_EQ(thicknessInCm(2.0, u.unit, 4.0), u.centimetres) << u.text;
        EXPECT_DOUBLE_EQ(thicknessInUnit(u.centimetres, u.unit, 4.0), 2.0) << u.text;
    }
    for (const char* bad : {"", "inch", "MM", "g"}) {
        EXPECT_FALSE(thicknessUnitOf(bad)) << bad;
    }
}

} // namespace
} // namespace tarvo
