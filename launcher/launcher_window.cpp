#include "launcher_window.h"

#include "common/about_window.h"
#include "common/text_file.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {

LauncherWindow::LauncherWindow(const QString& title, ProgramStarter startProgram,
                               UserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_startProgram(std::move(startProgram)), m_prompts(prompts) {
    setWindowTitle(title);
    createControls();
}

void LauncherWindow::createControls() {
    auto* heading = new QLabel(QStringLiteral("Photon interaction data"), this);
    QFont font = heading->font();
    font.setPointSizeF(15);
    font.setBold(true);
    heading->setFont(font);

    auto* crossSections = new QPushButton(QStringLiteral("Photon cross sections"), this);
    crossSections->setObjectName(QStringLiteral("crossSectionButton"));
    auto* coefficients = new QPushButton(
        QStringLiteral("Mass attenuation, energy-transfer and energy-absorption coefficients"),
        this);
    coefficients->setObjectName(QStringLiteral("coefficientButton"));
    connect(crossSections, &QPushButton::clicked, this,
            [this] { launch(QStringLiteral("Tarvo7S_sub1")); });
    connect(coefficients, &QPushButton::clicked, this,
            [this] { launch(QStringLiteral("Tarvo7S_sub2")); });

    auto* about = new QPushButton(QStringLiteral("About"), this);
    about->setObjectName(QStringLiteral("aboutButton"));
    connect(about, &QPushButton::clicked, this, [] { showAboutWindow(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(crossSections);
    layout->addWidget(coefficients);
    layout->addWidget(about, 0, Qt::AlignRight);
}

void LauncherWindow::launch(const QString& viewer) {
    std::string error;
    if (!atomicWriteFile("Start.dat", "Tarvo_V7S\r\n", error)) {
        m_prompts.showMessage(
            this, QStringLiteral("Cannot write \"Start.dat\": ") + QString::fromStdString(error),
            MessageIcon::Exclamation);
        return;
    }
    if (!m_startProgram(viewer)) {
        m_prompts.showMessage(this,
                              QStringLiteral("Cannot start \"") + viewer + QStringLiteral("\""),
                              MessageIcon::Exclamation);
        return;
    }
    QCoreApplication::quit();
}

} // namespace tarvo
