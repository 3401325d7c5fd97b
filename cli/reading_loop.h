#pragma once

#include "cli/commands.h"

#include <array>
#include <limits>
#include <string_view>
#include <vector>

namespace tarvo::cli {

// One row of a reading: the energy as given, the side of an edge ("below", "above" or
// empty), the values (nullptr where none can be given) and why none can.
struct ReadingRow {
    double energy = 0.0;
    std::string_view side;
    const double* values = nullptr;
    std::string_view note;
};

// The material a command asks for, its notes said on the error stream; nothing, with the
// exit status in `status` and the reason said, when it cannot be had.
std::optional<Material> loaded(const MaterialRequest& request, TableKind quantities,
                               const CommandContext& c, int& status);

// Says on the error stream why a row has no values: the first few reasons in full, then
// how many rows had none.
class MissingRows {
  public:
    explicit MissingRows(const CommandContext& c) : m_context(c) {}
    void add(std::string_view why);
    // Says how many were not named; true when every row had its values.
    bool finish();

  private:
    const CommandContext& m_context;
    long m_count = 0;
};

// Why an energy that is a number has no reading.
std::string noReading(const Material& material, const InputEnergy& energy, const Reading& reading,
                      const std::string& unit);

// The energies a reading loop reads at a time.
inline constexpr std::size_t kReadingChunk = 1024;

// One chunk of a stream's energies read in a batch: the values of every column, and which
// energies the batch left to a one-at-a-time reading (an edge, a row's own energy, none).
struct ReadingChunk {
    std::vector<InputEnergy> energies;
    std::vector<double> mev;
    std::vector<std::vector<double>> columns;
    std::vector<char> alone;
};

// Reads up to kReadingChunk energies of the stream; false when there are none.
bool readChunk(const Material& material, ReadingMethod method, EnergyStream& stream,
               ReadingChunk& chunk);

// Reads each energy of the stream and hands `emit` its rows, in input order: both sides of
// an edge energy, or the side asked for; a row without values where none can be given. The
// energies are read a chunk at a time by the batch readings; an energy they leave is read
// on its own. Returns false where any row had none or the input could not be read to its
// end.
template <class Emit>
bool forEachReading(const Material& material, const ReadingOptions& options,
                    const CommandContext& c, EnergyStream& stream, Emit emit) {
    MissingRows missing(c);
    ReadingChunk chunk;
    std::array<double, kMaxReadingColumns> row{};
    while (readChunk(material, c.method, stream, chunk)) {
        for (std::size_t i = 0; i < chunk.energies.size(); ++i) {
            const InputEnergy& energy = chunk.energies[i];
            if (!energy.problem.empty()) {
                missing.add(energy.problem);
                emit(ReadingRow{energy.given, {}, nullptr, energy.problem});
                continue;
            }
            if (!chunk.alone[i]) {
                for (std::size_t k = 0; k < chunk.columns.size(); ++k) {
                    row[k] = chunk.columns[k][i];
                }
                emit(ReadingRow{energy.given, "", row.data(), {}});
                continue;
            }
            const Reading reading = readMaterial(material, energy.mev, c.method);
            if (reading.result != ReadingResult::found) {
                const std::string why = noReading(material, energy, reading, options.energies.unit);
                missing.add(why);
                emit(ReadingRow{energy.given, {}, nullptr, why});
                continue;
            }
            const int upper = upperEdgeRow(material.readings, energy.mev);
            if (upper == 0 || options.side != EdgeSide::above) {
                emit(ReadingRow{energy.given, upper ? "below" : "", reading.values.data(), {}});
            }
            if (upper != 0 && options.side != EdgeSide::below) {
                const auto values = valuesAboveEdge(material, upper, c.method);
                emit(ReadingRow{energy.given, "above", values.data(), {}});
            }
        }
    }
    if (!stream.readError().empty()) {
        fail(c, stream.readError(), kDataError);
        missing.finish();
        return false;
    }
    return missing.finish();
}

} // namespace tarvo::cli
