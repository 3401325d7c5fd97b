#include "composition_window.h"

#include "coefview/coefficient_values.h"
#include "common/graph_surface.h"
#include "common/number_format.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo::coefview {
namespace {

// x grows to the right from -0.5, y downwards from -0.5: 11 by 17.1 units.
UserFrame compositionFrame() {
    return {-0.5, -0.5, 10.5, 16.6, 289, 353};
}

// The drawn table as text, for a screen reader: "H 0.11190, O 0.88810".
QString compositionText(const CoefficientTable& table) {
    QStringList entries;
    for (int j = 1; j <= table.compositionCount; ++j) {
        const CompositionEntry& entry = table.composition[static_cast<size_t>(j)];
        entries.append(QString::fromStdString(elementSymbol(entry.atomicNumber) + " " +
                                              formatNumber(entry.weightFraction, "0.00000")));
    }
    return QStringLiteral("Fractions by weight: ") + entries.join(QStringLiteral(", "));
}

} // namespace

CompositionWindow::CompositionWindow(QWidget* parent) : QWidget(parent) {
    createControls();
}

void CompositionWindow::createControls() {
    m_table = new GraphSurface(compositionFrame(), 11.25, this);
    m_table->setBackground(Qt::white);
    m_table->setForeground(Qt::black);
    m_table->clear();
    m_nameLabel = new QLabel(this);
    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::hide);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Composition of"), this));
    layout->addWidget(m_nameLabel);
    layout->addWidget(m_table);
    layout->addWidget(m_closeButton, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// A name wider than the table is cut with an ellipsis, so that the window keeps the table's
// width on any screen; the whole name stays in the tooltip and for screen readers.
void CompositionWindow::showName(const QString& name) {
    const int width = m_table->width();
    m_nameLabel->setText(m_nameLabel->fontMetrics().elidedText(name, Qt::ElideRight, width));
    m_nameLabel->setToolTip(name);
    m_nameLabel->setAccessibleName(name);
}

void CompositionWindow::clearTable() {
    m_table->clear();
}

void CompositionWindow::drawRules() {
    const QColor black(Qt::black);
    m_table->setPenWidth(2);
    m_table->box(0, 0, 10, 16, black);
    m_table->line(4, 0, 4, 16, black);
    m_table->line(0, 1, 10, 1, black);
    m_table->setPenWidth(1);
    for (int i = 2; i <= 15; ++i) {
        m_table->line(0, i, 10, i, black);
    }
    m_table->line(1.5, 0, 1.5, 16, black);
}

void CompositionWindow::showComposition(const CoefficientTable& table, const QString& title,
                                        const QString& name) {
    setWindowTitle(title);
    showName(name);
    m_table->clear();
    drawRules();
    const struct {
        const char* text;
        double x;
    } headers[] = {{"Z", 0.6}, {"Element", 1.8}, {"Fraction by weight", 4.6}};
    for (const auto& header : headers) {
        m_table->setCurrentPoint(header.x, 0.2);
        m_table->print(QString::fromLatin1(header.text));
    }
    for (int j = 1; j <= table.compositionCount; ++j) {
        const CompositionEntry& entry = table.composition[static_cast<size_t>(j)];
        const double y = 0.2 + j;
        m_table->setCurrentPoint(entry.atomicNumber < 10 ? 0.5 : 0.3, y);
        m_table->print(QStringLiteral(" ") + QString::number(entry.atomicNumber));
        const std::string symbol = elementSymbol(entry.atomicNumber);
        m_table->setCurrentPoint(symbol.size() == 2 ? 2.3 : 2.4, y);
        m_table->print(QString::fromStdString(symbol));
        m_table->setCurrentPoint(6.0, y);
        m_table->print(QString::fromStdString(formatNumber(entry.weightFraction, "0.00000")));
    }
    m_table->setAccessibleDescription(compositionText(table));
    show();
}

} // namespace tarvo::coefview
