#include "common/about_window.h"

#include "coefview/coefficient_viewer.h"
#include "common/main_window.h"
#include "launcher/launcher_window.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "tests/window_support.h"
#include "xsview/cross_section_viewer.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using namespace xsview; // the cross-section viewer's windows
using coefview::CoefficientViewer;

// The open About windows of the program.
QList<AboutWindow*> openAboutWindows() {
    QList<AboutWindow*> open;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* about = qobject_cast<AboutWindow*>(widget); about && about->isVisible()) {
            open.append(about);
        }
    }
    return open;
}

// The launcher and both main windows open the one About window; its Close deletes it.
TEST(AboutWindow, OpensOnceFromEveryMainWindowAndNamesItsSources) {
    testing::WorkingDirectory directory;
    testing::prepareRunDirectory({});
    testing::FakePrompts prompts;
    const auto noStart = [](const QString&) { return true; };
    LauncherWindow launcher(QStringLiteral("Tarvo_V7S"), noStart, prompts);
    CrossSectionViewer crossSections(prompts, noStart);
    CoefficientViewer coefficients(prompts, noStart);
    ASSERT_TRUE(crossSections.start());
    ASSERT_TRUE(coefficients.start());
    QPushButton* buttons[] = {launcher.findChild<QPushButton*>(QStringLiteral("aboutButton")),
                              &crossSections.mainWindow().aboutButton(),
                              &coefficients.mainWindow().aboutButton()};
    for (QPushButton* button : buttons) {
        ASSERT_NE(button, nullptr);
        button->click();
        ASSERT_EQ(openAboutWindows().size(), 1);
    }
    AboutWindow& about = *openAboutWindows().front();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tarvo"));
    const QString text = about.text().toPlainText();
    for (const char* part :
         {"Tarvo 7.0", "XCOM: Photon Cross Sections Database",
          "NIST Standard Reference Database 126", "NISTIR 5632", "Klein", "xraylib",
          "Bragg additivity rule", "GNU Lesser General Public License", "MIT License",
          "Boone and J. A. Seibert"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part;
    }
    about.closeButton().click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openAboutWindows().isEmpty());
    // Escape from the text closes it as well.
    buttons[1]->click();
    ASSERT_EQ(openAboutWindows().size(), 1);
    openAboutWindows().front()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(openAboutWindows().front()));
    QTest::keyClick(&openAboutWindows().front()->text(), Qt::Key_Escape);
    EXPECT_TRUE(openAboutWindows().isEmpty());
}

} // namespace
} // namespace tarvo
