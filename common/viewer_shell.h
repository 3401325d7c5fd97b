#pragma once

#include "common/program_start.h"
#include "common/table_lists.h"
#include "common/user_prompts.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace tarvo {

class MainWindow;
class StartNotice;

// What both viewers do around their main window: the start-up with its notice, the table
// lists and the selected table, deleting a material table, and leaving.
class ViewerShell : public QObject {
    Q_OBJECT
  public:
    // `ownedFiles` are removed when the viewer ends.
    ViewerShell(std::unique_ptr<MainWindow> main, UserPrompts& prompts, ProgramStarter startProgram,
                TableFolders directories, HeaderReader readHeader, std::string densityPattern,
                std::vector<std::string> ownedFiles = {});
    ~ViewerShell() override;

    // While `inUse` says so, leaving keeps the owned files (another program works on them).
    void keepOwnedFilesWhile(std::function<bool()> inUse) { m_ownedFilesInUse = std::move(inUse); }

    // The main window, its lists and the notice shown instead of it.
    MainWindow& mainWindow() { return *m_main; }
    TableLists& lists() { return m_lists; }
    StartNotice* startNotice() { return m_notice.get(); }

    // Reads the start files: with them the titled main window with its lists, "Others"
    // chosen, nothing selected; without them only the start notice. True for the first.
    bool start();
    // Selects a table of a list; reports `selected` on success.
    void selectElement(const QString& file);
    void selectMaterial(const QString& file);
    // Deletes the selected material table after asking; reports `deleted` when it is gone.
    void deleteSelected();
    // Removes the files the viewer owns, starts one launcher and ends the event loop; any
    // later call does nothing.
    void leave(const QString& launcher);

  signals:
    void selected();
    void deleted();

  private:
    void connectMainWindow();

    std::unique_ptr<MainWindow> m_main;
    UserPrompts& m_prompts;
    ProgramStarter m_startProgram;
    TableLists m_lists;
    std::vector<std::string> m_ownedFiles;
    std::function<bool()> m_ownedFilesInUse;
    std::unique_ptr<StartNotice> m_notice;
    bool m_leaving = false;
};

// Hides a window that was made; one not made yet stays unmade.
void hideIfCreated(QWidget* window);

} // namespace tarvo
