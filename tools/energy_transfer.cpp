#include "energy_transfer.h"

#include <xraylib.h>

#include <cctype>
#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

namespace tarvo::tools {
namespace {

struct Transition {
    const char* name;
    int code;
    bool auger;
};

const Transition kTransitions[] = {
#include "xraylib_transitions.inc"
};

// Index of a cascade shell from its name (K, L1, ..., M5), -1 for any other shell.
int shellIndex(const std::string& name) {
    static const std::map<std::string, int> indexes{{"K", 0},  {"L1", 1}, {"L2", 2},
                                                    {"L3", 3}, {"M1", 4}, {"M2", 5},
                                                    {"M3", 6}, {"M4", 7}, {"M5", 8}};
    const auto found = indexes.find(name);
    return found == indexes.end() ? -1 : found->second;
}

// Splits "L1M3" into {"L1", "M3"}: a letter and the digits after it.
std::vector<std::string> shellNames(const std::string& text) {
    std::vector<std::string> names;
    for (char c : text) {
        if (std::isalpha(static_cast<unsigned char>(c))) {
            names.emplace_back(1, c);
        } else if (!names.empty()) {
            names.back().push_back(c);
        }
    }
    return names;
}

// Radiative and non-radiative decay of a vacancy in one shell of one element.
struct ShellDecay {
    double fluorescenceYield = 0.0;
    double meanLineEnergy = 0.0;                      // MeV
    std::array<double, kCascadeShells> radiativeTo{}; // vacancy left per radiative decay
    std::array<double, kCascadeShells> costerKronigTo{};
    double augerYield = 0.0;
    std::array<double, kCascadeShells> augerTo{}; // vacancies left per Auger decay
};

using AtomDecay = std::array<ShellDecay, kCascadeShells>;

void addCosterKronig(int z, AtomDecay& decay) {
    const struct {
        int from, to, code;
    } transitions[] = {{1, 2, FL12_TRANS}, {1, 3, FL13_TRANS}, {1, 3, FLP13_TRANS},
                       {2, 3, FL23_TRANS}, {4, 5, FM12_TRANS}, {4, 6, FM13_TRANS},
                       {4, 7, FM14_TRANS}, {4, 8, FM15_TRANS}, {5, 6, FM23_TRANS},
                       {5, 7, FM24_TRANS}, {5, 8, FM25_TRANS}, {6, 7, FM34_TRANS},
                       {6, 8, FM35_TRANS}, {7, 8, FM45_TRANS}};
    for (const auto& t : transitions) {
        decay[static_cast<size_t>(t.from)].costerKronigTo[static_cast<size_t>(t.to)] +=
            CosKronTransProb(z, t.code, nullptr);
    }
}

// Rates of the lines or Auger transitions from each shell, normalised per shell.
void addTransitions(int z, AtomDecay& decay) {
    std::array<double, kCascadeShells> lineSums{}, energySums{}, augerSums{};
    for (const Transition& t : kTransitions) {
        const std::string name = t.name;
        const std::vector<std::string> shells = shellNames(
            t.auger ? name.substr(0, name.find('_')) + name.substr(name.find('_') + 1) : name);
        const int from = shells.empty() ? -1 : shellIndex(shells[0]);
        if (from < 0 || shells.size() < (t.auger ? 3U : 2U)) {
            continue;
        }
        ShellDecay& shell = decay[static_cast<size_t>(from)];
        const double rate = t.auger ? AugerRate(z, t.code, nullptr) : RadRate(z, t.code, nullptr);
        if (!(rate > 0.0)) {
            continue;
        }
        for (size_t i = 1; i < shells.size(); ++i) {
            const int to = shellIndex(shells[i]);
            if (to > from) {
                (t.auger ? shell.augerTo : shell.radiativeTo)[static_cast<size_t>(to)] += rate;
            }
        }
        if (t.auger) {
            augerSums[static_cast<size_t>(from)] += rate;
        } else {
            lineSums[static_cast<size_t>(from)] += rate;
            energySums[static_cast<size_t>(from)] += rate * LineEnergy(z, t.code, nullptr) * 1e-3;
        }
    }
    for (size_t s = 0; s < kCascadeShells; ++s) {
        for (size_t t = 0; t < kCascadeShells; ++t) {
            decay[s].radiativeTo[t] = lineSums[s] > 0 ? decay[s].radiativeTo[t] / lineSums[s] : 0;
            decay[s].augerTo[t] = augerSums[s] > 0 ? decay[s].augerTo[t] / augerSums[s] : 0;
        }
        decay[s].meanLineEnergy = lineSums[s] > 0 ? energySums[s] / lineSums[s] : 0.0;
    }
}

AtomDecay decayOf(int z) {
    AtomDecay decay{};
    addCosterKronig(z, decay);
    addTransitions(z, decay);
    for (int s = 0; s < kCascadeShells; ++s) {
        ShellDecay& shell = decay[static_cast<size_t>(s)];
        shell.fluorescenceYield = FluorYield(z, s, nullptr);
        double costerKronig = 0.0;
        for (double f : shell.costerKronigTo) {
            costerKronig += f;
        }
        shell.augerYield = std::max(0.0, 1.0 - shell.fluorescenceYield - costerKronig);
    }
    return decay;
}

const AtomDecay& cachedDecay(int z) {
    static std::map<int, AtomDecay> cache;
    auto found = cache.find(z);
    if (found == cache.end()) {
        found = cache.emplace(z, decayOf(z)).first;
    }
    return found->second;
}

// Klein-Nishina differential cross section (without r_e^2/2) at cos(theta).
double kleinNishina(double k, double cosTheta, double& scatteredFraction) {
    scatteredFraction = 1.0 / (1.0 + k * (1.0 - cosTheta));
    const double r = scatteredFraction;
    return r * r * (r + 1.0 / r - (1.0 - cosTheta * cosTheta));
}

} // namespace

double pairTransferFraction(double energy) {
    return 1.0 - 2.0 * kElectronRestEnergy / energy;
}

double incoherentTransferFraction(int z, double energy) {
    // Composite Simpson over the scattering angle, weight sin(theta).
    constexpr int kIntervals = 1000;
    const double k = energy / kElectronRestEnergy;
    const bool bound = energy <= 1.0;
    double transferred = 0.0;
    double total = 0.0;
    for (int i = 0; i <= kIntervals; ++i) {
        const double theta = std::numbers::pi * i / kIntervals;
        const double weight = (i == 0 || i == kIntervals) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
        double scattered = 1.0;
        double cross = kleinNishina(k, std::cos(theta), scattered) * std::sin(theta);
        if (bound) {
            cross *= SF_Compt(z, MomentTransf(energy * 1e3, theta, nullptr), nullptr);
        }
        transferred += weight * cross * (1.0 - scattered);
        total += weight * cross;
    }
    return total > 0.0 ? transferred / total : 0.0;
}

double meanFluorescenceEnergy(int z, const std::array<bool, kCascadeShells>& shellOpen) {
    const AtomDecay& decay = cachedDecay(z);
    // Primary vacancies: the share of each open shell from its absorption jump ratio.
    std::array<double, kCascadeShells> vacancies{};
    double remaining = 1.0;
    for (int s = 0; s < kCascadeShells; ++s) {
        const double jump = JumpFactor(z, s, nullptr);
        if (shellOpen[static_cast<size_t>(s)] && jump > 1.0) {
            vacancies[static_cast<size_t>(s)] = remaining * (1.0 - 1.0 / jump);
            remaining -= vacancies[static_cast<size_t>(s)];
        }
    }
    // Vacancies move only outwards, so one pass from K to M5 follows the whole cascade.
    double emitted = 0.0;
    for (size_t s = 0; s < kCascadeShells; ++s) {
        const ShellDecay& shell = decay[s];
        const double n = vacancies[s];
        emitted += n * shell.fluorescenceYield * shell.meanLineEnergy;
        for (size_t t = s + 1; t < kCascadeShells; ++t) {
            vacancies[t] += n * (shell.fluorescenceYield * shell.radiativeTo[t] +
                                 shell.costerKronigTo[t] + shell.augerYield * shell.augerTo[t]);
        }
    }
    return emitted;
}

double shellEdgeEnergy(int z, int shell) {
    return EdgeEnergy(z, shell, nullptr) * 1e-3;
}

} // namespace tarvo::tools
