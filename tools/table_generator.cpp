#include "tools/table_generation.h"

#include "common/number_format.h"

#include <iostream>

namespace {

void printUsage() {
    std::cout
        << "Usage: table_generator [--reference DIRECTORY] OUTPUT\n"
           "Writes the shipped tables (ele, mix, mu_ele, mu_mix under OUTPUT) from the\n"
           "reference data, by default the project's data/reference:\n"
           "  M. J. Berger, J. H. Hubbell et al., XCOM: Photon Cross Sections Database,\n"
           "  NIST Standard Reference Database 8;\n"
           "  J. H. Hubbell and S. M. Seltzer, Tables of X-Ray Mass Attenuation Coefficients\n"
           "  and Mass Energy-Absorption Coefficients from 1 keV to 20 MeV for Elements\n"
           "  Z = 1 to 92 and 48 Additional Substances of Dosimetric Interest, NIST Standard\n"
           "  Reference Database 126 (NISTIR 5632).\n";
}

void printReport(const tarvo::tools::GenerationReport& report) {
    for (const auto& note : report.boundNotes) {
        std::cout << "mu_tr/rho raised to mu_en/rho: " << note.table << " at "
                  << tarvo::formatNumber(note.energy, "0.00000E+00") << " MeV by "
                  << tarvo::formatNumber(100 * note.shift, "0.00") << "%\n";
    }
    for (const auto& note : report.outOfStepNotes) {
        std::cout << "mu_tr/rho out of step with its neighbours, lowered: " << note.table << " at "
                  << tarvo::formatNumber(note.energy, "0.00000E+00") << " MeV by "
                  << tarvo::formatNumber(100 * note.shift, "0.00") << "%\n";
    }
    std::cout << "\n| Material | mu/rho | at MeV | mu_en/rho | at MeV |\n|---|---|---|---|---|\n";
    for (const auto& d : report.additivity) {
        std::cout << "| " << d.stem << " | " << tarvo::formatNumber(100 * d.attenuation, "0.00")
                  << "% | " << tarvo::formatNumber(d.attenuationAt, "0.000E+00") << " | "
                  << tarvo::formatNumber(100 * d.energyAbsorption, "0.00") << "% | "
                  << tarvo::formatNumber(d.atEnergy, "0.000E+00") << " |\n";
    }
}

} // namespace

int main(int argc, char* argv[]) {
    std::string reference = TARVO_REFERENCE_DIRECTORY;
    const bool chosen = argc == 4 && std::string(argv[1]) == "--reference";
    if (argc != 2 && !chosen) {
        printUsage();
        return 2;
    }
    if (chosen) {
        reference = argv[2];
    }
    tarvo::tools::GenerationReport report;
    std::string error;
    const bool generated = tarvo::tools::generateTables(reference, argv[argc - 1], report, error);
    printReport(report);
    if (!generated) {
        std::cerr << "table_generator: " << error << '\n';
        return 1;
    }
    return 0;
}
