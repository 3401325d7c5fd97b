#include "beams/beam_figures.h"
#include "beams/beam_study.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvo {
namespace {

const DataDirectory kShipped(TARVO_SHIPPED_DATA);

FilterRow layer(const std::string& material, double thickness,
                ThicknessUnit unit = ThicknessUnit::millimetre,
                std::optional<double> density = std::nullopt) {
    return {material, thickness, unit, density};
}

BeamStudy studied(const BeamSetting& setting) {
    auto result = studyBeam(kShipped, setting);
    if (const auto* problem = std::get_if<BeamProblem>(&result)) {
        ADD_FAILURE() << problem->message;
        return {};
    }
    return std::get<BeamStudy>(result);
}

// Every setting that gives no beam names the entry (and the filter row) at fault.
TEST(BeamStudy, AProblemNamesItsEntry) {
    const auto with = [](auto change) {
        BeamSetting setting;
        setting.filters = {layer("Al", 2.5), layer("Cu", 0.1)};
        change(setting);
        return setting;
    };
    const struct {
        BeamSetting setting;
        BeamEntry entry;
        int row;
        const char* message;
    } cases[] = {
        {with([](BeamSetting& s) { s.anode = "Cu"; }), BeamEntry::anode, -1, "no tube model"},
        {with([](BeamSetting& s) { s.kV = 150; }), BeamEntry::kV, -1, "150 kV is outside"},
        {with([](BeamSetting& s) { s.ripple = 80; }), BeamEntry::ripple, -1, "a ripple of 80 %"},
        {with([](BeamSetting& s) { s.anode = "Mo", s.kV = 28, s.ripple = 5; }), BeamEntry::ripple,
         -1, "takes no ripple"},
        {with([](BeamSetting& s) { s.source = BeamSourceKind::quality, s.quality = "RQR10"; }),
         BeamEntry::quality, -1, "RQR2 to RQR9"},
        {with([](BeamSetting& s) { s.source = BeamSourceKind::file, s.file = "/nonexistent"; }),
         BeamEntry::file, -1, "/nonexistent"},
        {with([](BeamSetting& s) { s.filters[1].material = "Unobtainium"; }),
         BeamEntry::filterMaterial, 1, "Unobtainium"},
        {with([](BeamSetting& s) { s.filters[0].thickness = -1; }), BeamEntry::filterThickness, 0,
         "0 or more"},
        {with([](BeamSetting& s) { s.filters[1] = layer("H2O", 1.0); }), BeamEntry::filterDensity,
         1, "has no density"},
        {with([](BeamSetting& s) { s.filters[0].density = 0.0; }), BeamEntry::filterDensity, 0,
         "above 0"},
        {with([](BeamSetting& s) { s.filters[1] = layer("Pb", 50, ThicknessUnit::centimetre); }),
         BeamEntry::filterThickness, -1, "photons"},
        {with([](BeamSetting& s) { s.chosenMaterial = "Xx9"; }), BeamEntry::chosenMaterial, -1,
         "Xx9"}};
    for (const auto& [setting, entry, row, message] : cases) {
        const auto result = studyBeam(kShipped, setting);
        const auto* problem = std::get_if<BeamProblem>(&result);
        ASSERT_NE(problem, nullptr) << message;
        EXPECT_EQ(problem->entry, entry) << problem->message;
        EXPECT_EQ(problem->row, row) << problem->message;
        EXPECT_NE(problem->message.find(message), std::string::npos) << problem->message;
    }
}

// A tube's beam through 2.5 mm of aluminium has the figures of real tubes, its curve falls
// to a half at HVL1 and a tenth at the TVL, and a formula with a density is a filter.
TEST(BeamStudy, ATubesBeamHasItsQualityInEveryColumn) {
    BeamSetting setting;
    setting.filters = {layer("Al", 2.5), layer("C2H4", 0, ThicknessUnit::millimetre, 0.94)};
    setting.chosenMaterial = "Water";
    const BeamStudy study = studied(setting);
    ASSERT_EQ(study.layers.size(), 3U);
    EXPECT_EQ(study.layers[0].label, "Aluminum");
    EXPECT_EQ(study.layers[2].label, "Water, Liquid");
    const double hvl1Mm =
        study.layers[0].quality.firstHalfValueLayer / study.layers[0].density * 10;
    EXPECT_GT(hvl1Mm, 3.5);
    EXPECT_LT(hvl1Mm, 4.1);
    ASSERT_TRUE(study.airKermaPerMilliampereSecond);
    EXPECT_GT(*study.airKermaPerMilliampereSecond, 30);
    EXPECT_LT(*study.airKermaPerMilliampereSecond, 55);
    EXPECT_LT(study.kermaMeanEnergyKeV, study.meanEnergyKeV);
    ASSERT_EQ(study.transmission.size(), static_cast<std::size_t>(kTransmissionSteps) + 1);
    EXPECT_EQ(study.transmission.front()[1], 1.0);
    EXPECT_NEAR(study.transmission.back()[1], 0.1, 1e-9);
    EXPECT_EQ(study.layers[2].effectiveEnergies.size(), 1U);
    EXPECT_GT(study.after.energies.size(), 0U);
    for (std::size_t i = 0; i < study.after.photons.size(); ++i) {
        EXPECT_LE(study.after.photons[i], study.before.photons[i]);
    }
    // 1 keV bins: photons per keV are the photons; 0.5 keV bins: twice them.
    EXPECT_NEAR(photonsPerKeV(study.before)[30], study.before.photons[30],
                1e-9 * study.before.photons[30]);
    setting.anode = "W-mammography";
    setting.kV = 28;
    const BeamStudy mammography = studied(setting);
    EXPECT_FALSE(mammography.airKermaPerMilliampereSecond);
    EXPECT_NEAR(photonsPerKeV(mammography.before)[20], 2 * mammography.before.photons[20],
                1e-9 * mammography.before.photons[20]);
}

// A standard quality keeps its nominal HVL1, and a spectrum file is read as the tool reads
// it, without an air kerma per mAs (its scale is its own).
TEST(BeamStudy, AQualityAndAFileAreBeamsToo) {
    BeamSetting quality;
    quality.source = BeamSourceKind::quality;
    quality.quality = "rqr 5";
    const BeamStudy rqr5 = studied(quality);
    ASSERT_EQ(rqr5.layers.size(), 3U);
    EXPECT_NEAR(rqr5.layers[0].quality.firstHalfValueLayer / rqr5.layers[0].density * 10, 2.58,
                1e-6);
    BeamSetting file;
    file.source = BeamSourceKind::file;
    file.file = std::string(TARVO_SHIPPED_DATA) + "/examples/beam.csv";
    file.filters = {layer("Al", 2.5)};
    const BeamStudy beam = studied(file);
    EXPECT_FALSE(beam.airKermaPerMilliampereSecond);
    EXPECT_NEAR(beam.meanEnergyKeV, 52.25, 0.01);
    EXPECT_NEAR(beam.layers[0].quality.firstHalfValueLayer / beam.layers[0].density * 10, 3.86,
                0.005);
}

// Ticks fall on round numbers inside the axis, at the positions their values map to, and
// an axis that spans nothing has none.
TEST(BeamFigures, AxisTicksAreRoundAndInPlace) {
    const struct {
        PlotAxis axis;
        std::vector<std::string> labels;
    } cases[] = {{{0, 80, false}, {"0", "20", "40", "60", "80"}},
                 {{0, 0.0123, false}, {"0", "0.005", "0.01"}},
                 {{-1, 1, false}, {"-1", "-0.5", "0", "0.5", "1"}},
                 {{1e3, 1e8, true}, {"1e3", "1e4", "1e5", "1e6", "1e7", "1e8"}},
                 {{2e-3, 0.5, true}, {"1e-2", "1e-1"}},
                 {{1, 1, false}, {}},
                 {{0, 1, true}, {}},
                 {{0, std::nan(""), false}, {}},
                 {{-1e308, 1e308, false}, {}}};
    for (const auto& [axis, labels] : cases) {
        std::vector<std::string> found;
        for (const AxisTick& tick : axisTicks(axis)) {
            found.push_back(tick.label);
            EXPECT_GE(tick.position, -1e-12) << tick.label;
            EXPECT_LE(tick.position, 1 + 1e-12) << tick.label;
            EXPECT_NEAR(axisValue(axis, tick.position), std::stod(tick.label),
                        1e-12 * std::max(1.0, std::abs(std::stod(tick.label))));
        }
        EXPECT_EQ(found, labels) << axis.low << " to " << axis.high;
    }
}

} // namespace
} // namespace tarvo
