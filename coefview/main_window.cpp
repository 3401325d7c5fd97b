#include "main_window.h"

#include "common/text_file.h"

#include "common/start_notice.h"
#include "xsview/cross_section_table.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace tarvo::coefview {

MainWindow::MainWindow(const QString& userLine, ProgramStarter startProgram, QWidget* parent)
    : QWidget(parent), m_startProgram(std::move(startProgram)) {
    setWindowTitle(QStringLiteral("  ") + userLine);
    createControls();
}

void MainWindow::createControls() {
    auto* layout = new QVBoxLayout(this);
    for (const char* line :
         {"Mass attenuation, energy-transfer", "and energy-absorption coefficient"}) {
        auto* heading = new QLabel(QString::fromLatin1(line), this);
        QFont font = heading->font();
        font.setPointSizeF(15);
        font.setBold(true);
        heading->setFont(font);
        layout->addWidget(heading);
    }
    layout->addStretch();
    resize(560, 420);
}

// The exchange files of the spline tool die with the viewer; failures do not matter.
void MainWindow::leaveTo(const QString& launcher) {
    std::string ignored;
    removeFile("B2F.dat", ignored);
    removeFile("F2B.dat", ignored);
    m_startProgram(launcher);
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    leaveTo(QStringLiteral("Tarvo_V6"));
}

std::unique_ptr<QWidget> createStartWindow(ProgramStarter startProgram) {
    const std::optional<std::string> userLine = readStartFiles();
    if (!userLine) {
        return std::make_unique<StartNotice>();
    }
    return std::make_unique<MainWindow>(QString::fromLocal8Bit(userLine->c_str()),
                                        std::move(startProgram));
}

} // namespace tarvo::coefview
