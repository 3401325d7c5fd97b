#include "common/column_heading.h"

#include "coefview/values_window.h"
#include "xsview/values_window.h"

#include <QFont>
#include <QImage>
#include <QListWidget>

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

using namespace xsview; // the cross-section viewer's windows

bool isInk(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y)).lightness() < 128;
}

// The x where ink starts after at least `gap` blank pixel columns, in a band of an image.
std::vector<int> inkStarts(const QImage& image, const QRect& band, int gap) {
    std::vector<int> starts;
    int blank = gap;
    for (int x = band.left(); x <= band.right(); ++x) {
        bool ink = false;
        for (int y = band.top(); y <= band.bottom() && !ink; ++y) {
            ink = isInk(image, x, y);
        }
        if (ink && blank >= gap) {
            starts.push_back(x);
        }
        blank = ink ? 0 : blank + 1;
    }
    return starts;
}

// Checks that each word of the heading's first line starts over the start of a field of
// the list's first row, within half a character, at two font sizes.
void expectHeadingOverColumns(QWidget& window, QListWidget& list, const QString& row) {
    list.addItem(row);
    window.show();
    for (const double points : {9.0, 16.0}) {
        QFont font = list.font();
        font.setPointSizeF(points);
        list.setFont(font);
        auto* heading = window.findChild<ColumnHeading*>();
        ASSERT_NE(heading, nullptr);
        // Wide enough for the whole row at the larger size.
        window.resize(1400, window.height());
        const QImage image = window.grab().toImage();
        const int character = QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
        const int lineHeight = QFontMetrics(font).lineSpacing();
        const QPoint headingTop = heading->mapTo(&window, QPoint(0, 0));
        const QRect headingBand(headingTop.x(), headingTop.y(), heading->width(), lineHeight);
        QRect rowBand = list.visualItemRect(list.item(0));
        rowBand.moveTopLeft(list.viewport()->mapTo(&window, rowBand.topLeft()));
        const std::vector<int> words = inkStarts(image, headingBand, character * 3 / 2);
        const std::vector<int> fields = inkStarts(image, rowBand, character * 4 / 5);
        ASSERT_GE(words.size(), 4U) << points;
        for (const int word : words) {
            int nearest = 1 << 20;
            for (const int field : fields) {
                nearest = std::min(nearest, std::abs(field - word));
            }
            EXPECT_LE(nearest, character / 2)
                << "a heading word at " << word << " px, " << points << " points";
        }
    }
}

TEST(ColumnHeading, CrossSectionValuesStandOverTheirColumns) {
    ValuesWindow window;
    expectHeadingOverColumns(
        window, window.rowList(),
        QStringLiteral(" 1.000E-03 1.000E+01 1.000E-02 1.000E+03 0.000E+00 0.000E+00"));
}

TEST(ColumnHeading, CoefficientValuesStandOverTheirColumns) {
    coefview::ValuesWindow window;
    expectHeadingOverColumns(window, window.rowList(),
                             QStringLiteral("1.00000E-03  4.000E+03  3.000E+03  2.000E+03"));
}

// Neighbouring heading words on a line are parted by at least a blank's width of paper,
// at 100 % and 200 % (a doubled font), though "Incoherent" is as wide as its column.
TEST(ColumnHeading, NeighbouringWordsArePartedByABlank) {
    ValuesWindow window;
    window.rowList().addItem(
        QStringLiteral(" 1.000E-03 1.000E+01 1.000E-02 1.000E+03 0.000E+00 0.000E+00"));
    window.show();
    // Line and the columns of two neighbouring words: "Scattering" "Photo-", "Coherent"
    // "Incoherent" "Electric" "in Nuclear" "in Electron", "Absorption" "Field" "Field".
    const int pairs[][3] = {{0, 11, 31}, {0, 31, 41}, {1, 11, 21}, {1, 21, 31},
                            {1, 31, 41}, {1, 41, 51}, {2, 31, 41}, {2, 41, 51}};
    for (const double points : {9.0, 18.0}) {
        QFont font = window.rowList().font();
        font.setPointSizeF(points);
        window.rowList().setFont(font);
        window.resize(1600, window.height());
        auto* heading = window.findChild<ColumnHeading*>();
        ASSERT_NE(heading, nullptr);
        heading->resize(heading->width(), heading->sizeHint().height());
        const QImage image = heading->grab().toImage();
        const int blank = qRound(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')));
        const int lineHeight = QFontMetrics(font).lineSpacing();
        ASSERT_GE(image.height(), 3 * lineHeight);
        const auto inkAt = [&](int x, int line) {
            for (int y = line * lineHeight; y < (line + 1) * lineHeight && y < image.height();
                 ++y) {
                if (isInk(image, x, y)) {
                    return true;
                }
            }
            return false;
        };
        for (const auto& [line, left, right] : pairs) {
            const int start = heading->columnX(right);
            int lastInk = heading->columnX(left);
            for (int x = lastInk; x < start; ++x) {
                lastInk = inkAt(x, line) ? x : lastInk;
            }
            int firstInk = start;
            while (firstInk < image.width() && !inkAt(firstInk, line)) {
                ++firstInk;
            }
            EXPECT_GE(firstInk - lastInk - 1, blank)
                << points << " points, line " << line << ", columns " << left << " and " << right;
        }
    }
}

// A screen reader reads each column's heading as one text, its words in order.
TEST(ColumnHeading, IsReadColumnByColumn) {
    ValuesWindow crossSections;
    coefview::ValuesWindow coefficients;
    const struct {
        QWidget* window;
        const char* name;
    } headings[] = {
        {&crossSections,
         "Photon energy MeV, Scattering Coherent, Incoherent, Photo-Electric Absorption, "
         "Pair Production in Nuclear Field, in Electron Field"},
        {&coefficients, "Photon energy MeV, μ/ρ cm²/g, μtr/ρ cm²/g, μen/ρ cm²/g"},
    };
    for (const auto& [window, name] : headings) {
        auto* heading = window->findChild<ColumnHeading*>();
        ASSERT_NE(heading, nullptr);
        EXPECT_EQ(heading->accessibleName(), QString::fromUtf8(name));
    }
}

} // namespace
} // namespace tarvo
