#include "beams/beam_quality.h"
#include "common/option_words.h"
#include "materials/equal_steps.h"
#include "splinetool/spline_reading.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

// Every option word reads in any case, its canonical word reads back as itself, and a word
// that names nothing reads as nothing: the tool and the module read them alike.
TEST(OptionWords, ReadInAnyCaseAndRoundTrip) {
    const struct {
        const char* word;
        bool names; // whether it names anything
        std::string canonical;
    } units[] = {{"MeV", true, "MeV"}, {"mev", true, "MeV"}, {"KEV", true, "keV"},
                 {"keV", true, "keV"}, {"eV", false, ""},    {"", false, ""},
                 {"keV ", false, ""}};
    for (const auto& [word, names, canonical] : units) {
        const auto perMeV = unitsPerMeVNamed(word);
        ASSERT_EQ(perMeV.has_value(), names) << word;
        if (names) {
            EXPECT_EQ(*perMeV, canonical == "MeV" ? 1.0 : 1000.0) << word;
        }
    }
    for (const char* word : {"spline", "LOGLOG", "LogLog"}) {
        const auto method = readingMethodNamed(word);
        ASSERT_TRUE(method) << word;
        EXPECT_EQ(readingMethodNamed(readingMethodName(*method)), method);
    }
    for (const char* word : {"spline-tool", "Linear", "loglog", "SPLINE"}) {
        const auto method = stepMethodNamed(word);
        ASSERT_TRUE(method) << word;
        EXPECT_EQ(stepMethodNamed(stepMethodName(*method)), method);
    }
    EXPECT_EQ(stepMethodNamed("linear"), StepMethod::loglog);
    for (const char* word : {"both", "Below", "ABOVE"}) {
        const auto side = edgeSideNamed(word);
        ASSERT_TRUE(side) << word;
        EXPECT_EQ(edgeSideNamed(edgeSideName(*side)), side);
    }
    for (const char* word : {"air-kerma", "Fluence", "ENERGY-FLUENCE"}) {
        const auto weighting = beamWeightingOf(word);
        ASSERT_TRUE(weighting) << word;
        EXPECT_EQ(beamWeightingOf(beamWeightingName(*weighting)), weighting);
    }
    for (const char* nothing : {"cubic", "spline tool", "", "air kerma", "left"}) {
        EXPECT_FALSE(readingMethodNamed(nothing)) << nothing;
        EXPECT_FALSE(stepMethodNamed(nothing)) << nothing;
        EXPECT_FALSE(edgeSideNamed(nothing)) << nothing;
        EXPECT_FALSE(beamWeightingOf(nothing)) << nothing;
    }
}

} // namespace
} // namespace tarvo
