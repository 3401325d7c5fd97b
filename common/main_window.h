#pragma once

#include <QWidget>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

#include "common/material_category.h"
#include "common/user_prompts.h"

#include <QStringList>

#include <string>

namespace tarvo {

// What differs between the two viewers' main windows.
struct MainWindowTexts {
    QStringList heading;            // one label per line
    QString densityCaption;         // "Density" or " Density  ="
    bool compositionButton = false; // "Indicate composition"
};

// A viewer's main window: element and material lists, the selected table's name and
// density, and the actions.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MainWindow(const MainWindowTexts& texts, QWidget* parent = nullptr);

    // The window's controls.
    QListWidget& elementList() { return *m_elementList; }
    QListWidget& materialList() { return *m_materialList; }
    QButtonGroup& categories() { return *m_categories; }
    QLineEdit& nameField() { return *m_nameField; }
    QLineEdit& densityField() { return *m_densityField; }
    QPushButton& plotButton() { return *m_plotButton; }
    QPushButton& deleteButton() { return *m_deleteButton; }
    QPushButton& newDataButton() { return *m_newDataButton; }
    // Present only in the coefficient viewer.
    QPushButton* compositionButton() { return m_compositionButton; }
    QToolButton& exitButton() { return *m_exitButton; }
    // Opens the About window.
    QPushButton& aboutButton() { return *m_aboutButton; }

  signals:
    // The window's close box was used.
    void closeRequested();
    // One entry of a list became the selection, however it was chosen (mouse, keyboard,
    // assistive technology); the file name.
    void elementChosen(const QString& file);
    void materialChosen(const QString& file);
    // A category option became checked, however it was checked.
    void categoryChosen(tarvo::MaterialCategory category);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls();
    void connectSignals();
    QWidget* createListsColumn();
    QWidget* createSelectionColumn();

    MainWindowTexts m_texts;

    QListWidget* m_elementList = nullptr;
    QListWidget* m_materialList = nullptr;
    QButtonGroup* m_categories = nullptr;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_densityField = nullptr;
    QPushButton* m_plotButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_newDataButton = nullptr;
    QPushButton* m_compositionButton = nullptr;
    QToolButton* m_exitButton = nullptr;
    QPushButton* m_aboutButton = nullptr;
};

// Fills a list with the files of a directory whose extension is exactly `extension`.
void fillFileList(QListWidget& list, const std::string& directory, const std::string& extension);

// The delete action of a main window on the selected path: element tables (the path
// starts with `elementDirectory`) are refused with " This file cannot be deleted ", other
// files are deleted after " really erase <file> ? " is answered with OK. True when the file
// was deleted.
bool deleteSelectedTable(UserPrompts& prompts, MainWindow& window, const std::string& path,
                         const std::string& elementDirectory);

} // namespace tarvo
