#include "common/accessible_names.h"
#include "common/button_keys.h"
#include "common/text_file.h"
#include "common/window_sizes.h"
#include "xsview/cross_section_viewer.h"

#include <QApplication>

#include <iostream>

int main(int argc, char* argv[]) {
    std::string error;
    if (!tarvo::enterExecutableDirectory(error)) {
        std::cerr << "Tarvo7S_sub1: cannot enter the program's directory: " << error << '\n';
    }
    QApplication application(argc, argv);
    tarvo::installButtonKeys(application);
    tarvo::installMinimumSizeKeeper(application);
    tarvo::installAccessibleRoles();
    tarvo::WidgetPrompts prompts;
    tarvo::xsview::CrossSectionViewer viewer(prompts, tarvo::startProgram);
    viewer.start();
    return application.exec();
}
