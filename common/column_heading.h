#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class QListWidget;

namespace tarvo {

// One word of a heading: its line (from 0), the character column of the list rows it
// stands over (from 0), and its text.
struct HeadingWord {
    int line = 0;
    int column = 0;
    QString text;
};

// The heading of each column as one text, columns left to right, each column's words top to
// bottom ("Photon energy MeV"); a word ending in "-" joins the next ("Photo-Electric").
QStringList columnHeadingTexts(const std::vector<HeadingWord>& words);

// Column headings over a list of monospaced rows: each word starts at the character
// column of the rows it names, in the list's font, whatever its size. A screen reader
// reads the headings column by column.
class ColumnHeading : public QWidget {
    Q_OBJECT
  public:
    ColumnHeading(QListWidget& list, std::vector<HeadingWord> words, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Where a character column of the list's rows starts, in this widget's pixels.
    int columnX(int column) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int lineCount() const;
    double roomOf(const HeadingWord& word) const;

    QListWidget& m_list;
    std::vector<HeadingWord> m_words;
};

} // namespace tarvo
