#include "text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo {
namespace {

std::string systemError(int code) {
    return std::strerror(code);
}

// Writes all bytes to a descriptor, retrying short writes.
bool writeAll(int descriptor, std::string_view content) {
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t count =
            ::write(descriptor, content.data() + written, content.size() - written);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        written += static_cast<size_t>(count);
    }
    return true;
}

// Permissions a newly created file would get under the current umask.
mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string formPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    path += '\\';
    path += name;
    return path;
}

std::string nativePath(std::string_view path) {
    std::string native(path);
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    for (char& c : native) {
        if (c == '\\') {
            c = separator;
        }
    }
    return native;
}

std::string fileNamePart(std::string_view path) {
    const size_t separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string_view extensionPart(std::string_view path) {
    const size_t separator = path.find_last_of("\\/");
    const std::string_view name =
        separator == std::string_view::npos ? path : path.substr(separator + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name == "..") {
        return {};
    }
    return name.substr(dot);
}

std::string stemPart(std::string_view path) {
    const std::string name = fileNamePart(path);
    return name.substr(0, name.size() - extensionPart(name).size());
}

std::optional<std::string> readTextFile(std::string_view path, std::string& error) {
    const std::string native = nativePath(path);
    const int descriptor = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        error = systemError(errno);
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        error = S_ISDIR(status.st_mode) ? "is a directory" : systemError(errno);
        ::close(descriptor);
        return std::nullopt;
    }
    std::string content;
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count == 0) {
            break;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = systemError(errno);
            ::close(descriptor);
            return std::nullopt;
        }
        content.append(buffer, static_cast<size_t>(count));
    }
    ::close(descriptor);
    return content;
}

std::string joinLinesCrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

namespace {

// Writes into a device or a pipe as it is: renaming a new file over it would put a plain
// file where /dev/null or /dev/stdout was.
bool writeIntoSpecialFile(const std::filesystem::path& target, std::string_view content,
                          std::string& error) {
    const int descriptor = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    bool written = descriptor >= 0 && writeAll(descriptor, content);
    int savedErrno = errno;
    if (descriptor >= 0 && ::close(descriptor) != 0 && written) {
        written = false;
        savedErrno = errno;
    }
    if (!written) {
        error = systemError(savedErrno);
    }
    return written;
}

// The file a write replaces: a symbolic link is followed, so that the link stays and the
// file it names gets the new content.
std::filesystem::path replacedFile(const std::filesystem::path& target) {
    std::error_code failure;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, failure))) {
        return target;
    }
    const std::filesystem::path followed = std::filesystem::weakly_canonical(target, failure);
    return failure ? target : followed;
}

} // namespace

namespace {

// The name of the temporary file beside a target: a dot, the target's name cut (at a whole
// UTF-8 character) to leave room for six random characters within the 255 bytes a name may
// hold, so that every name the file system takes can be written.
std::string temporaryName(const std::string& name) {
    constexpr std::size_t kLongestName = 255;
    constexpr std::string_view kRandomPart = ".XXXXXX";
    std::size_t cut = std::min(name.size(), kLongestName - 1 - kRandomPart.size());
    while (cut > 0 && cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return "." + name.substr(0, cut) + std::string(kRandomPart);
}

} // namespace

bool atomicWriteFile(std::string_view path, std::string_view content, std::string& error) {
    const std::filesystem::path given(nativePath(path));
    if (given.filename().empty()) {
        error = "no file name given";
        return false;
    }
    std::error_code failure;
    const std::filesystem::file_status status = std::filesystem::status(given, failure);
    if (std::filesystem::is_character_file(status) || std::filesystem::is_fifo(status) ||
        std::filesystem::is_socket(status) || std::filesystem::is_block_file(status)) {
        return writeIntoSpecialFile(given, content, error);
    }
    const std::filesystem::path target = replacedFile(given);
    const std::filesystem::path directory =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string temporary = (directory / temporaryName(target.filename().string())).string();
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        error = systemError(errno);
        return false;
    }
    bool written = writeAll(descriptor, content) && ::fchmod(descriptor, defaultFileMode()) == 0 &&
                   ::fsync(descriptor) == 0;
    int savedErrno = errno;
    if (::close(descriptor) != 0 && written) {
        written = false;
        savedErrno = errno;
    }
    if (written && std::rename(temporary.c_str(), target.c_str()) == 0) {
        return true;
    }
    if (written) {
        savedErrno = errno;
    }
    ::unlink(temporary.c_str());
    error = systemError(savedErrno);
    return false;
}

bool writeTextLines(std::string_view path, const std::vector<std::string>& lines,
                    std::string& error) {
    std::string writeError;
    if (!atomicWriteFile(path, joinLinesCrLf(lines), writeError)) {
        error = std::string(path) + ": " + writeError;
        return false;
    }
    return true;
}

std::string errorReason(std::string_view error, std::string_view path) {
    const std::string prefix = std::string(path) + ": ";
    return std::string(error.substr(error.rfind(prefix, 0) == 0 ? prefix.size() : 0));
}

std::optional<std::string> readNamedTextFile(std::string_view path, std::string& error) {
    std::string readError;
    std::optional<std::string> content = readTextFile(path, readError);
    if (!content) {
        error = std::string(path) + ": " + readError;
    }
    return content;
}

bool removeFile(std::string_view path, std::string& error) {
    if (std::remove(nativePath(path).c_str()) != 0) {
        error = systemError(errno);
        return false;
    }
    return true;
}

std::vector<std::string> listFiles(std::string_view directory, std::string_view extension) {
    std::vector<std::string> names;
    std::error_code code;
    for (const auto& entry : std::filesystem::directory_iterator(nativePath(directory), code)) {
        if (entry.is_regular_file(code) && entry.path().extension().string() == extension) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string fileNameProblem(std::string_view name) {
    if (name == "." || name == "..") {
        return "is not a file name";
    }
    if (!name.empty() && name.find_first_not_of(' ') == std::string_view::npos) {
        return "is not a file name: it holds only blanks";
    }
    if (name.size() > 255) {
        return "is longer than the file system allows";
    }
    for (char c : name) {
        if (c == '/' || c == '\\') {
            return "must not contain a path separator";
        }
        if (static_cast<unsigned char>(c) < 32) {
            return "must not contain control characters";
        }
    }
    return {};
}

bool enterExecutableDirectory(std::string& error) {
    std::error_code code;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", code);
    if (code) {
        error = code.message();
        return false;
    }
    std::filesystem::current_path(executable.parent_path(), code);
    if (code) {
        error = code.message();
        return false;
    }
    return true;
}

} // namespace tarvo
