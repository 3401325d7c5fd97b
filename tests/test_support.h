#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvo::testing {

// A fresh directory that is the working directory while the object lives.
class WorkingDirectory {
  public:
    WorkingDirectory();
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }

  private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

// Writes bytes to a file (relative to the working directory), creating its directories.
void writeBytes(const std::filesystem::path& path, std::string_view content);

// The whole content of a file, or an empty text when it does not exist.
std::string readBytes(const std::filesystem::path& path);

// The names of the entries of a directory, sorted.
std::string listDirectory(const std::filesystem::path& path);

} // namespace tarvo::testing
