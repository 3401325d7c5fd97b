#include "column_heading.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace tarvo {

QStringList columnHeadingTexts(const std::vector<HeadingWord>& words) {
    std::vector<HeadingWord> ordered = words;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const HeadingWord& a, const HeadingWord& b) {
                         return a.column != b.column ? a.column < b.column : a.line < b.line;
                     });
    QStringList texts;
    for (size_t k = 0; k < ordered.size(); ++k) {
        const bool sameColumn = k > 0 && ordered[k].column == ordered[k - 1].column;
        if (!sameColumn) {
            texts.append(ordered[k].text);
        } else if (texts.back().endsWith(QLatin1Char('-'))) {
            texts.back() += ordered[k].text;
        } else {
            texts.back() += QLatin1Char(' ') + ordered[k].text;
        }
    }
    return texts;
}

ColumnHeading::ColumnHeading(QListWidget& list, std::vector<HeadingWord> words, QWidget* parent)
    : QWidget(parent), m_list(list), m_words(std::move(words)) {
    setAccessibleName(columnHeadingTexts(m_words).join(QStringLiteral(", ")));
    connect(m_list.horizontalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&QWidget::update));
}

int ColumnHeading::lineCount() const {
    int lines = 0;
    for (const HeadingWord& word : m_words) {
        lines = std::max(lines, word.line + 1);
    }
    return lines;
}

QSize ColumnHeading::sizeHint() const {
    const QFontMetrics metrics(m_list.font());
    return {m_list.sizeHint().width(), lineCount() * metrics.lineSpacing() + 4};
}

QSize ColumnHeading::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

// The list's item delegate starts an item's text one focus-frame margin and one pixel
// inside the viewport.
int ColumnHeading::columnX(int column) const {
    const QWidget* viewport = m_list.viewport();
    const int viewportLeft =
        viewport->mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x();
    const int textMargin =
        m_list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &m_list) + 1;
    // Advances are fractional: the width of the characters before the column, not a
    // multiple of one rounded width.
    const double before =
        QFontMetricsF(m_list.font()).horizontalAdvance(QString(column, QLatin1Char('0')));
    return viewportLeft + textMargin + qRound(before) - m_list.horizontalScrollBar()->value();
}

// The pixels a word may fill: up to one blank before the next word on its line.
double ColumnHeading::roomOf(const HeadingWord& word) const {
    int next = -1;
    for (const HeadingWord& other : m_words) {
        if (other.line == word.line && other.column > word.column &&
            (next < 0 || other.column < next)) {
            next = other.column;
        }
    }
    if (next < 0) {
        return -1; // the last word of its line has room to the end
    }
    // A pixel more than the blank, for the edge that anti-aliasing blurs.
    const double blank = QFontMetricsF(m_list.font()).horizontalAdvance(QLatin1Char(' '));
    return columnX(next) - columnX(word.column) - blank - 1;
}

// A word as wide as its column (ten characters over ten) would touch the next one: it is
// drawn narrower, so that a blank's width of paper always parts two headings.
void ColumnHeading::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(m_list.font());
    const QFontMetricsF metrics(m_list.font());
    for (const HeadingWord& word : m_words) {
        const double width = metrics.boundingRect(word.text).right();
        const double room = roomOf(word);
        painter.save();
        painter.translate(columnX(word.column),
                          word.line * metrics.lineSpacing() + metrics.ascent());
        if (room > 0 && width > room) {
            painter.scale(room / width, 1.0);
        }
        painter.drawText(QPointF(0, 0), word.text);
        painter.restore();
    }
}

} // namespace tarvo
