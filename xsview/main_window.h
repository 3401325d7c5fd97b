#pragma once

#include <QWidget>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace tarvo::xsview {

// The cross-section viewer's main window: element and material lists, the selected
// table's name and density, and the actions.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // Material categories in the order of their option buttons.
    enum Category { humanTissues, phantomSubstances, others };

    explicit MainWindow(QWidget* parent = nullptr);

    QListWidget& elementList() { return *m_elementList; }
    QListWidget& materialList() { return *m_materialList; }
    QButtonGroup& categories() { return *m_categories; }
    QLineEdit& nameField() { return *m_nameField; }
    QLineEdit& densityField() { return *m_densityField; }
    QPushButton& plotButton() { return *m_plotButton; }
    QPushButton& deleteButton() { return *m_deleteButton; }
    QPushButton& newDataButton() { return *m_newDataButton; }
    QToolButton& exitButton() { return *m_exitButton; }

  signals:
    // The window's close box was used.
    void closeRequested();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls();
    QWidget* createListsColumn();
    QWidget* createSelectionColumn();

    QListWidget* m_elementList = nullptr;
    QListWidget* m_materialList = nullptr;
    QButtonGroup* m_categories = nullptr;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_densityField = nullptr;
    QPushButton* m_plotButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_newDataButton = nullptr;
    QToolButton* m_exitButton = nullptr;
};

} // namespace tarvo::xsview
