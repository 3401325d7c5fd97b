#pragma once

#include "coefview/coefficient_table.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace tarvo {
class GraphSurface;
}

namespace tarvo::coefview {

// The elements of a drawn material with their fractions by weight, as a ruled table.
class CompositionWindow : public QWidget {
    Q_OBJECT
  public:
    explicit CompositionWindow(QWidget* parent = nullptr);

    // Draws the table of the composition and names the material.
    void showComposition(const CoefficientTable& table, const QString& title, const QString& name);
    // Empties the table drawing.
    void clearTable();

    GraphSurface& table() { return *m_table; }
    // The material's name above the table, and "Close".
    QLabel& nameLabel() { return *m_nameLabel; }
    QPushButton& closeButton() { return *m_closeButton; }

  private:
    void createControls();
    void drawRules();
    void showName(const QString& name);

    GraphSurface* m_table = nullptr;
    QLabel* m_nameLabel = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace tarvo::coefview
