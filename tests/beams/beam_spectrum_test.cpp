#include "beams/beam_quality.h"
#include "beams/beam_spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvo {
namespace {

const DataDirectory kShipped(TARVO_SHIPPED_DATA);

// Every layout a spectrum file comes in reads to the same bins; a line that is no bin is
// named by its number.
TEST(SpectrumText, EveryLayoutReadsAndABadLineIsNamed) {
    const std::vector<double> energies{0.010, 0.020, 0.030};
    const std::vector<double> photons{1.0, 2.0, 0.5};
    const struct {
        const char* text;
        double unitsPerMeV;
        SpectrumCounts counts;
    } good[] = {
        {"10,1\n20,2\n30,0.5\n", 1000, SpectrumCounts::perBin},
        {"\xEF\xBB\xBF# a comment\r\nenergy (keV),photons\r\n10\t1\r\n20  2\r\n30,0.5 # end\r\n",
         1000, SpectrumCounts::perBin},
        {"0.010 1\r0.020 2\r0.030 0.5\r", 1, SpectrumCounts::perBin},
        {"10,0.1\n20,0.2\n30,0.05\n", 1000, SpectrumCounts::perUnitEnergy},
    };
    for (const auto& [text, unitsPerMeV, counts] : good) {
        std::string error;
        const auto spectrum = parseSpectrum(text, unitsPerMeV, counts, error);
        ASSERT_TRUE(spectrum) << text << ": " << error;
        ASSERT_EQ(spectrum->energies.size(), 3U) << text;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(spectrum->energies[i], energies[i], 1e-15) << text;
            EXPECT_NEAR(spectrum->photons[i], photons[i], 1e-12) << text;
        }
    }
    const struct {
        const char* text;
        const char* named;
    } bad[] = {{"10,1\n20\n", "line 2"},
               {"10,1\n5,1\n", "line 2"},
               {"10,1\n20,-1\n", "line 2"},
               {"10,0\n20,0\n", ""},
               {"0.5,1\n", "line 1"},
               {"10,1\n20,nan\n", "line 2"},
               {"", ""}};
    for (const auto& [text, named] : bad) {
        std::string error;
        EXPECT_FALSE(parseSpectrum(text, 1000, SpectrumCounts::perBin, error)) << text;
        EXPECT_NE(error.find(named), std::string::npos) << text << ": " << error;
    }
}

// A written spectrum reads back to the same bins, to the bit; a layer of aluminium takes
// out the soft end, so the mean energy rises and the air kerma falls.
TEST(SpectrumText, WrittenReadsBackAndAFilterHardensTheBeam) {
    std::string error;
    const auto beam =
        parseSpectrum("10,1\n20,3\n40,2\n80,0.7\n", 1000, SpectrumCounts::perBin, error);
    ASSERT_TRUE(beam) << error;
    const auto again = parseSpectrum(spectrumText(*beam, 1000, "a test beam"), 1000,
                                     SpectrumCounts::perBin, error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->energies, beam->energies);
    EXPECT_EQ(again->photons, beam->photons);
    const auto layers = parseLayerList("Al:2.5mm", error);
    ASSERT_TRUE(layers) << error;
    const auto stack =
        beamLayersOf(kShipped, *layers, beam->energies, ReadingMethod::spline, error);
    ASSERT_TRUE(stack) << error;
    const Spectrum filtered = filteredSpectrum(*beam, *stack);
    EXPECT_GT(meanEnergy(filtered), meanEnergy(*beam));
    const auto air = airMuEnAt(kShipped, beam->energies, ReadingMethod::spline, error);
    ASSERT_TRUE(air) << error;
    EXPECT_LT(airKerma(filtered, *air), airKerma(*beam, *air));
    AirAtBins kept;
    const auto first = kept.at(kShipped, beam->energies, ReadingMethod::spline, error);
    ASSERT_TRUE(first) << error;
    EXPECT_EQ(*first, *air);
    EXPECT_EQ(kept.at(kShipped, beam->energies, ReadingMethod::spline, error), first);
    EXPECT_NE(kept.at(kShipped, filtered.energies, ReadingMethod::loglog, error), first);
}

} // namespace
} // namespace tarvo
