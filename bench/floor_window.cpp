#include <QApplication>
#include <QWidget>

// The floor of the start-up measurements: a Qt Widgets program that shows one empty window.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.resize(720, 480);
    window.show();
    return application.exec();
}
