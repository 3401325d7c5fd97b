#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace tarvo {

// What the file system tells of a file or directory: any write, replacement or new entry
// changes it.
struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a path; nothing when it cannot be had.
std::optional<FileStamp> fileStampOf(const std::string& path);

// Values made from files, kept while their file is unchanged; safe from several threads. A
// value is looked up by a key and the stamp its file has now, so a changed file is read
// again. At `kMostEntries` the cache starts anew, so memory stays bounded.
template <class Value> class FileCache {
  public:
    static constexpr std::size_t kMostEntries = 1024;

    // The value kept for `key` while its file has `stamp`; nothing when none is.
    std::shared_ptr<const Value> find(const std::string& key, const FileStamp& stamp) const {
        const std::lock_guard lock(m_mutex);
        const auto found = m_entries.find(key);
        return found != m_entries.end() && found->second.stamp == stamp ? found->second.value
                                                                        : nullptr;
    }

    // Keeps a value for `key` made from a file of `stamp`.
    void keep(const std::string& key, const FileStamp& stamp, std::shared_ptr<const Value> value) {
        const std::lock_guard lock(m_mutex);
        if (m_entries.size() >= kMostEntries) {
            m_entries.clear();
        }
        m_entries[key] = {stamp, std::move(value)};
    }

  private:
    struct Entry {
        FileStamp stamp;
        std::shared_ptr<const Value> value;
    };
    mutable std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
};

} // namespace tarvo
