#include "coefview/main_window.h"
#include "common/text_file.h"

#include <QApplication>

#include <iostream>

int main(int argc, char* argv[]) {
    std::string error;
    if (!tarvo::enterExecutableDirectory(error)) {
        std::cerr << "Tarvo7S_sub2: cannot enter the program's directory: " << error << '\n';
    }
    QApplication application(argc, argv);
    const std::unique_ptr<QWidget> window = tarvo::coefview::createStartWindow(tarvo::startProgram);
    window->show();
    return application.exec();
}
