#include "coefview/attenuation_window.h"
#include "coefview/beam_window.h"
#include "coefview/coefficient_viewer.h"
#include "coefview/composition_window.h"
#include "coefview/equal_interval_dialog.h"
#include "coefview/graph_window.h"
#include "coefview/values_window.h"
#include "common/about_window.h"
#include "common/creator_window.h"
#include "common/enlarged_view.h"
#include "common/graph_surface.h"
#include "common/main_window.h"
#include "common/save_dialog.h"
#include "common/start_notice.h"
#include "launcher/launcher_window.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "tests/window_support.h"
#include "xsview/cross_section_viewer.h"
#include "xsview/graph_window.h"
#include "xsview/new_data_chooser.h"
#include "xsview/values_window.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace tarvo {
namespace {

using namespace xsview; // the cross-section viewer's windows
using coefview::CoefficientViewer;

using testing::FakePrompts;
using testing::WorkingDirectory;
using testing::writeBytes;

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face == nullptr ? QString() : face->text(QAccessible::Name);
}

// A name a screen reader can speak: some letters, not only a symbol.
bool isSpeakable(const QString& name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetter(); });
}

// Every box, button, list and plot of a window, named by its class and text.
QStringList unnamedControls(QWidget& window) {
    QStringList unnamed;
    const QList<QWidget*> controls = window.findChildren<QWidget*>();
    for (QWidget* control : controls) {
        const bool named = qobject_cast<QLineEdit*>(control) != nullptr ||
                           qobject_cast<QAbstractButton*>(control) != nullptr ||
                           qobject_cast<QListWidget*>(control) != nullptr ||
                           qobject_cast<QTableWidget*>(control) != nullptr ||
                           qobject_cast<GraphSurface*>(control) != nullptr;
        if (named && !isSpeakable(accessibleName(control))) {
            unnamed.append(QString::fromLatin1(control->metaObject()->className()) +
                           QStringLiteral(" '") + accessibleName(control) +
                           QStringLiteral("' in ") + window.windowTitle());
        }
    }
    return unnamed;
}

std::string coefficientTable(const std::string& name, const std::string& composition) {
    return name +
           "\r\n002\r\n1.0\r\n1.00000E-03 4.000E+03 3.000E+03 2.000E+03\r\n"
           "2.00000E+01 2.000E-02 1.500E-02 1.000E-02\r\n" +
           composition;
}

std::string crossSectionTable(const std::string& name) {
    return name + "\r\n1.\r\n2\r\n"
                  "1.000E-03 1.000E+01 1.000E-02 1.000E+03 0.000E+00 0.000E+00\r\n"
                  "1.000E+05 1.000E-04 1.000E-03 1.000E-05 6.000E-02 2.000E-02\r\n";
}

// Both viewers started in a run directory of small tables, a material drawn in each.
class BothViewers : public ::testing::Test {
  protected:
    void SetUp() override {
        writeBytes("Start.dat", "x\r\n");
        writeBytes("ele/user.txt", "Lab\r\n");
        writeBytes("ele/01_H.ele", crossSectionTable("Hydrogen") + "1.008\r\n");
        writeBytes("mix/Water.mix3", crossSectionTable("Water"));
        writeBytes("mu_ele/01_H.mut", coefficientTable("Hydrogen", ""));
        writeBytes("mu_mix/Water.muc3", coefficientTable("Water", "01\r\n01 1.000000\r\n"));
        ASSERT_TRUE(crossSections.start());
        crossSections.selectMaterial(QStringLiteral("Water.mix3"));
        crossSections.calculateAndPlot();
        crossSections.addToEnlargedView();
        ASSERT_TRUE(coefficients.start());
        coefficients.selectMaterial(QStringLiteral("Water.muc3"));
        coefficients.draw();
        coefficients.addToEnlargedView();
    }

    // Every window of both viewers.
    std::vector<QWidget*> viewerWindows() {
        return {&crossSections.mainWindow(),       &crossSections.graphWindow(),
                &crossSections.enlargedView(),     &crossSections.valuesWindow(),
                &crossSections.chooser(),          &crossSections.compoundCreator(),
                &crossSections.mixtureCreator(),   &crossSections.imageSaveDialog(),
                &crossSections.csvSaveDialog(),    &coefficients.mainWindow(),
                &coefficients.graphWindow(),       &coefficients.enlargedView(),
                &coefficients.valuesWindow(),      &coefficients.compositionWindow(),
                &coefficients.attenuationWindow(), &coefficients.equalIntervalDialog(),
                &coefficients.csvSaveDialog(),     &coefficients.imageSaveDialog(),
                &coefficients.materialCreator(),   &coefficients.beamWindow()};
    }

    WorkingDirectory directory;
    FakePrompts prompts;
    std::function<bool(const QString&)> noLaunch = [](const QString&) { return true; };
    CrossSectionViewer crossSections{prompts, noLaunch};
    CoefficientViewer coefficients{prompts, noLaunch};
};

// Every control of every window of both viewers and the launcher has a name a screen
// reader can speak; a plot's name is its window's title.
TEST_F(BothViewers, EveryControlOfEveryWindowHasASpeakableName) {
    coefficients.indicateComposition();
    LauncherWindow launcher(QStringLiteral("Tarvo_V7S"), noLaunch, prompts);
    std::vector<QWidget*> windows = viewerWindows();
    windows.push_back(&launcher);
    for (QWidget* window : windows) {
        const QStringList unnamed = unnamedControls(*window);
        EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral("\n")).toStdString();
    }
    EXPECT_EQ(accessibleName(&crossSections.graphWindow().crossSectionPlot()),
              crossSections.graphWindow().windowTitle());
    EXPECT_FALSE(crossSections.graphWindow().crossSectionPlot().accessibleDescription().isEmpty());
    EXPECT_EQ(accessibleName(&coefficients.graphWindow().coefficientPlot()),
              coefficients.graphWindow().windowTitle());
}

// Windows reach a screen reader as frames or dialogs named by their titles (the start
// notice, which has none, by its text); drop-down lists by their labels, not their entry.
TEST_F(BothViewers, WindowsAreFramesOrDialogsAndListsAreNamedByTheirLabels) {
    LauncherWindow launcher(QStringLiteral("Tarvo_V7S"), noLaunch, prompts);
    AboutWindow about;
    StartNotice notice;
    coefficients.openEqualIntervalDialog(); // titled after the table at opening
    QWidget* const frames[] = {&crossSections.mainWindow(),       &crossSections.graphWindow(),
                               &crossSections.valuesWindow(),     &crossSections.enlargedView(),
                               &coefficients.mainWindow(),        &coefficients.valuesWindow(),
                               &coefficients.compositionWindow(), &coefficients.attenuationWindow(),
                               &coefficients.beamWindow(),        &launcher};
    QWidget* const dialogs[] = {&crossSections.chooser(),
                                &crossSections.compoundCreator(),
                                &crossSections.mixtureCreator(),
                                &crossSections.csvSaveDialog(),
                                &crossSections.imageSaveDialog(),
                                &coefficients.materialCreator(),
                                &coefficients.equalIntervalDialog(),
                                &about};
    const auto expectWindow = [](QWidget* window, QAccessible::Role role, const QString& name) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->role(), role) << name.toStdString();
        EXPECT_EQ(face->text(QAccessible::Name), name);
        EXPECT_FALSE(name.trimmed().isEmpty()) << window->metaObject()->className();
    };
    for (QWidget* frame : frames) {
        expectWindow(frame, QAccessible::Window, frame->windowTitle());
    }
    for (QWidget* dialog : dialogs) {
        expectWindow(dialog, QAccessible::Dialog, dialog->windowTitle());
    }
    expectWindow(&notice, QAccessible::Dialog,
                 QStringLiteral("Please start from \"Tarvo_V7S.exe\""));
    const struct {
        QWidget* window;
        QStringList names; // of its drop-down lists, in order
    } lists[] = {
        {&coefficients.imageSaveDialog(), {QStringLiteral("Drives"), QStringLiteral("Format")}},
        {&coefficients.attenuationWindow(), {QStringLiteral("Unit of the thickness")}},
        {&coefficients.beamWindow(),
         {QStringLiteral("Beam from"), QStringLiteral("Anode"),
          QStringLiteral("Quality (IEC 61267)"), QStringLiteral("Unit of filter 1")}}};
    for (const auto& [window, names] : lists) {
        QStringList found;
        for (QComboBox* box : window->findChildren<QComboBox*>()) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(box);
            found.append(face->text(QAccessible::Name));
            EXPECT_EQ(face->role(), QAccessible::ComboBox);
            EXPECT_EQ(face->text(QAccessible::Value), box->currentText());
            // Over AT-SPI the entry shown is the selected item of the list, for every entry.
            for (int entry = box->count() - 1; entry >= 0; --entry) {
                box->setCurrentIndex(entry);
                QAccessibleInterface* items = face->child(0);
                ASSERT_NE(items, nullptr);
                QStringList selected;
                for (int i = 0; i < items->childCount(); ++i) {
                    if (items->child(i)->state().selected) {
                        selected.append(items->child(i)->text(QAccessible::Name));
                    }
                }
                EXPECT_EQ(selected, QStringList{box->currentText()}) << entry;
            }
        }
        EXPECT_EQ(found, names);
    }
}

// Escape in a dialog means its Cancel: the save dialogs and the equal-step dialog hide; the
// chooser and the creators do what their close box does and bring the main window back.
// The key is pressed in the box that has the focus, as a keyboard user would.
TEST_F(BothViewers, EscapeInEveryDialogMeansItsCancel) {
    const struct {
        const char* label;
        std::function<void()> open;
        QWidget* window;
        QWidget* focus;
        QWidget* mainWindow; // shown again after Escape, or null
    } dialogs[] = {
        {"chooser", [&] { crossSections.openNewData(); }, &crossSections.chooser(),
         &crossSections.chooser().compoundButton(), &crossSections.mainWindow()},
        {"compound creator",
         [&] {
             crossSections.openNewData();
             crossSections.openCompoundCreator();
         },
         &crossSections.compoundCreator(), &crossSections.compoundCreator().nameField(),
         &crossSections.mainWindow()},
        {"mixture creator",
         [&] {
             crossSections.openNewData();
             crossSections.openMixtureCreator();
         },
         &crossSections.mixtureCreator(), &crossSections.mixtureCreator().nameField(),
         &crossSections.mainWindow()},
        {"material creator", [&] { coefficients.openMaterialCreator(); },
         &coefficients.materialCreator(), &coefficients.materialCreator().nameField(),
         &coefficients.mainWindow()},
        {"cross-section CSV", [&] { crossSections.openCsvExport(); },
         &crossSections.csvSaveDialog(), &crossSections.csvSaveDialog().nameField(), nullptr},
        {"coefficient image", [&] { coefficients.imageSaveDialog().prepareAndShow(); },
         &coefficients.imageSaveDialog(), &coefficients.imageSaveDialog().nameField(), nullptr},
        {"equal steps", [&] { coefficients.openEqualIntervalDialog(); },
         &coefficients.equalIntervalDialog(), &coefficients.equalIntervalDialog().fileNameBox(),
         nullptr},
    };
    for (const auto& dialog : dialogs) {
        dialog.open();
        dialog.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.window)) << dialog.label;
        QTest::keyClick(dialog.focus, Qt::Key_Escape);
        EXPECT_FALSE(dialog.window->isVisible()) << dialog.label;
        if (dialog.mainWindow != nullptr) {
            EXPECT_TRUE(dialog.mainWindow->isVisible()) << dialog.label;
        }
    }
    EXPECT_TRUE(prompts.messages.empty());
}

// Enter in a save dialog's name box presses "OK".
TEST_F(BothViewers, EnterInTheNameBoxOfASaveDialogSaves) {
    for (SaveDialog* dialog : {&crossSections.csvSaveDialog(), &coefficients.csvSaveDialog()}) {
        dialog->prepareAndShow();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        const QString path = QDir(dialog->currentDirectory()).filePath(QStringLiteral("keyed.csv"));
        QFile::remove(path);
        QTest::keyClicks(&dialog->nameField(), QStringLiteral("keyed"));
        QTest::keyClick(&dialog->nameField(), Qt::Key_Return);
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
        EXPECT_FALSE(dialog->isVisible());
    }
}

// A window shrunk as far as it goes still shows every control whole: inside the window,
// and no smaller than the control needs to show its text.
TEST_F(BothViewers, NoWindowShrinksUntilAControlIsCut) {
    coefficients.indicateComposition();
    coefficients.openEqualIntervalDialog();
    LauncherWindow launcher(QStringLiteral("Tarvo_V7S"), noLaunch, prompts);
    AboutWindow about;
    std::vector<QWidget*> windows = viewerWindows();
    windows.insert(windows.end(), {&launcher, &about});
    for (QWidget* window : windows) {
        window->show();
        window->resize(1, 1);
        QCoreApplication::processEvents();
        const std::string title = window->windowTitle().toStdString();
        for (QWidget* control : window->findChildren<QWidget*>()) {
            QWidget* const parent = control->parentWidget();
            if (!control->isVisibleTo(window) || control->isWindow() || parent == nullptr ||
                parent->inherits("QAbstractScrollArea") ||
                control->objectName().startsWith(QStringLiteral("qt_"))) {
                continue; // a scroll area's own parts are its business
            }
            const QRect inWindow(control->mapTo(window, QPoint(0, 0)), control->size());
            const QSize needed = control->minimumSizeHint();
            const std::string name = std::string(control->metaObject()->className()) + " '" +
                                     accessibleName(control).toStdString() + "'";
            EXPECT_TRUE(window->rect().contains(inWindow))
                << title << ": " << name << " at " << inWindow.x() << "," << inWindow.y()
                << " outside " << window->width() << "x" << window->height();
            EXPECT_TRUE(!needed.isValid() || (control->width() >= needed.width() &&
                                              control->height() >= needed.height()))
                << title << ": " << name << " " << control->width() << "x" << control->height()
                << " needs " << needed.width() << "x" << needed.height();
        }
    }
}

} // namespace
} // namespace tarvo
