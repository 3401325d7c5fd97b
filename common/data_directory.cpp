#include "data_directory.h"

#include "common/text_file.h"

namespace tarvo {

std::string DataDirectory::path(std::string_view relative) const {
    if (m_root.empty()) {
        return std::string(relative);
    }
    return (m_root / nativePath(relative)).string();
}

} // namespace tarvo
