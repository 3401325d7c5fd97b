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

// A CR that ends a block and the LF that begins the next are one line end.
TEST(LineReader, ACarriageReturnAndLineFeedSplitByTheBlocksAreOneEnd) {
    const std::size_t longest = 16;
    const std::size_t firstBlock = longest + 1 + (1 << 16);
    // Lines before "ab" fill the first block up to its last two bytes.
    std::size_t filler = firstBlock - 3;
    std::string text = filler % 2 == 1 ? "12\n" : "";
    std::vector<std::string> expected(filler % 2 == 1 ? 1 : 0, "12");
    filler -= text.size();
    for (std::size_t n = 0; n < filler / 2; ++n) {
        text += "1\n";
        expected.emplace_back("1");
    }
    text += "ab\r\nnext\n";
    ASSERT_EQ(text[firstBlock - 1], '\r');
    expected.insert(expected.end(), {"ab", "next"});
    EXPECT_EQ(linesOf(text, longest), expected);
}

} // namespace
} // namespace tarvo
