#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;

namespace tarvo {

// The file-choosing part of the save dialogs: drive list (the mounted volumes), directory
// list and the list of the files of one extension in the current directory.
class FileChooser : public QWidget {
    Q_OBJECT
  public:
    // `extension` with its point: ".csv".
    explicit FileChooser(const QString& extension, QWidget* parent = nullptr);

    QString currentDirectory() const { return m_directory; }
    // Lists the files of another extension (with its point).
    void setExtension(const QString& extension);
    // Lists the current directory afresh.
    void refresh();

    void driveChanged(const QString& root);
    void directoryChanged(const QString& directory);

    // The three lists.
    QComboBox& driveList() { return *m_driveList; }
    QListWidget& directoryList() { return *m_directoryList; }
    QListWidget& fileList() { return *m_fileList; }

  signals:
    // A file of the list was chosen (clicked, or selected by keyboard).
    void fileClicked(const QString& fileName);

  private:
    void createControls();
    void refreshFiles();

    QString m_extension;
    QString m_directory;
    QComboBox* m_driveList = nullptr;
    QLabel* m_directoryLabel = nullptr;
    QListWidget* m_directoryList = nullptr;
    QListWidget* m_fileList = nullptr;
};

} // namespace tarvo
