#include "common/text_file.h"
#include "launcher/launcher_window.h"

#include <QApplication>

#include <iostream>

int main(int argc, char* argv[]) {
    std::string error;
    if (!tarvo::enterExecutableDirectory(error)) {
        std::cerr << TARVO_LAUNCHER_NAME ": cannot enter the program's directory: " << error
                  << '\n';
    }
    QApplication application(argc, argv);
    tarvo::WidgetPrompts prompts;
    tarvo::LauncherWindow window(QStringLiteral(TARVO_LAUNCHER_NAME), tarvo::startProgram, prompts);
    window.show();
    return application.exec();
}
