#pragma once

#include "common/program_start.h"

#include <QWidget>

#include <memory>

namespace tarvo::coefview {

// The coefficient viewer's main window.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    // `userLine` is the first line of "ele\user.txt"; `startProgram` starts the launcher.
    MainWindow(const QString& userLine, ProgramStarter startProgram, QWidget* parent = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls();
    void leaveTo(const QString& launcher);

    ProgramStarter m_startProgram;
};

// Runs the start-up check: the main window when "Start.dat" and "ele\user.txt" can be
// read, else the start notice. The caller shows what it gets.
std::unique_ptr<QWidget> createStartWindow(ProgramStarter startProgram);

} // namespace tarvo::coefview
