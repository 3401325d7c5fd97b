#include "xsview/main_window.h"

#include "common/start_notice.h"
#include "tests/test_support.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace tarvo::xsview {
namespace {

using testing::WorkingDirectory;
using testing::writeBytes;

TEST(CrossSectionViewerStart, ShowsTheTitledMainWindowWhenStartedByTheLauncher) {
    WorkingDirectory directory;
    writeBytes("Start.dat", "Tarvo_V7S\r\n");
    writeBytes("ele/user.txt", "Radiation physics lab\r\n");
    const std::unique_ptr<QWidget> window = createStartWindow([](const QString&) { return true; });
    ASSERT_NE(qobject_cast<MainWindow*>(window.get()), nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("  Radiation physics lab"));
}

TEST(CrossSectionViewerStart, ShowsOnlyTheStartNoticeWithoutUserTxt) {
    WorkingDirectory directory;
    writeBytes("Start.dat", "Tarvo_V7S\r\n");
    const std::unique_ptr<QWidget> window = createStartWindow([](const QString&) { return true; });
    EXPECT_NE(qobject_cast<StartNotice*>(window.get()), nullptr);
}

TEST(CrossSectionMainWindow, CloseBoxStartsTarvoV6) {
    QStringList started;
    MainWindow window(QStringLiteral("Lab"), [&](const QString& name) {
        started.append(name);
        return true;
    });
    window.show();
    window.close();
    EXPECT_EQ(started, QStringList{QStringLiteral("Tarvo_V6")});
}

} // namespace
} // namespace tarvo::xsview
