#include "beams/beam_quality.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tarvo {
namespace {

const DataDirectory kData(TARVO_SHIPPED_DATA);

Material coefficientsOf(const std::string& name) {
    RequestError error;
    auto material = materialByNameOrFormula(kData, name, error);
    EXPECT_TRUE(material) << error.message;
    return material ? *material : Material{};
}

struct SingleEnergyCase {
    const char* material;
    double energy; // MeV
    ReadingMethod method;
    BeamWeighting weighting;
};

// A single energy: HVL1 = HVL2 = ln 2 / mu, TVL = ln 10 / mu, h = 1, and its own energy is
// the effective energy.
TEST(BeamQuality, ASingleEnergyIsItsOwnEffectiveEnergy) {
    const SingleEnergyCase cases[] = {
        {"Al", 0.03, ReadingMethod::spline, BeamWeighting::airKerma},
        {"Al", 0.0456, ReadingMethod::loglog, BeamWeighting::fluence},
        {"Cu", 0.1, ReadingMethod::spline, BeamWeighting::energyFluence},
        {"Pb", 0.662, ReadingMethod::spline, BeamWeighting::airKerma},
        {"Water", 1.25, ReadingMethod::loglog, BeamWeighting::airKerma},
    };
    const Material air = coefficientsOf("Air");
    for (const SingleEnergyCase& c : cases) {
        SCOPED_TRACE(std::string(c.material) + " " + std::to_string(c.energy));
        const Material material = coefficientsOf(c.material);
        const Spectrum beam{{c.energy}, {3.0}};
        std::string error;
        const auto mu = coefficientAt(material, 0, beam.energies, c.method, error);
        const auto airMuEn = coefficientAt(air, 2, beam.energies, c.method, error);
        ASSERT_TRUE(mu && airMuEn) << error;
        const auto quality = beamQuality(beamWeights(beam, c.weighting, *airMuEn), *mu);
        ASSERT_TRUE(quality);
        const double hvl = std::numbers::ln2 / mu->front();
        EXPECT_NEAR(quality->firstHalfValueLayer, hvl, 1e-12 * hvl);
        EXPECT_NEAR(quality->secondHalfValueLayer, hvl, 1e-9 * hvl);
        EXPECT_NEAR(quality->tenthValueLayer, std::numbers::ln10 / mu->front(), 1e-12 * hvl);
        EXPECT_NEAR(quality->homogeneity, 1.0, 1e-9);
        const auto effective =
            effectiveEnergies(material, quality->firstHalfValueLayer, c.energy, c.energy, c.method);
        ASSERT_EQ(effective.size(), 1u);
        EXPECT_NEAR(effective.front().energy, c.energy, 1e-7 * c.energy);
        EXPECT_DOUBLE_EQ(meanEnergy(beam), c.energy);
    }
}

// Two lines whose mu/rho are mu and 2 mu: with y = exp(-mu x) the transmission is
// (a y + b y^2) / (a + b), so the thickness for a fraction f solves b y^2 + a y - f (a + b) = 0.
TEST(BeamQuality, ATwoLineBeamMatchesItsClosedForm) {
    const double mu = 0.8; // cm2/g
    const Spectrum beam{{0.03, 0.06}, {2.0, 5.0}};
    const std::vector<double> airMuEn{0.15, 0.03};
    const std::vector<double> attenuation{2 * mu, mu};
    const std::vector<double> weights = beamWeights(beam, BeamWeighting::airKerma, airMuEn);
    const double b = 2.0 * 0.03 * 0.15; // the line with 2 mu
    const double a = 5.0 * 0.06 * 0.03;
    const auto closedForm = [&](double f) {
        const double y = (-a + std::sqrt(a * a + 4 * b * f * (a + b))) / (2 * b);
        return -std::log(y) / mu;
    };
    for (const double x : {0.0, 0.4, 1.7}) {
        const double expected = (a * std::exp(-mu * x) + b * std::exp(-2 * mu * x)) / (a + b);
        EXPECT_NEAR(weightedTransmission(weights, attenuation, x), expected, 1e-15) << x;
    }
    const auto quality = beamQuality(weights, attenuation);
    ASSERT_TRUE(quality);
    EXPECT_NEAR(quality->firstHalfValueLayer, closedForm(0.5), 1e-12);
    EXPECT_NEAR(quality->secondHalfValueLayer, closedForm(0.25) - closedForm(0.5), 1e-12);
    EXPECT_NEAR(quality->tenthValueLayer, closedForm(0.1), 1e-12);
    EXPECT_LT(quality->homogeneity, 1.0);
    // The air kerma: sum n E mu_en/rho in MeV/g, 1.602176634e-10 Gy for each.
    EXPECT_NEAR(airKerma(beam, airMuEn), (a + b) * 1.602176634e-10, 1e-24);
}

// Bins attenuated a million times apart, with weights as far apart: the search still ends
// on the fraction, inside the bracket of the single bins' own layers.
TEST(BeamQuality, TheSearchEndsOnTheFractionForStiffBeams) {
    struct Stiff {
        std::vector<double> weights, attenuation;
    };
    const Stiff cases[] = {
        {{1.0, 0.2}, {1e4, 0.01}},
        {{1e-6, 1.0}, {1e4, 0.01}},
        {{1.0, 1e-9, 1.0}, {5e3, 2.0, 1e-3}},
        {{0.0, 3.0, 0.0, 1.0}, {1e6, 7.0, 1e-6, 0.07}},
    };
    for (const Stiff& c : cases) {
        for (const double fraction : {0.9, 0.5, 0.25, 0.1, 1e-6}) {
            const auto x = massThicknessForTransmission(c.weights, c.attenuation, fraction);
            ASSERT_TRUE(x) << fraction;
            EXPECT_NEAR(weightedTransmission(c.weights, c.attenuation, *x), fraction,
                        1e-12 * fraction)
                << fraction << " " << c.attenuation.front();
        }
        EXPECT_FALSE(massThicknessForTransmission(c.weights, c.attenuation, 1.0));
        EXPECT_FALSE(massThicknessForTransmission(c.weights, c.attenuation, 0.0));
    }
    EXPECT_FALSE(massThicknessForTransmission({0.0, 0.0}, {1.0, 2.0}, 0.5));
}

// A continuum through a hardening filter: no layer changes it, a real one hardens it.
TEST(BeamQuality, FiltersHardenAContinuum) {
    Spectrum beam;
    for (double keV = 10; keV < 100; keV += 1) {
        beam.energies.push_back(keV / 1000);
        beam.photons.push_back(100 - keV); // Kramers: flat in energy fluence per keV
    }
    const Material aluminium = coefficientsOf("Al");
    const Material air = coefficientsOf("Air");
    std::string error;
    const auto mu = coefficientAt(aluminium, 0, beam.energies, ReadingMethod::spline, error);
    const auto airMuEn = coefficientAt(air, 2, beam.energies, ReadingMethod::spline, error);
    ASSERT_TRUE(mu && airMuEn) << error;
    const Spectrum unchanged = filteredSpectrum(beam, {{*mu, 0.0}});
    EXPECT_EQ(unchanged.photons, beam.photons);
    const Spectrum hardened = filteredSpectrum(beam, {{*mu, 0.25 * 2.699}});
    EXPECT_GT(meanEnergy(hardened), meanEnergy(beam));
    for (const Spectrum& s : {beam, hardened}) {
        const auto weights = beamWeights(s, BeamWeighting::airKerma, *airMuEn);
        const auto quality = beamQuality(weights, *mu);
        ASSERT_TRUE(quality);
        EXPECT_LT(quality->homogeneity, 1.0);
        const auto effective =
            effectiveEnergies(aluminium, quality->firstHalfValueLayer, s.energies.front(),
                              s.energies.back(), ReadingMethod::spline);
        ASSERT_EQ(effective.size(), 1u);
        EXPECT_GT(effective.front().energy, s.energies.front());
        EXPECT_LT(effective.front().energy, s.energies.back());
        EXPECT_NEAR(weightedTransmission(weights, *mu, quality->firstHalfValueLayer), 0.5, 1e-12);
    }
}

struct SpectrumTextCase {
    const char* text;
    double unitsPerMeV;
    SpectrumCounts counts;
    std::vector<double> energies; // MeV
    std::vector<double> photons;
    const char* error; // empty: read
};

TEST(BeamSpectrum, ReadsColumnsAndNamesTheLineItRefuses) {
    const auto perBin = SpectrumCounts::perBin;
    const SpectrumTextCase cases[] = {
        {"# a beam\nEnergy (keV), photons\n20, 5\n30\t7 # K line\n\n40 1\n",
         1000,
         perBin,
         {0.02, 0.03, 0.04},
         {5, 7, 1},
         ""},
        {"0.662,1\n", 1, perBin, {0.662}, {1}, ""},
        // Per unit energy: widths 10, 15, 20 keV around 10, 20, 40 keV.
        {"10 1\n20 2\n40 3\n",
         1000,
         SpectrumCounts::perUnitEnergy,
         {0.01, 0.02, 0.04},
         {10, 30, 60},
         ""},
        {"", 1000, perBin, {}, {}, "no bins"},
        {"# nothing\n", 1000, perBin, {}, {}, "no bins"},
        {"20 5\n20 6\n", 1000, perBin, {}, {}, "line 2: the energies must rise"},
        {"30 5\n# c\n20 6\n", 1000, perBin, {}, {}, "line 3: the energies must rise"},
        {"20 5\n30 -1\n", 1000, perBin, {}, {}, "line 2: the photons"},
        {"20 5\n30 nan\n", 1000, perBin, {}, {}, "line 2 is not two numbers"},
        {"nan 5\n", 1000, perBin, {}, {}, "line 1 is not two numbers"},
        {"20 5 0.1\n", 1000, perBin, {}, {}, "line 1 is not two numbers"},
        {"20 5\nabc\n", 1000, perBin, {}, {}, "line 2 is not two numbers"},
        {"0.5 5\n", 1000, perBin, {}, {}, "line 1: the energy lies outside"},
        {"25 5\n", 1, perBin, {}, {}, "line 1: the energy lies outside"},
        {"20 0\n30 0\n", 1000, perBin, {}, {}, "no photons"},
        {"20 5\n", 1000, SpectrumCounts::perUnitEnergy, {}, {}, "two bins or more"},
    };
    for (const SpectrumTextCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        const auto spectrum = parseSpectrum(c.text, c.unitsPerMeV, c.counts, error);
        if (*c.error != '\0') {
            EXPECT_FALSE(spectrum);
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
            continue;
        }
        ASSERT_TRUE(spectrum) << error;
        ASSERT_EQ(spectrum->energies.size(), c.energies.size());
        for (size_t i = 0; i < c.energies.size(); ++i) {
            EXPECT_DOUBLE_EQ(spectrum->energies[i], c.energies[i]);
            EXPECT_DOUBLE_EQ(spectrum->photons[i], c.photons[i]);
        }
        // Written out and read back, the spectrum is the same.
        const auto again = parseSpectrum(spectrumText(*spectrum, c.unitsPerMeV, "again"),
                                         c.unitsPerMeV, SpectrumCounts::perBin, error);
        ASSERT_TRUE(again) << error;
        EXPECT_EQ(again->energies, spectrum->energies);
        EXPECT_EQ(again->photons, spectrum->photons);
    }
}

TEST(BeamLayers, ReadsStacksAndRefusesWhatIsNone) {
    std::string error;
    const auto layers = parseLayerList("Al:2.5mm, Cu : 0.1 mm,H2O:1g/cm2,Pb:0cm", error);
    ASSERT_TRUE(layers) << error;
    ASSERT_EQ(layers->size(), 4u);
    EXPECT_EQ((*layers)[1].material, "Cu");
    EXPECT_DOUBLE_EQ((*layers)[1].thickness.value, 0.1);
    EXPECT_EQ((*layers)[2].thickness.unit, ThicknessUnit::gramsPerSquareCentimetre);
    for (const char* bad : {"", "Al", "Al:", ":2mm", "Al:-1mm", "Al:2in", "Al:2mm,,Cu:1mm"}) {
        EXPECT_FALSE(parseLayerList(bad, error)) << bad;
    }
}

} // namespace
} // namespace tarvo
