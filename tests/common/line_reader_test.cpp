#include "common/line_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tarvo {
namespace {

// Every line of a text as the reader gives it: "<too long>" for one over the limit.
std::vector<std::string> linesOf(const std::string& text, std::size_t longest) {
    std::istringstream in(text);
    LineReader reader(in, longest);
    std::vector<std::string> lines;
    std::string_view line;
    for (auto status = reader.next(line); status != LineReader::Status::end;
         status = reader.next(line)) {
        lines.push_back(status == LineReader::Status::tooLong ? "<too long>" : std::string(line));
        EXPECT_EQ(reader.lineNumber(), static_cast<long>(lines.size()));
    }
    EXPECT_EQ(reader.readError(), "");
    return lines;
}

TEST(LineReader, EveryLineEndAndTheLimit) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\nb\r\nc\rd", {"a", "b", "c", "d"}},
        {"\xEF\xBB\xBF"
         "a\n\xEF\xBB\xBF"
         "b\n",
         {"a", "\xEF\xBB\xBF"
               "b"}},
        {"\n\r\n\r", {"", "", ""}},
        {"", {}},
        {"12345678\n123456789\nok", {"12345678", "<too long>", "ok"}},
        {"ok\r\n" + std::string(200000, 'x') + "\r\nend\n", {"ok", "<too long>", "end"}},
        {"ok\n" + std::string(200000, 'x'), {"ok", "<too long>"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(linesOf(c.text, 8), c.lines) << c.text.substr(0, 40);
    }
}

// A CR that ends a block and the LF that begins the next are one line end, wherever the
// blocks end: the CR is put at every place near a multiple of 4 KiB.
TEST(LineReader, ACarriageReturnAndLineFeedSplitByTheBlocksAreOneEnd) {
    for (std::size_t block = 4096; block <= 200000; block += 4096) {
        for (std::size_t length = block - 3; length <= block + 2; ++length) {
            const std::string line(length, 'x');
            const std::vector<std::string> expected{line, "next"};
            EXPECT_EQ(linesOf(line + "\r\nnext\n", 1 << 20), expected) << length;
        }
    }
}

} // namespace
} // namespace tarvo
