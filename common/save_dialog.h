#pragma once

#include "common/user_prompts.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <string>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvo {

class FileChooser;

// The texts that make a save dialog of the file-choosing skeleton.
struct SaveDialogTexts {
    QString title;
    QString heading;
    QString caption = QStringLiteral("Input the File name without the extension");
    QString extension;        // ".csv", ".bmp"
    QString emptyNameMessage; // empty: an empty name is accepted
    QString successMessage;
};

// The file-choosing skeleton of the save dialogs: drive list (the mounted volumes),
// directory list, file list of the dialog's extension, name field, "OK" and "Cancel".
// "OK" hands the target path to the dialog's writer.
class SaveDialog : public QWidget {
    Q_OBJECT
  public:
    // Writes the target (a native path); false with a reason when it could not.
    using Writer = std::function<bool(const std::string& path, std::string& error)>;

    SaveDialog(const SaveDialogTexts& texts, UserPrompts& prompts, QWidget* parent = nullptr);

    // What "OK" writes with.
    void setWriter(Writer writer) { m_writer = std::move(writer); }
    // Shows the file list of the current directory, empties the name field and shows the
    // dialog without blocking.
    void prepareAndShow();
    // The folder the file list shows.
    QString currentDirectory() const;

    // The dialog's actions: a drive, a folder or a file chosen, "OK", "Cancel".
    void driveChanged(const QString& root);
    void directoryChanged(const QString& directory);
    void fileClicked(const QString& fileName);
    void okPressed();
    void cancelPressed();

    // The file list and the name field.
    QListWidget& fileList();
    QLineEdit& nameField() { return *m_nameField; }

  private:
    void createControls();

    SaveDialogTexts m_texts;
    UserPrompts& m_prompts;
    Writer m_writer;
    FileChooser* m_chooser = nullptr;
    QLineEdit* m_nameField = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace tarvo
