#pragma once

#include "materials/material_source.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvo::python {

// What a failure is to a Python caller: bad input, an unknown name, or a file that cannot
// be read or written (one that exists, or one the suite ships and never replaces).
enum class FailureKind { value, type, key, file, fileExists, permission };

// A failure the module raises as the Python exception of its kind, with the message.
class ModuleFailure : public std::runtime_error {
  public:
    ModuleFailure(FailureKind kind, const std::string& message)
        : std::runtime_error(message), m_kind(kind) {}
    FailureKind kind() const { return m_kind; }

  private:
    FailureKind m_kind;
};

// Where the tables are read: the directory named by set_data_directory, else TARVO_DATA,
// else the installation's own (`fallback`, or the per-user copy of a read-only one).
// Throws a file failure when the directory holds no tables. Shared, so that a call working
// in one thread keeps its directory while another thread names a new one.
std::shared_ptr<const DataDirectory> dataDirectory();
void setDataDirectory(const std::filesystem::path& directory);
void setDefaultDataDirectory(const std::filesystem::path& directory);

// A material as a script holds it: a table of the data directory, or a compound or a
// mixture combined from the element tables. Its tables are read at first use, once.
class ModuleMaterial {
  public:
    std::string stem;     // the table's file name without extension; empty until saved
    std::string name;     // its own name
    std::string kind;     // "element", "material", "compound" or "mixture"
    std::string category; // "human", "phantom", "other"; empty for elements and unsaved
    double density = 0.0; // g/cm3; 0 where none was given
    int atomicNumber = 0; // of an element
    std::shared_ptr<const DataDirectory> data; // where it was found or combined
    MaterialRequest coefficientRequest;        // how each kind of table is had
    MaterialRequest crossSectionRequest;       // (empty: the material has none of that kind)

    // The material's tables of a kind, read or combined at first use; throws when they
    // cannot be had.
    const Material& tables(TableKind quantities) const;
    // The composition by weight, element symbol to weight fraction; empty where unknown.
    std::map<std::string, double> composition() const;
    // Notes on how a formula or the shares of a mixture were read.
    std::vector<std::string> notes() const;

  private:
    mutable std::mutex m_loading; // one thread reads the tables, the others wait for them
    mutable std::shared_ptr<const Material> m_coefficients;
    mutable std::shared_ptr<const Material> m_crossSections;
};

// Every table of the data directory of a kind ("element", "material", empty for both) and
// category ("human", "phantom", "other", empty for every one).
std::vector<std::shared_ptr<ModuleMaterial>> listMaterials(const std::string& kind,
                                                           const std::string& category);

// The table found by stem, name, element symbol or atomic number, any case, or by path;
// throws a key failure naming the closest names on a miss.
std::shared_ptr<ModuleMaterial> findMaterial(const std::string& name);

// A compound of a chemical formula, or a mixture by weight of components (tables or
// formulas) and their shares; its tables are combined at once, so a bad request fails here.
std::shared_ptr<ModuleMaterial> compoundOf(const std::string& formula, double density,
                                           const std::string& name);
std::shared_ptr<ModuleMaterial> mixtureOf(const std::vector<std::pair<std::string, double>>& parts,
                                          double density, const std::string& name);

// Writes a compound's or a mixture's two tables into the data directory's folders of a
// category ("human", "phantom", "other"), as the creators write them; returns their paths.
// Where the data directory is an installation the user cannot write to, they go to the
// per-user run directory, and `notes` says so.
std::vector<std::string> saveMaterial(ModuleMaterial& material, const std::string& category,
                                      const std::string& fileName, bool overwrite,
                                      std::vector<std::string>& notes);

} // namespace tarvo::python
