#include "line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <istream>

namespace tarvo {
namespace {

// Lines are read in blocks of up to this size, the first of the smaller.
constexpr std::size_t kBlock = 1 << 16;
constexpr std::size_t kFirstBlock = 1 << 12;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

LineReader::LineReader(std::istream& in, std::size_t longestLine)
    : m_in(&in), m_longestLine(longestLine) {}

// Reads the next block behind what is left of the buffer; false at the end of the input.
bool LineReader::fill() {
    if (m_endOfInput) {
        return false;
    }
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    // What is kept is never longer than a line may be, so a block always fits behind it;
    // the buffer grows to that size only as the input asks for it.
    const std::size_t capacity = m_longestLine + 1 + kBlock;
    if (m_buffer.size() - m_end < kBlock && m_buffer.size() < capacity) {
        m_buffer.resize(std::min(capacity, std::max(kFirstBlock, 2 * m_buffer.size())));
    }
    errno = 0;
    m_in->read(m_buffer.data() + m_end, static_cast<std::streamsize>(m_buffer.size() - m_end));
    const auto got = static_cast<std::size_t>(m_in->gcount());
    m_end += got;
    if (m_in->bad()) {
        m_readError = std::strerror(errno != 0 ? errno : EIO);
    }
    m_endOfInput = got == 0 || !*m_in;
    return got > 0;
}

std::size_t LineReader::lineEnd() const {
    // An empty buffer has no storage yet, and memchr takes no null pointer.
    const std::size_t size = m_end - m_begin;
    if (size == 0) {
        return std::string_view::npos;
    }
    const char* begin = m_buffer.data() + m_begin;
    const auto* lineFeed = static_cast<const char*>(std::memchr(begin, '\n', size));
    // A CR can end the line only before its LF: the search for it stays that short.
    const std::size_t before =
        lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - begin) : size;
    const auto* carriageReturn =
        before > 0 ? static_cast<const char*>(std::memchr(begin, '\r', before)) : nullptr;
    const char* end = carriageReturn != nullptr ? carriageReturn : lineFeed;
    return end != nullptr ? m_begin + static_cast<std::size_t>(end - begin)
                          : std::string_view::npos;
}

// Moves past the line end at `end`: LF, CR, or CR LF (whose LF may come in the next block).
void LineReader::passEnd(std::size_t end) {
    m_begin = end + 1;
    if (m_buffer[end] == '\r') {
        if (m_begin < m_end) {
            m_begin += m_buffer[m_begin] == '\n' ? 1 : 0;
        } else {
            m_skipLineFeed = true;
        }
    }
}

LineReader::Status LineReader::give(std::size_t length, std::string_view& line) {
    line = std::string_view(m_buffer.data() + m_begin, length);
    if (++m_lineNumber == 1 && line.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        line.remove_prefix(kByteOrderMark.size());
    }
    return Status::line;
}

LineReader::Status LineReader::tooLong(std::string_view& line) {
    ++m_lineNumber;
    line = {};
    return Status::tooLong;
}

// Passes over the rest of a line too long to give, block by block.
void LineReader::passOver() {
    m_passingOver = false;
    m_begin = m_end;
    while (fill()) {
        if (const std::size_t end = lineEnd(); end != std::string_view::npos) {
            passEnd(end);
            return;
        }
        m_begin = m_end;
    }
}

LineReader::Status LineReader::next(std::string_view& line) {
    if (m_passingOver) {
        passOver();
    }
    for (;;) {
        if (m_begin == m_end && !fill()) {
            return Status::end;
        }
        if (m_skipLineFeed) {
            m_skipLineFeed = false;
            m_begin += m_buffer[m_begin] == '\n' ? 1 : 0;
            continue;
        }
        if (const std::size_t end = lineEnd(); end != std::string_view::npos) {
            const Status status =
                end - m_begin > m_longestLine ? tooLong(line) : give(end - m_begin, line);
            passEnd(end);
            return status;
        }
        if (m_end - m_begin > m_longestLine) {
            // Its rest is passed over when the next line is asked for: a reader that stops
            // here reads no further.
            m_passingOver = true;
            return tooLong(line);
        }
        if (!fill()) {
            // The last line, without an end.
            const Status status = give(m_end - m_begin, line);
            m_begin = m_end;
            return status;
        }
    }
}

} // namespace tarvo
