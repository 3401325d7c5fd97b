#include "cli/tool.h"

#include "beams/beam_quality.h"
#include "cli/commands.h"
#include "cli/data_directory.h"
#include "materials/equal_steps.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>

namespace tarvo::cli {
namespace {

using namespace tarvo;
using namespace tarvo::cli;

// What every reading command shares: the material, the readings asked for and the output.
struct Shared {
    MaterialRequest material;
    ReadingOptions readings;
    std::string method = "spline";
    std::string side = "both";
    std::optional<std::string> data;
    bool csv = false;
    bool json = false;
    int digits = 4;
};

// Where the tool reads and writes.
struct Streams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inputIsTerminal;
};

// A check of an option's word by the library's reader, any case; the option keeps the
// reader's own spelling (`canonical`), so that headings and notes show it.
template <typename Reader, typename Canonical>
CLI::Validator wordOption(Reader read, Canonical canonical, const std::string& words) {
    return CLI::Validator(
        [read, canonical, words](std::string& text) -> std::string {
            const auto value = read(text);
            if (!value) {
                return "\"" + text + "\" is not " + words;
            }
            text = canonical(*value);
            return {};
        },
        words);
}

CLI::Validator energyUnitOption() {
    return wordOption(
        unitsPerMeVNamed, [](double perMeV) { return perMeV == 1.0 ? "MeV" : "keV"; },
        "MeV or keV");
}

void addMethod(CLI::App& command, Shared& shared) {
    command
        .add_option("--method", shared.method,
                    "spline (the default: not-a-knot cubic in log-log between the rows of "
                    "each edge-free stretch) or loglog (straight lines, as the viewers read)")
        ->transform(wordOption(readingMethodNamed, readingMethodName, "spline or loglog"));
}

void addMaterial(CLI::App& command, Shared& shared) {
    command.add_option("material", shared.material.name,
                       "A table: stem (Water), element symbol (Pb), 82_Pb, or a file's path");
    command.add_option("--formula", shared.material.formula,
                       "A chemical formula, such as \"Ca5(PO4)3OH\" or \"CuSO4*5H2O\"");
    command.add_option("--mixture", shared.material.mixture,
                       "Formulas and tables by weight: \"H2O:0.7,Bone_Cortical:0.3\"");
}

void addEnergies(CLI::App& command, Shared& shared) {
    EnergyOptions& energies = shared.readings.energies;
    command.add_option("--energy", energies.energies, "Energies, repeated or 0.1,0.662")
        ->delimiter(',');
    command.add_option("--range", energies.range, "first:last:count, log-spaced");
    command.add_option("--linear-range", energies.linearRange, "first:last:count, evenly spaced");
    command.add_option("--file", energies.file,
                       "One energy per line, a row out for each; - for the standard input "
                       "(read as well when no energy is given)");
    command.add_option("--unit", energies.unit, "MeV (the default) or keV, in and out")
        ->transform(energyUnitOption());
    command
        .add_option("--side", shared.side,
                    "At an absorption edge energy: both rows (the default), below or above")
        ->transform(wordOption(edgeSideNamed, edgeSideName, "both, below or above"));
    addMethod(command, shared);
}

// Paths the user gives stay relative to the working directory; the tables are read from
// the run directory, named to every call.
int run(const std::function<int(const CommandContext&)>& command, Shared& shared,
        const Streams& streams) {
    std::string error;
    const auto directory = dataDirectory(shared.data, error);
    if (!directory) {
        streams.err << "tarvo: " << error << '\n';
        return kDataError;
    }
    const CommandContext context{DataDirectory(*directory),
                                 streams.out,
                                 streams.err,
                                 streams.in,
                                 streams.inputIsTerminal,
                                 shared.json  ? OutputFormat::json
                                 : shared.csv ? OutputFormat::csv
                                              : OutputFormat::aligned,
                                 shared.digits,
                                 readingMethodNamed(shared.method).value_or(ReadingMethod::spline)};
    const int status = command(context);
    // An answer that could not be written (a full disk, a closed pipe) is no answer.
    streams.out.flush();
    if (!streams.out) {
        streams.err << "tarvo: cannot write the answer to the standard output: "
                    << std::strerror(errno != 0 ? errno : EIO) << '\n';
        return kDataError;
    }
    return status;
}

// The first argument that is no option or an option's value: the command asked for.
std::string firstWord(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--data" || word == "--digits") {
            ++i;
        } else if (word.rfind('-', 0) != 0) {
            return word;
        }
    }
    return {};
}

bool oneMaterial(const MaterialRequest& m) {
    return (!m.name.empty()) + (!m.formula.empty()) + (!m.mixture.empty()) == 1;
}

// What the commands' own options hold, alive while the chosen command runs.
struct CommandOptions {
    std::string which;    // list
    std::string category; // list
    std::string quantity; // energy
    double value = 0.0;   // energy
    AttenuationOptions attenuation;
    StepOptions steps; // table
    CombineOptions combine;
    SpectrumOptions spectrum;
};

using Command = std::function<int(const CommandContext&)>;

// Sets `command` to `run` when the subcommand is chosen.
void choose(CLI::App& sub, Command& command, Command run) {
    sub.callback([&command, run = std::move(run)] { command = run; });
}

void addList(CLI::App& app, Shared&, CommandOptions& o, Command& command) {
    auto* list = app.add_subcommand("list", "The tables found: stem, name, density, category");
    list->add_option("which", o.which, "elements or materials (both when left out)")
        ->check(CLI::IsMember({"elements", "materials"}));
    list->add_option("--category", o.category, "human, phantom or other")
        ->check(CLI::IsMember({"human", "phantom", "other"}));
    list->footer("Example: tarvo list materials --category phantom");
    choose(*list, command,
           [&o](const CommandContext& c) { return listTables(o.which, o.category, c); });
}

EdgeSide sideOf(const std::string& side) {
    return edgeSideNamed(side).value_or(EdgeSide::both);
}

void addMu(CLI::App& app, Shared& shared, CommandOptions&, Command& command) {
    auto* mu = app.add_subcommand("mu", "mu/rho, mu_tr/rho and mu_en/rho (cm2/g) at energies");
    addMaterial(*mu, shared);
    addEnergies(*mu, shared);
    mu->footer("Example: tarvo mu Water --energy 1.25\n         tarvo mu --formula H2O "
               "--range 0.01:10:20 --csv");
    choose(*mu, command, [&shared](const CommandContext& c) {
        shared.readings.side = sideOf(shared.side);
        return readCoefficients(shared.material, shared.readings, c);
    });
}

void addXs(CLI::App& app, Shared& shared, CommandOptions&, Command& command) {
    auto* xs = app.add_subcommand("xs", "Partial cross sections and their total (cm2/g)");
    addMaterial(*xs, shared);
    addEnergies(*xs, shared);
    xs->add_flag("--per-atom", shared.readings.perAtom, "An element's cross sections in b/atom");
    xs->footer("Example: tarvo xs Pb --energy 88 --unit keV --per-atom");
    choose(*xs, command, [&shared](const CommandContext& c) {
        shared.readings.side = sideOf(shared.side);
        return readCrossSections(shared.material, shared.readings, c);
    });
}

void addEnergy(CLI::App& app, Shared& shared, CommandOptions& o, Command& command) {
    auto* energy = app.add_subcommand("energy", "Every energy at which a quantity takes a value");
    addMaterial(*energy, shared);
    addMethod(*energy, shared);
    energy->add_option("--unit", shared.readings.energies.unit, "MeV (the default) or keV")
        ->transform(energyUnitOption());
    auto* quantities = energy->add_option_group("quantity");
    for (const auto& [flag, key] : {std::pair{"--mu", "mu"}, std::pair{"--mu-tr", "mu_tr"},
                                    std::pair{"--mu-en", "mu_en"}, std::pair{"--total", "total"}}) {
        quantities->add_option_function<double>(
            flag,
            [&o, key = std::string(key)](double v) {
                o.quantity = key;
                o.value = v;
            },
            "The value (cm2/g)");
    }
    quantities->require_option(1);
    energy->footer("Example: tarvo energy Pb --mu 50");
    choose(*energy, command, [&shared, &o](const CommandContext& c) {
        return findEnergies(shared.material, o.quantity, o.value, shared.readings.energies.unit, c);
    });
}

void addAttenuate(CLI::App& app, Shared& shared, CommandOptions& o, Command& command) {
    auto* attenuation = app.add_subcommand("attenuate", "Transmission, HVL, TVL of thicknesses");
    addMaterial(*attenuation, shared);
    addEnergies(*attenuation, shared);
    AttenuationOptions& a = o.attenuation;
    attenuation->add_option("--thickness", a.thicknesses, "2mm, 0.5cm, 10um, 3g/cm2; or 1mm,2mm")
        ->delimiter(',');
    attenuation
        ->add_option("--transmission", a.transmissions,
                     "The fraction left (0.5, 0.01): the thickness that leaves it")
        ->delimiter(',');
    attenuation->add_option("--length-unit", a.lengthUnit,
                            "um, mm, cm or m (the first thickness's, else cm)");
    attenuation->add_option("--density", a.density, "g/cm3 (the table's when left out)");
    attenuation->footer("Example: tarvo attenuate Pb --thickness 1mm,2mm --energy 0.662\n"
                        "         tarvo attenuate Pb --transmission 0.01 --energy 0.662");
    choose(*attenuation, command, [&shared, &o](const CommandContext& c) {
        shared.readings.side = sideOf(shared.side);
        return attenuate(shared.material, shared.readings, o.attenuation, c);
    });
}

void addTable(CLI::App& app, Shared& shared, CommandOptions& o, Command& command) {
    auto* steps = app.add_subcommand("table", "The coefficients on equal energy steps");
    addMaterial(*steps, shared);
    steps->add_option("--from", o.steps.from, "First energy (1 keV)");
    steps->add_option("--to", o.steps.to, "Last energy (500 keV)");
    steps->add_option("--step", o.steps.step, "Step (0.5 keV)");
    steps->add_option("--unit", o.steps.unit, "keV (the default, as the spline tool) or MeV")
        ->transform(energyUnitOption());
    steps
        ->add_option("--method", o.steps.method,
                     "spline (the default: the point reading of tarvo mu), loglog (straight "
                     "lines, as the viewers' equal-interval table; also linear) or spline-tool "
                     "(the spline tool's table, as the coefficient viewer saves it)")
        ->check(
            wordOption(stepMethodNamed, stepMethodName, "spline, loglog, linear or spline-tool"));
    steps->footer("Example: tarvo table Water --from 1 --to 100 --step 0.5 --csv");
    choose(*steps, command, [&shared, &o](const CommandContext& c) {
        return equalStepTable(shared.material, o.steps, c);
    });
}

void addCombine(CLI::App& app, Shared& shared, CommandOptions& o, Command& command) {
    auto* combine = app.add_subcommand("combine", "Write a new material table for the viewers");
    addMaterial(*combine, shared);
    combine->add_option("--name", o.combine.name, "The material's name")->required();
    combine->add_option("--density", o.combine.density, "g/cm3")->required();
    combine
        ->add_option("--out", o.combine.out,
                     "The table: .mix/.mix2/.mix3 (cross sections) or .mucm/.muc2/.muc3 "
                     "(coefficients); a bare file name goes where the viewers list it")
        ->required();
    combine->add_flag("--force", o.combine.force,
                      "Replace a table of that name (never one the suite ships)");
    combine->footer("Example: tarvo combine --formula H2O --name \"Water, formula\" "
                    "--density 1 --out H2O.muc3");
    choose(*combine, command, [&shared, &o](const CommandContext& c) {
        return combineTables(shared.material, o.combine, c);
    });
}

void addSpectrum(CLI::App& app, Shared& shared, CommandOptions& o, Command& command) {
    auto* beam = app.add_subcommand(
        "spectrum", "A beam from its spectrum: filters, air kerma, HVLs, effective energy");
    SpectrumOptions& s = o.spectrum;
    beam->add_option("file", s.file,
                     "Two columns, energy and photons in the bin (comma, tab or blank; # "
                     "comments); - for the standard input");
    beam->add_option("--tube", s.tube,
                     "Instead of a file, a tube: W:80kV (30-140 kV, photons per mm2 per mAs "
                     "at 1 m with the tube's own filtration), or Mo, Rh, W-mammography (18-42 "
                     "kV, relative, unfiltered)");
    beam->add_option("--ripple", s.ripple, "The generator ripple of a W tube, % (0)");
    beam->add_option("--quality", s.quality,
                     "Instead of a file, a standard quality: RQR2 to RQR9 (IEC 61267)");
    beam->add_option("--distance", s.distance,
                     "Of the air kerma per mAs of a W tube: 1m (the default), 75cm");
    beam->add_option("--find-filter", s.findFilter,
                     "The material whose added thickness gives the beam --hvl1 in the first "
                     "--hvl material (this material where none)");
    beam->add_option("--hvl1", s.hvl1, "The wanted first half-value layer: 2.58mm, 0.7g/cm2");
    beam->add_option("--unit", s.unit, "keV (the default) or MeV, in and out")
        ->transform(energyUnitOption());
    beam->add_flag("--per-unit-energy", s.perUnitEnergy,
                   "The second column is photons per unit energy (times the bin widths)");
    beam->add_option("--filter", s.filter, "Layers the beam passes first: Al:2.5mm,Cu:0.1mm");
    beam->add_option("--hvl", s.hvlMaterials,
                     "The material of the half-value layers (a table or a formula): HVL1, "
                     "HVL2, QVL, TVL, homogeneity, effective energy; repeat it for several");
    beam->add_option("--density", s.density, "g/cm3 of that material (its table's)");
    beam->add_option("--weighting", s.weighting,
                     "What the transmission measures: air-kerma (the default), fluence or "
                     "energy-fluence")
        ->transform(wordOption([](const std::string& word) { return beamWeightingOf(word); },
                               beamWeightingName, "air-kerma, fluence or energy-fluence"));
    beam->add_option("--curve", s.curve,
                     "from:to:steps, such as 0:10mm:50: the transmission through the --hvl "
                     "material instead");
    beam->add_option("--length-unit", s.lengthUnit, "um, mm (the default), cm or m");
    beam->add_option("--out", s.out, "Write the filtered spectrum as CSV");
    beam->add_flag("--force", s.force, "Replace the --out file");
    addMethod(*beam, shared);
    beam->footer("Example: tarvo spectrum examples/beam.csv --filter Al:2.5mm --hvl Al\n"
                 "         tarvo spectrum examples/beam.csv --hvl Cu --curve 0:1mm:20 --csv\n"
                 "         tarvo spectrum --tube W:80kV --filter Al:2.5mm --hvl Al --hvl Cu\n"
                 "         tarvo spectrum --tube W:70kV --find-filter Al --hvl1 2.58mm");
    choose(*beam, command,
           [&o](const CommandContext& c) { return analyseSpectrum(o.spectrum, c); });
}

using CommandBuilder = void (*)(CLI::App&, Shared&, CommandOptions&, Command&);

// The commands, each with what adds it to the parser.
constexpr std::pair<const char*, CommandBuilder> kCommands[] = {{"list", addList},
                                                                {"mu", addMu},
                                                                {"xs", addXs},
                                                                {"energy", addEnergy},
                                                                {"attenuate", addAttenuate},
                                                                {"table", addTable},
                                                                {"combine", addCombine},
                                                                {"spectrum", addSpectrum}};

// Adds the command the arguments name, or every command where they name none (for the
// overview, or to say which commands there are): a parser of one command is built in a
// fraction of the time.
void addCommands(CLI::App& app, const std::string& word, Shared& shared, CommandOptions& o,
                 Command& command) {
    const bool named = std::any_of(std::begin(kCommands), std::end(kCommands),
                                   [&word](const auto& entry) { return word == entry.first; });
    for (const auto& [name, add] : kCommands) {
        if (!named || word == name) {
            add(app, shared, o, command);
        }
    }
}

// Parses the arguments; the exit status when they end the program (help or an error).
std::optional<int> parse(CLI::App& app, int argc, const char* const* argv, const Streams& streams) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        streams.out << app.help();
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        streams.out << app.help("", CLI::AppFormatMode::All);
        return 0;
    } catch (const CLI::CallForVersion&) {
        streams.out << "tarvo " << TARVO_VERSION
                    << "\nCopyright (c) 2026 The Tarvo developers. Released under the MIT License "
                       "(LICENSE; /usr/share/doc/tarvo/copyright).\nTables from NIST XCOM "
                       "(SRD 8) and Hubbell and Seltzer (SRD 126, NISTIR 5632).\n";
        return 0;
    } catch (const CLI::ParseError& e) {
        const std::string command = firstWord(argc, argv);
        if (command.empty() && app.get_subcommands().empty()) {
            streams.err << "tarvo: give a command\n\n" << app.help();
            return kUsageError;
        }
        const auto known = app.get_subcommands(
            [&command](const CLI::App* sub) { return sub->get_name() == command; });
        if (!command.empty() && known.empty()) {
            streams.err << "tarvo: unknown command \"" << printable(command)
                        << "\" (see tarvo --help)\n";
        } else {
            streams.err << "tarvo: " << printable(e.what()) << '\n';
        }
        return kUsageError;
    }
    return std::nullopt;
}

void addGlobalOptions(CLI::App& app, Shared& shared) {
    app.footer("Example: tarvo mu Water --energy 0.662,1.25");
    app.require_subcommand(1);
    // The output options may follow the command's own.
    app.fallthrough();
    app.set_version_flag("--version", std::string("tarvo ") + TARVO_VERSION);
    app.add_option("--data", shared.data,
                   "The run directory whose tables are read (or TARVO_DATA; else the "
                   "programs' own)")
        ->envname("TARVO_DATA");
    auto* csv = app.add_flag("--csv", shared.csv, "Comma-separated output");
    app.add_flag("--json", shared.json, "JSON output, numbers in full precision")->excludes(csv);
    app.add_option("--digits", shared.digits,
                   "Significant digits of the aligned and CSV numbers (4)")
        ->check(CLI::Range(1, 17));
}

} // namespace

int runTarvo(int argc, const char* const* argv, std::istream& in, std::ostream& out,
             std::ostream& err, bool inputIsTerminal) {
    const Streams streams{in, out, err, inputIsTerminal};
    CLI::App app{"Photon interaction data from the tables of the Tarvo suite: partial cross "
                 "sections, mass attenuation, energy-transfer and energy-absorption "
                 "coefficients, readings at any energy, the energies of a value, attenuation, "
                 "tables on equal steps and new materials.",
                 "tarvo"};
    Shared shared;
    addGlobalOptions(app, shared);
    Command command;
    CommandOptions options;
    addCommands(app, firstWord(argc, argv), shared, options, command);
    if (const std::optional<int> status = parse(app, argc, argv, streams)) {
        return *status;
    }
    const auto chosen = app.get_subcommands();
    const bool needsMaterial = !chosen.empty() && chosen.front()->get_name() != "list" &&
                               chosen.front()->get_name() != "spectrum";
    if (needsMaterial && !oneMaterial(shared.material)) {
        err << "tarvo: give one material: a table, --formula or --mixture\n";
        return kUsageError;
    }
    return run(command, shared, streams);
}

} // namespace tarvo::cli
