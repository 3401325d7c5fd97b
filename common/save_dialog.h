#pragma once

#include "common/user_prompts.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
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

// Another format a save dialog offers beside its own: the texts that change with it.
struct SaveFormat {
    QString name;      // "PNG"
    QString extension; // ".png"
    QString heading;
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
    // Reads what is to be saved, before anything is written; false with a reason when it
    // cannot be read.
    using Source = std::function<bool(std::string& error)>;

    SaveDialog(const SaveDialogTexts& texts, UserPrompts& prompts, QWidget* parent = nullptr);

    // What "OK" writes with; the writer tells the format by the path's extension.
    void setWriter(Writer writer) { m_writer = std::move(writer); }
    // What "OK" reads first: a failure says the table cannot be read and writes nothing.
    void setSource(Source source) { m_source = std::move(source); }
    // Offers a list of formats ("Format") whose first entry is the dialog's own.
    void offerFormats(const std::vector<SaveFormat>& others, const QString& ownName);
    // Chooses the format of that list entry (0: the dialog's own).
    void formatChosen(int index);
    // The format list; nothing when only the dialog's own is offered.
    QComboBox* formatList() { return m_formatList; }
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
    SaveDialogTexts m_ownTexts;
    std::vector<SaveFormat> m_formats;
    UserPrompts& m_prompts;
    Writer m_writer;
    Source m_source;
    FileChooser* m_chooser = nullptr;
    QLineEdit* m_nameField = nullptr;
    QLabel* m_heading = nullptr;
    QComboBox* m_formatList = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

// Offers PNG and SVG beside a picture dialog's own BMP: PNG holds the same pixels, SVG the
// same drawing.
void offerPictureFormats(SaveDialog& dialog);

} // namespace tarvo
