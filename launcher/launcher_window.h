#pragma once

#include "common/program_start.h"
#include "common/user_prompts.h"

#include <QWidget>

namespace tarvo {

// Stand-in for the outside menu launcher: one button per viewer. A button writes the
// start marker "Start.dat" in the working directory, starts its viewer and ends.
class LauncherWindow : public QWidget {
    Q_OBJECT
  public:
    LauncherWindow(const QString& title, ProgramStarter startProgram, UserPrompts& prompts,
                   QWidget* parent = nullptr);

    // Writes "Start.dat", starts `viewer` and ends the launcher; on failure a message.
    void launch(const QString& viewer);

  private:
    void createControls();

    ProgramStarter m_startProgram;
    UserPrompts& m_prompts;
};

} // namespace tarvo
