#include "other_side_fields.h"

#include "common/accessible_names.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace tarvo {

OtherSideFields::OtherSideFields(QGridLayout& layout, int captionRow, int firstRow, int column,
                                 int ownColumn, const QStringList& names, QWidget* parent)
    : m_names(names) {
    m_caption = new QLabel(parent);
    m_ownCaption = new QLabel(parent);
    layout.addWidget(m_caption, captionRow, column);
    layout.addWidget(m_ownCaption, captionRow, ownColumn);
    for (int k = 0; k < names.size(); ++k) {
        auto* field = new QLineEdit(parent);
        field->setReadOnly(true);
        nameControl(field, names[k] + QStringLiteral(", across the edge"));
        layout.addWidget(field, firstRow + k, column);
        m_fields.push_back(field);
    }
    hide();
}

void OtherSideFields::show(bool above, const QStringList& texts) {
    const QString side = above ? QStringLiteral("above edge") : QStringLiteral("below edge");
    m_caption->setText(side);
    m_caption->show();
    m_ownCaption->setText(above ? QStringLiteral("below edge") : QStringLiteral("above edge"));
    m_ownCaption->show();
    for (size_t k = 0; k < m_fields.size(); ++k) {
        m_fields[k]->setText(static_cast<qsizetype>(k) < texts.size() ? texts[qsizetype(k)]
                                                                      : QString());
        nameControl(m_fields[k], m_names[qsizetype(k)] + QStringLiteral(", ") + side);
        m_fields[k]->show();
    }
}

void OtherSideFields::hide() {
    for (QLabel* caption : {m_caption, m_ownCaption}) {
        caption->hide();
        caption->clear();
    }
    for (QLineEdit* field : m_fields) {
        field->clear();
        field->hide();
    }
}

void OtherSideFields::showSide(const ReadingTable& table, OtherSide side,
                               const std::function<QString(double)>& valueText) {
    if (side.row < 1 || side.row > table.rowCount) {
        hide();
        return;
    }
    QStringList texts;
    for (size_t c = 0; c < m_fields.size(); ++c) {
        texts << valueText(table.values[static_cast<size_t>(side.row)][c]);
    }
    show(side.above, texts);
}

bool OtherSideFields::isShown() const {
    return !m_caption->isHidden();
}

QString OtherSideFields::caption() const {
    return m_caption->text();
}

QString OtherSideFields::ownCaption() const {
    return m_ownCaption->text();
}

} // namespace tarvo
