#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The longest line a script's input may hold: no energy or spectrum bin is near it.
inline constexpr std::size_t kLongestInputLine = 1 << 16;

// Lines of a stream, read in blocks as they are asked for, so that an input of any length
// takes little memory. A line ends at LF, CR LF or a lone CR; a UTF-8 byte-order mark before
// the first line is passed over. A line longer than the limit is passed over to its end and
// reported as too long, one line however long it is. A stream that cannot be read (a
// directory, a closed descriptor) ends with the system's reason, never an exception.
class LineReader {
  public:
    LineReader(std::istream& in, std::size_t longestLine = kLongestInputLine);

    enum class Status { line, tooLong, end };

    // The next line without its end, valid until the next call; `tooLong` with an empty
    // line for one beyond the limit; `end` when no line is left.
    Status next(std::string_view& line);

    // The number (from 1) of the line last given.
    long lineNumber() const { return m_lineNumber; }

    // Why the stream ended before its end: the system's message; empty when it did not.
    const std::string& readError() const { return m_readError; }

    // The limit a line is held to, in bytes.
    std::size_t longestLine() const { return m_longestLine; }

  private:
    bool fill();
    std::size_t lineEnd() const;
    void passEnd(std::size_t end);
    Status give(std::size_t length, std::string_view& line);
    void passOver();
    Status tooLong(std::string_view& line);

    std::istream* m_in;
    std::size_t m_longestLine;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    bool m_endOfInput = false;
    bool m_skipLineFeed = false; // the last line ended at a CR that ended the block
    bool m_passingOver = false;  // the last line was too long and its rest is still to come
    long m_lineNumber = 0;
    std::string m_readError;
};

} // namespace tarvo
