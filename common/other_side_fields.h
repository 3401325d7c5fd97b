#pragma once

#include "common/table_reading.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace tarvo {

// The values across an absorption edge, beside a values window's own fields: a caption
// ("below edge" or "above edge") over one read-only field a value, and the caption of the
// own fields' side over them, all hidden away from an edge.
class OtherSideFields {
  public:
    // Puts the caption at (captionRow, column) of `layout` and a field for each of `names`
    // in the rows from `firstRow` down, the own side's caption at (captionRow, ownColumn);
    // the fields are named after `names` and the side.
    OtherSideFields(QGridLayout& layout, int captionRow, int firstRow, int column, int ownColumn,
                    const QStringList& names, QWidget* parent);

    // Shows the values of the other side, in the order of the names.
    void show(bool above, const QStringList& texts);
    void hide();
    // Shows the row across the edge of `table`, each value written by `valueText`; hides
    // the fields where `side` holds no row.
    void showSide(const ReadingTable& table, OtherSide side,
                  const std::function<QString(double)>& valueText);
    bool isShown() const;
    // "below edge" or "above edge", as last shown; the own fields' side is the other.
    QString caption() const;
    QString ownCaption() const;
    QLineEdit& field(int k) { return *m_fields.at(static_cast<size_t>(k)); }

  private:
    QLabel* m_caption = nullptr;
    QLabel* m_ownCaption = nullptr;
    std::vector<QLineEdit*> m_fields;
    QStringList m_names;
};

} // namespace tarvo
