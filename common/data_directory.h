#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// The run directory whose tables a caller reads and writes: it holds "ele", "mix", "mu_ele"
// and "mu_mix". Every library function that touches a table takes one. Paths inside it are
// given in the tables' own form ("mu_ele\82_Pb.mut").
class DataDirectory {
  public:
    // The working directory, where the viewers and the spline tool run (they enter their
    // executable's directory at start); paths stay as given, so messages name
    // "mix\Water.mix2".
    static DataDirectory working() { return DataDirectory(); }
    // A directory a script names; paths below it use the system's separators. Its own path
    // must hold no backslash, which the tables' paths use as their separator.
    explicit DataDirectory(std::filesystem::path root) : m_root(std::move(root)) {}

    // The path to open for a file given relative to the directory.
    std::string path(std::string_view relative) const;
    const std::filesystem::path& root() const { return m_root; }

  private:
    DataDirectory() = default;

    std::filesystem::path m_root;
};

// The run directory whose tables a script reads: `directory` itself when the caller named
// it; for an installation's own directory, the per-user copy the viewers made where the
// installation cannot be written (it holds the tables the user created). Nothing, with
// `error` naming the directory, when it holds no tables.
std::optional<std::filesystem::path> tablesDirectory(const std::filesystem::path& directory,
                                                     bool named, std::string& error);

} // namespace tarvo
