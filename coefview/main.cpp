#include "coefview/coefficient_viewer.h"
#include "common/accessible_names.h"
#include "common/button_keys.h"
#include "common/text_file.h"
#include "common/window_sizes.h"

#include <QApplication>

#include <iostream>

int main(int argc, char* argv[]) {
    std::string error;
    if (!tarvo::enterExecutableDirectory(error)) {
        std::cerr << "Tarvo7S_sub2: cannot enter the program's directory: " << error << '\n';
    }
    QApplication application(argc, argv);
    tarvo::installButtonKeys(application);
    tarvo::installMinimumSizeKeeper(application);
    tarvo::installAccessibleRoles();
    tarvo::WidgetPrompts prompts;
    tarvo::coefview::CoefficientViewer viewer(prompts, tarvo::startProgram);
    viewer.start();
    return application.exec();
}
