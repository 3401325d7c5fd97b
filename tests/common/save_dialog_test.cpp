#include "common/save_dialog.h"

#include "common/text_file.h"

#include "tests/fake_prompts.h"
#include "tests/test_support.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using testing::FakePrompts;
using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

SaveDialogTexts csvTexts() {
    return {QStringLiteral("Save  in CSV format"),
            QStringLiteral("Save in the Excel csv format"),
            QStringLiteral("Input the File name without the extension"),
            QStringLiteral(".csv"),
            QStringLiteral(" Input the File name "),
            QStringLiteral("  Data saved in the Excel csv format ")};
}

class SaveDialogTest : public ::testing::Test {
  protected:
    SaveDialogTest() {
        writeBytes("old.csv", "old");
        writeBytes("picture.bmp", "x");
        writeBytes("notes.csv2", "x");
        m_dialog.setWriter([this](const std::string& path, std::string& error) {
            m_written.push_back(path);
            return atomicWriteFile(path, "new", error);
        });
        m_dialog.prepareAndShow();
    }

    WorkingDirectory m_directory;
    FakePrompts m_prompts;
    SaveDialog m_dialog{csvTexts(), m_prompts};
    std::vector<std::string> m_written;
};

TEST_F(SaveDialogTest, ListsOnlyItsExtensionAndAClickFillsTheName) {
    ASSERT_EQ(m_dialog.fileList().count(), 1);
    EXPECT_EQ(m_dialog.fileList().item(0)->text(), QStringLiteral("old.csv"));
    m_dialog.fileClicked(QStringLiteral("old.csv"));
    EXPECT_EQ(m_dialog.nameField().text(), QStringLiteral("old"));
    m_dialog.okPressed();
    EXPECT_EQ(readBytes("old.csv"), "new");
    ASSERT_EQ(m_prompts.messages.size(), 1U);
    EXPECT_EQ(m_prompts.messages[0].text, QStringLiteral("  Data saved in the Excel csv format "));
    EXPECT_EQ(m_prompts.messages[0].icon, MessageIcon::None);
    EXPECT_FALSE(m_dialog.isVisible());
}

TEST_F(SaveDialogTest, OpensWithTheNameFieldFocusedAndEmpty) {
    m_dialog.nameField().setText(QStringLiteral("left over"));
    m_dialog.fileList().setFocus();
    m_dialog.prepareAndShow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));
    EXPECT_TRUE(m_dialog.nameField().hasFocus());
    EXPECT_TRUE(m_dialog.nameField().text().isEmpty());
}

TEST_F(SaveDialogTest, AnEmptyOrBlankNameIsRefusedAndNothingWritten) {
    for (const char* name : {"", "   "}) {
        m_dialog.nameField().setText(QString::fromLatin1(name));
        m_dialog.okPressed();
    }
    ASSERT_EQ(m_prompts.messages.size(), 2U);
    for (const auto& message : m_prompts.messages) {
        EXPECT_EQ(message.text, QStringLiteral(" Input the File name "));
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
    }
    EXPECT_TRUE(m_written.empty());
    EXPECT_TRUE(m_dialog.isVisible());
}

TEST_F(SaveDialogTest, ATypedExtensionIsKeptAndTheDialogsOwnAdded) {
    m_dialog.nameField().setText(QStringLiteral("a.csv"));
    m_dialog.okPressed();
    EXPECT_EQ(readBytes("a.csv.csv"), "new");
}

TEST_F(SaveDialogTest, NamesWithSeparatorsAreRefused) {
    for (const char* name : {"../elsewhere", "sub/file", "..", "back\\slash"}) {
        m_dialog.nameField().setText(QString::fromLatin1(name));
        m_dialog.okPressed();
    }
    EXPECT_TRUE(m_written.empty());
    ASSERT_EQ(m_prompts.messages.size(), 4U);
    EXPECT_TRUE(m_prompts.messages[0].text.contains(QStringLiteral("path separator")));
}

// The message names the file once, with the reason, whether or not the writer's error
// already names it.
TEST_F(SaveDialogTest, AFailedWriteNamesTheFileOnceAndKeepsTheDialogOpen) {
    std::filesystem::create_directory("sub");
    m_dialog.directoryChanged(QStringLiteral("sub"));
    std::filesystem::remove("sub");
    for (const bool namingWriter : {false, true}) {
        m_dialog.setWriter([namingWriter](const std::string& path, std::string& error) {
            return namingWriter ? writeTextLines(path, {"new"}, error)
                                : atomicWriteFile(path, "new", error);
        });
        m_prompts.messages.clear();
        m_dialog.nameField().setText(QStringLiteral("x"));
        m_dialog.okPressed();
        ASSERT_EQ(m_prompts.messages.size(), 1U);
        const QString& text = m_prompts.messages[0].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("Cannot write \""))) << text.toStdString();
        EXPECT_EQ(text.count(QStringLiteral("sub/x.csv")), 1) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral("No such file or directory")))
            << text.toStdString();
        EXPECT_TRUE(m_dialog.isVisible());
    }
}

TEST_F(SaveDialogTest, AnUnreadableDriveChangesNothingAndSaysNothing) {
    const QString before = m_dialog.currentDirectory();
    m_dialog.driveChanged(QStringLiteral("/no/such/volume"));
    EXPECT_EQ(m_dialog.currentDirectory(), before);
    EXPECT_TRUE(m_prompts.messages.empty());
    std::filesystem::create_directory("deeper");
    m_dialog.directoryChanged(QStringLiteral("deeper"));
    EXPECT_TRUE(m_dialog.currentDirectory().endsWith(QStringLiteral("/deeper")));
    EXPECT_EQ(m_dialog.fileList().count(), 0);
}

} // namespace
} // namespace tarvo
