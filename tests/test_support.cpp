#include "test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include <csignal>

#include <stdlib.h>
#include <sys/resource.h>

namespace tarvo::testing {

WorkingDirectory::WorkingDirectory() : m_previous(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-test-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
    std::filesystem::current_path(m_path);
}

WorkingDirectory::~WorkingDirectory() {
    std::filesystem::current_path(m_previous);
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored)) {
        if (entry.is_directory()) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
    }
    std::filesystem::remove_all(m_path, ignored);
}

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_previousLimit = limit.rlim_cur;
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_previousLimit;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
}

void writeBytes(const std::filesystem::path& path, std::string_view content) {
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
    std::ofstream stream(path, std::ios::binary);
    stream << content;
}

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream content;
    content << stream.rdbuf();
    return content.str();
}

std::string listDirectory(const std::filesystem::path& path) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) {
        joined += (joined.empty() ? "" : " ") + name;
    }
    return joined;
}

} // namespace tarvo::testing
