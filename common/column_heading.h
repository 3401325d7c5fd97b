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

// Column headings over a list of monospaced rows: each word starts at the character
// column of the rows it names, in the list's font, whatever its size.
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

    QListWidget& m_list;
    std::vector<HeadingWord> m_words;
};

} // namespace tarvo
