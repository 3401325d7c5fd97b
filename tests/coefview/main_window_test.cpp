#include "coefview/main_window.h"

#include "common/start_notice.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

namespace tarvo::coefview {
namespace {

using testing::listDirectory;
using testing::WorkingDirectory;
using testing::writeBytes;

TEST(CoefficientViewerStart, ShowsTheTitledMainWindowOrTheStartNotice) {
    WorkingDirectory directory;
    writeBytes("ele/user.txt", "Lab\r\n");
    EXPECT_NE(
        qobject_cast<StartNotice*>(createStartWindow([](const QString&) { return true; }).get()),
        nullptr);
    writeBytes("Start.dat", "Tarvo_V7S\r\n");
    const std::unique_ptr<QWidget> window = createStartWindow([](const QString&) { return true; });
    ASSERT_NE(qobject_cast<MainWindow*>(window.get()), nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("  Lab"));
}

TEST(CoefficientMainWindow, CloseBoxDeletesTheExchangeFilesAndStartsTarvoV6) {
    WorkingDirectory directory;
    writeBytes("B2F.dat", "mu_ele\\01_H.mut\r\n500.0\r\n000.5\r\n");
    writeBytes("F2B.dat", " .10000E+01\r\n");
    writeBytes("Start.dat", "x\r\n");
    QStringList started;
    MainWindow window(QStringLiteral("Lab"), [&](const QString& name) {
        started.append(name);
        return true;
    });
    window.show();
    window.close();
    EXPECT_EQ(started, QStringList{QStringLiteral("Tarvo_V6")});
    EXPECT_EQ(listDirectory("."), "Start.dat");
}

} // namespace
} // namespace tarvo::coefview
