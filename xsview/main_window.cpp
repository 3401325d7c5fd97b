#include "main_window.h"

#include "common/start_notice.h"
#include "xsview/cross_section_table.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace tarvo::xsview {

MainWindow::MainWindow(const QString& userLine, ProgramStarter startProgram, QWidget* parent)
    : QWidget(parent), m_startProgram(std::move(startProgram)) {
    setWindowTitle(QStringLiteral("  ") + userLine);
    createControls();
}

void MainWindow::createControls() {
    auto* heading = new QLabel(QStringLiteral("Photon Cross Sections Database"), this);
    QFont font = heading->font();
    font.setPointSizeF(16);
    font.setBold(true);
    heading->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addStretch();
    resize(560, 420);
}

// Closing with the close box hands back to the launcher started as "Tarvo_V6".
void MainWindow::closeEvent(QCloseEvent* event) {
    m_startProgram(QStringLiteral("Tarvo_V6"));
    event->accept();
    QCoreApplication::quit();
}

std::unique_ptr<QWidget> createStartWindow(ProgramStarter startProgram) {
    const std::optional<std::string> userLine = readStartFiles();
    if (!userLine) {
        return std::make_unique<StartNotice>();
    }
    return std::make_unique<MainWindow>(QString::fromLocal8Bit(userLine->c_str()),
                                        std::move(startProgram));
}

} // namespace tarvo::xsview
