#include "common/start_notice.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(StartNotice, TellsToStartFromTheLauncherAndOffersOk) {
    StartNotice notice;
    const auto* text = notice.findChild<QLabel*>(QStringLiteral("noticeText"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), QStringLiteral("Please start from \"Tarvo_V7S.exe\""));
    const auto* ok = notice.findChild<QPushButton*>(QStringLiteral("okButton"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
}

} // namespace
} // namespace tarvo
