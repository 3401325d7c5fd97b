// A beam's quality from its spectrum: reading the layer material and the air at every bin,
// and the half-value layers and effective energy, for spectra of 100 to 10000 bins
// (1 keV to 150 keV, a Kramers continuum); and a tube's beam from its voltage: the model's
// spectrum, 2.5 mm of added aluminium, HVL1 and HVL2 in aluminium and copper and the
// effective energy in aluminium; and the whole study the beam window shows.
#include "beams/beam_quality.h"
#include "beams/beam_study.h"
#include "beams/tube_spectra.h"

#include <benchmark/benchmark.h>

namespace {

const tarvo::DataDirectory kData(TARVO_SHIPPED_DATA);

tarvo::Spectrum kramers(int bins) {
    tarvo::Spectrum beam;
    for (int i = 0; i < bins; ++i) {
        const double keV = 1.0 + 149.0 * (i + 0.5) / bins;
        beam.energies.push_back(keV / 1000);
        beam.photons.push_back(150.0 - keV);
    }
    return beam;
}

void beamQualityOfASpectrum(benchmark::State& state) {
    const tarvo::Spectrum beam = kramers(static_cast<int>(state.range(0)));
    tarvo::RequestError problem;
    const auto aluminium = tarvo::materialByNameOrFormula(kData, "Al", problem);
    for (auto _ : state) {
        std::string error;
        const auto mu =
            tarvo::coefficientAt(*aluminium, 0, beam.energies, tarvo::ReadingMethod::spline, error);
        const auto air =
            tarvo::airMuEnAt(kData, beam.energies, tarvo::ReadingMethod::spline, error);
        const auto filtered = tarvo::filteredSpectrum(beam, {{*mu, 2.5 * 0.27}});
        const auto weights = tarvo::beamWeights(filtered, tarvo::BeamWeighting::airKerma, *air);
        const auto quality = tarvo::beamQuality(weights, *mu);
        const auto effective = tarvo::effectiveEnergies(*aluminium, quality->firstHalfValueLayer,
                                                        beam.energies.front(), beam.energies.back(),
                                                        tarvo::ReadingMethod::spline);
        benchmark::DoNotOptimize(effective);
    }
}
BENCHMARK(beamQualityOfASpectrum)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void qualityOfATubesBeam(benchmark::State& state) {
    const double kV = static_cast<double>(state.range(0));
    const tarvo::ReadingMethod spline = tarvo::ReadingMethod::spline;
    for (auto _ : state) {
        std::string error;
        tarvo::RequestError problem;
        const auto model = tarvo::tubeModel(kData, "W", error);
        const auto beam = tarvo::tubeSpectrum(*model, kV, 0.0, error);
        const auto aluminium = tarvo::materialByNameOrFormula(kData, "Al", problem);
        const auto copper = tarvo::materialByNameOrFormula(kData, "Cu", problem);
        const auto muAl = tarvo::coefficientAt(*aluminium, 0, beam->energies, spline, error);
        const auto muCu = tarvo::coefficientAt(*copper, 0, beam->energies, spline, error);
        const auto air = tarvo::airMuEnAt(kData, beam->energies, spline, error);
        const auto filtered = tarvo::filteredSpectrum(*beam, {{*muAl, 0.25 * aluminium->density}});
        const auto weights = tarvo::beamWeights(filtered, tarvo::BeamWeighting::airKerma, *air);
        const auto inAluminium = tarvo::beamQuality(weights, *muAl);
        const auto inCopper = tarvo::beamQuality(weights, *muCu);
        const auto [lowest, highest] = tarvo::weightedRange(filtered, weights);
        const auto effective = tarvo::effectiveEnergies(
            *aluminium, inAluminium->firstHalfValueLayer, lowest, highest, spline);
        benchmark::DoNotOptimize(inCopper);
        benchmark::DoNotOptimize(effective);
    }
}
BENCHMARK(qualityOfATubesBeam)->Arg(80)->Arg(140)->Unit(benchmark::kMillisecond);

// What the beam window computes on every change: a W tube behind two filters, its quality in
// Al, Cu and water and the transmission curve.
void studyOfABeam(benchmark::State& state) {
    tarvo::BeamSetting setting;
    setting.kV = static_cast<double>(state.range(0));
    constexpr auto mm = tarvo::ThicknessUnit::millimetre;
    setting.filters = {{"Al", 2.5, mm, std::nullopt}, {"Cu", 0.1, mm, std::nullopt}};
    setting.chosenMaterial = "Water";
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarvo::studyBeam(kData, setting));
    }
}
BENCHMARK(studyOfABeam)->Arg(80)->Arg(140)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
