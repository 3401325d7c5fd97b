#include "launcher/launcher_window.h"

#include "tests/fake_prompts.h"
#include "tests/test_support.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using testing::FakePrompts;
using testing::readBytes;
using testing::WorkingDirectory;

TEST(LauncherWindow, EachButtonWritesStartDatAndStartsItsViewer) {
    WorkingDirectory directory;
    FakePrompts prompts;
    QStringList started;
    LauncherWindow window(
        QStringLiteral("Tarvo_V7S"),
        [&](const QString& name) {
            started.append(name);
            return true;
        },
        prompts);
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("crossSectionButton")),
                      Qt::LeftButton);
    EXPECT_FALSE(readBytes("Start.dat").empty());
    // Return presses a focused button as Space does.
    QTest::keyClick(window.findChild<QPushButton*>(QStringLiteral("coefficientButton")),
                    Qt::Key_Return);
    EXPECT_EQ(started,
              (QStringList{QStringLiteral("Tarvo7S_sub1"), QStringLiteral("Tarvo7S_sub2")}));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(LauncherWindow, AViewerThatCannotStartIsReported) {
    WorkingDirectory directory;
    FakePrompts prompts;
    LauncherWindow window(
        QStringLiteral("Tarvo_V6"), [](const QString&) { return false; }, prompts);
    window.launch(QStringLiteral("Tarvo7S_sub2"));
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Cannot start \"Tarvo7S_sub2\""));
}

TEST(LauncherWindow, AStartMarkerThatCannotBeWrittenStopsTheLaunch) {
    WorkingDirectory directory;
    std::filesystem::create_directories("Start.dat/occupied");
    FakePrompts prompts;
    bool startedAny = false;
    LauncherWindow window(
        QStringLiteral("Tarvo_V7S"), [&](const QString&) { return startedAny = true; }, prompts);
    window.launch(QStringLiteral("Tarvo7S_sub1"));
    EXPECT_FALSE(startedAny);
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("Cannot write \"Start.dat\"")));
}

} // namespace
} // namespace tarvo
