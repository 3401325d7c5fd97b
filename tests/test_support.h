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

// While it lives, files of this process cannot grow beyond `bytes`, so that writes fail
// (also for root); the signal such a write raises is ignored.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    unsigned long m_previousLimit = 0;
    void (*m_previousHandler)(int) = nullptr;
};

// Writes bytes to a file (relative to the working directory), creating its directories.
void writeBytes(const std::filesystem::path& path, std::string_view content);

// The whole content of a file, or an empty text when it does not exist.
std::string readBytes(const std::filesystem::path& path);

// The names of the entries of a directory, sorted.
std::string listDirectory(const std::filesystem::path& path);

} // namespace tarvo::testing
