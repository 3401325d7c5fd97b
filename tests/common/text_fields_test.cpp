#include "common/text_fields.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(ReadLine, AcceptsCrLfAndLfAndAFinalLineWithoutEnd) {
    TextCursor cursor{"one\r\ntwo\nthree"};
    EXPECT_EQ(readLine(cursor), "one");
    EXPECT_EQ(readLine(cursor), "two");
    EXPECT_EQ(cursor.lineNumber, 3);
    EXPECT_EQ(readLine(cursor), "three");
    EXPECT_EQ(readLine(cursor), std::nullopt);
}

TEST(ReadLine, KeepsEmptyLinesAndBytes) {
    TextCursor cursor{"\r\n\xe6\xb0\xb4, water\r\n"};
    EXPECT_EQ(readLine(cursor), "");
    EXPECT_EQ(readLine(cursor), "\xe6\xb0\xb4, water");
    EXPECT_EQ(readLine(cursor), std::nullopt);
}

struct FieldCase {
    const char* text;
    std::vector<double> fields;
};

class ReadNumberFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ReadNumberFieldTest, SplitsAtCommasBlanksAndLineEnds) {
    TextCursor cursor{GetParam().text};
    std::vector<double> read;
    while (const std::optional<double> value = readNumberField(cursor)) {
        read.push_back(*value);
    }
    EXPECT_EQ(read, GetParam().fields) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ReadNumberFieldTest,
    ::testing::Values(FieldCase{"080\r\n01.060000\r\n", {80, 1.06}},
                      FieldCase{"80,1.06\r\n", {80, 1.06}}, FieldCase{"80 1.06\n", {80, 1.06}},
                      FieldCase{"  01 0.101172  \r\n", {1, 0.101172}},
                      FieldCase{"1.000E-03 1.234E+01\r\n\r\n5", {0.001, 12.34, 5}},
                      FieldCase{"1.5,,2", {1.5, 0, 2}}, FieldCase{"", {}},
                      FieldCase{"\r\n  \r\n", {}}, FieldCase{"x,2", {0, 2}}));

TEST(ReadNumberField, ConsumesTheLineEndSoTheNextLineReadStartsBelow) {
    TextCursor cursor{"Water\r\n1.06\r\n3  \r\n1.000E-03 row\r\n"};
    EXPECT_EQ(readLine(cursor), "Water");
    EXPECT_EQ(readNumberField(cursor), 1.06);
    EXPECT_EQ(readNumberField(cursor), 3.0);
    EXPECT_EQ(readLine(cursor), "1.000E-03 row");
}

TEST(ReadTextField, EndsAtCommaOrLineEnd) {
    TextCursor cursor{"  Hydrogen , gas\r\nTarvo\r\n"};
    EXPECT_EQ(readTextField(cursor), "Hydrogen");
    EXPECT_EQ(readTextField(cursor), "gas");
    EXPECT_EQ(readTextField(cursor), "Tarvo");
    EXPECT_EQ(readTextField(cursor), std::nullopt);
}

struct SliceCase {
    const char* line;
    int first;
    int width;
    const char* slice;
};

class ColumnSliceTest : public ::testing::TestWithParam<SliceCase> {};

TEST_P(ColumnSliceTest, CutsByOneBasedColumns) {
    const SliceCase& c = GetParam();
    EXPECT_EQ(columnSlice(c.line, c.first, c.width), c.slice);
}

INSTANTIATE_TEST_SUITE_P(Lines, ColumnSliceTest,
                         ::testing::Values(SliceCase{"1.000E-03 1.234E+01", 1, 9, "1.000E-03"},
                                           SliceCase{"1.000E-03 1.234E+01", 11, 9, "1.234E+01"},
                                           SliceCase{"1.000E-03 1.234E+01", 21, 9, ""},
                                           SliceCase{"1.000E-03 1.23", 11, 9, "1.23"},
                                           SliceCase{"", 1, 9, ""}));

TEST(LastColumns, TakesTheEndOfTheLine) {
    EXPECT_EQ(lastColumns("1.00000E-03 4.076E+03 4.064E+03 4.064E+03", 9), "4.064E+03");
    EXPECT_EQ(lastColumns("4.06", 9), "4.06");
}

} // namespace
} // namespace tarvo
