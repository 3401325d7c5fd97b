#include "viewer_shell.h"

#include "common/display_text.h"
#include "common/main_window.h"
#include "common/start_notice.h"
#include "common/table_reader.h"
#include "common/text_file.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace tarvo {

ViewerShell::ViewerShell(std::unique_ptr<MainWindow> main, UserPrompts& prompts,
                         ProgramStarter startProgram, TableFolders directories,
                         HeaderReader readHeader, std::string densityPattern,
                         std::vector<std::string> ownedFiles)
    : m_main(std::move(main)), m_prompts(prompts), m_startProgram(std::move(startProgram)),
      m_lists(*m_main, prompts, std::move(directories), std::move(readHeader),
              std::move(densityPattern)),
      m_ownedFiles(std::move(ownedFiles)) {
    connectMainWindow();
}

ViewerShell::~ViewerShell() = default;

void ViewerShell::connectMainWindow() {
    MainWindow& main = *m_main;
    connect(&main, &MainWindow::elementChosen, this, &ViewerShell::selectElement);
    connect(&main, &MainWindow::materialChosen, this, &ViewerShell::selectMaterial);
    connect(&main, &MainWindow::categoryChosen, this,
            [this](MaterialCategory category) { m_lists.chooseCategory(category); });
    connect(&main.deleteButton(), &QPushButton::clicked, this, &ViewerShell::deleteSelected);
    connect(&main.exitButton(), &QToolButton::clicked, this,
            [this] { leave(QStringLiteral("Tarvo_V7S")); });
    connect(&main, &MainWindow::closeRequested, this,
            [this] { leave(QStringLiteral("Tarvo_V6")); });
}

bool ViewerShell::start() {
    const std::optional<std::string> userLine = readStartFiles(DataDirectory::working());
    if (!userLine) {
        m_notice = std::make_unique<StartNotice>();
        m_notice->show();
        m_main->hide();
        return false;
    }
    m_main->setWindowTitle(QStringLiteral("  ") + displayText(*userLine));
    m_lists.clearSelection();
    m_lists.refreshElementList();
    // Checking the option lists its materials.
    m_main->categories().button(categoryIndex(MaterialCategory::others))->setChecked(true);
    m_main->show();
    m_main->elementList().setFocus();
    return true;
}

void ViewerShell::selectElement(const QString& file) {
    if (m_lists.selectElement(file)) {
        emit selected();
    }
}

void ViewerShell::selectMaterial(const QString& file) {
    if (m_lists.selectMaterial(file)) {
        emit selected();
    }
}

void ViewerShell::deleteSelected() {
    if (m_lists.deleteSelected()) {
        emit deleted();
    }
}

// Ending the loop directly: quit() would close every window and so take the close box's
// way out as well.
void ViewerShell::leave(const QString& launcher) {
    if (m_leaving) {
        return;
    }
    m_leaving = true;
    std::string ignored;
    for (const std::string& file : m_ownedFiles) {
        if (!m_ownedFilesInUse || !m_ownedFilesInUse()) {
            removeFile(file, ignored);
        }
    }
    m_startProgram(launcher);
    QCoreApplication::exit(0);
}

void hideIfCreated(QWidget* window) {
    if (window != nullptr) {
        window->hide();
    }
}

} // namespace tarvo
