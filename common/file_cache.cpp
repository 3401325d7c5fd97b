#include "file_cache.h"

#include "common/text_file.h"

#include <sys/stat.h>

namespace tarvo {

std::optional<FileStamp> fileStampOf(const std::string& path) {
    // A table's path in its own form ("mu_ele\\13_Al.mut") is looked at by the system's.
    struct stat status {};
    if (::stat(nativePath(path).c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileStamp{
        static_cast<std::uintmax_t>(status.st_size),
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
        static_cast<std::uint64_t>(status.st_ino), static_cast<std::uint64_t>(status.st_dev)};
}

} // namespace tarvo
