#include "coefview/beam_window.h"
#include "coefview/coefficient_table.h"
#include "coefview/coefficient_viewer.h"
#include "coefview/filter_rows_editor.h"
#include "common/text_file.h"
#include "common/user_prompts.h"
#include "xsview/cross_section_table.h"
#include "xsview/cross_section_viewer.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

// Messages would block; the benchmark never expects one.
class SilentPrompts : public tarvo::UserPrompts {
  public:
    void showMessage(QWidget*, const QString&, tarvo::MessageIcon, const QString&) override {}
    bool askOkCancel(QWidget*, const QString&) override { return false; }
    QString askText(QWidget*, const QString&, const QString&) override { return {}; }
};

// A run directory with a 150-row material table.
void prepareRunDirectory() {
    const auto path = std::filesystem::temp_directory_path() / "tarvo-viewer-bench";
    std::filesystem::create_directories(path / "ele");
    std::filesystem::create_directories(path / "mix");
    std::filesystem::current_path(path);
    std::string error;
    tarvo::atomicWriteFile("Start.dat", "Tarvo_V7S\r\n", error);
    tarvo::atomicWriteFile("ele\\user.txt", "Benchmark\r\n", error);
    std::vector<tarvo::CrossSectionRow> rows(tarvo::kMaxCrossSectionRows);
    for (size_t i = 0; i < rows.size(); ++i) {
        const double energy = 0.001 * std::pow(1.1, static_cast<double>(i));
        rows[i] = {energy,
                   1.0 / energy,
                   0.2,
                   4.0 / (energy * energy * energy),
                   energy > 1.022 ? 0.01 : 0.0,
                   energy > 2.044 ? 0.001 : 0.0};
    }
    tarvo::writeMaterialTable("mix\\Bench.mix3", "Bench", 1.0, rows, error);
    std::filesystem::create_directories(path / "mu_mix");
    std::vector<tarvo::CoefficientRow> coefficients(tarvo::kMaxCoefficientRows);
    for (size_t i = 0; i < coefficients.size(); ++i) {
        const double energy = 0.001 * std::pow(1.07, static_cast<double>(i));
        coefficients[i] = {energy, 4.0 / energy, 3.0 / energy, 2.9 / energy};
    }
    const std::vector<tarvo::CompositionEntry> composition{{1, 0.1119}, {8, 0.8881}};
    tarvo::writeMaterialCoefficientTable("mu_mix\\Bench.muc3", "Bench", 1.0, coefficients,
                                         composition, error);
}

// A started viewer with the benchmark's material table selected.
template <class Viewer> struct Fixture {
    explicit Fixture(const char* material) : viewer(prompts, [](const QString&) { return true; }) {
        viewer.start();
        viewer.selectMaterial(QString::fromLatin1(material));
    }
    SilentPrompts prompts;
    Viewer viewer;
};

using CrossSections = Fixture<tarvo::xsview::CrossSectionViewer>;
using Coefficients = Fixture<tarvo::coefview::CoefficientViewer>;

// Sweeps the pointer across a plot from x = 0.5 to `right` (user units) at mid height.
template <class Move> void sweepPointer(benchmark::State& state, double right, Move move) {
    double x = 0.5;
    for (auto _ : state) {
        move(x, 9.0);
        x = x > right ? 0.5 : x + 0.37;
    }
}

void calculateAndPlot150Rows(benchmark::State& state) {
    CrossSections fixture("Bench.mix3");
    for (auto _ : state) {
        fixture.viewer.calculateAndPlot();
    }
}
BENCHMARK(calculateAndPlot150Rows)->Unit(benchmark::kMillisecond);

void mouseMoveReadOut(benchmark::State& state) {
    CrossSections fixture("Bench.mix3");
    fixture.viewer.calculateAndPlot();
    sweepPointer(state, 11.0,
                 [&](double x, double y) { fixture.viewer.mouseMoveCrossSectionPlot(x, y); });
}
BENCHMARK(mouseMoveReadOut)->Unit(benchmark::kMicrosecond);

void drawCoefficients150Rows(benchmark::State& state) {
    Coefficients fixture("Bench.muc3");
    for (auto _ : state) {
        fixture.viewer.draw();
    }
}
BENCHMARK(drawCoefficients150Rows)->Unit(benchmark::kMillisecond);

void cursorReadOut(benchmark::State& state) {
    Coefficients fixture("Bench.muc3");
    fixture.viewer.draw();
    sweepPointer(state, 9.5,
                 [&](double x, double y) { fixture.viewer.mouseMoveCoefficientPlot(x, y); });
}
BENCHMARK(cursorReadOut)->Unit(benchmark::kMicrosecond);

// A change in the beam window, shown: the beam computed again (W tube behind Al and Cu, its
// quality in Al, Cu and water), both plots drawn and painted. Arg 0 changes the voltage, arg
// 1 the standard quality (whose added aluminium is searched for each time).
void beamWindowChange(benchmark::State& state) {
    SilentPrompts prompts;
    tarvo::coefview::BeamWindow window(prompts, tarvo::DataDirectory(TARVO_SHIPPED_DATA));
    window.filters().addRow(QStringLiteral("Cu"), QStringLiteral("0.1"));
    window.chosenMaterialBox().setText(QStringLiteral("Water"));
    window.sourceList().setCurrentIndex(static_cast<int>(state.range(0)));
    window.show();
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            window.voltageBox().setText(QString::number(80 + step % 2));
        } else {
            window.qualityList().setCurrentIndex(step % 8);
        }
        QApplication::processEvents();
        ++step;
    }
    if (window.stale()) {
        state.SkipWithError("the beam window shows no beam");
    }
}
BENCHMARK(beamWindowChange)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    prepareRunDirectory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
