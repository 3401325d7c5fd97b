#include "file_chooser.h"

#include "common/accessible_names.h"
#include "common/text_file.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QStorageInfo>

namespace tarvo {

FileChooser::FileChooser(const QString& extension, QWidget* parent)
    : QWidget(parent), m_extension(extension), m_directory(QDir::currentPath()) {
    createControls();
    refresh();
}

void FileChooser::createControls() {
    m_driveList = new QComboBox(this);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            m_driveList->addItem(volume.rootPath());
        }
    }
    m_directoryLabel = new QLabel(this);
    m_directoryList = new QListWidget(this);
    m_fileList = new QListWidget(this);
    nameControl(m_driveList, QStringLiteral("Drives"));
    nameControl(m_directoryList, QStringLiteral("Folders"));
    nameControl(m_fileList, QStringLiteral("Files *") + m_extension);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_driveList, 0, 0);
    layout->addWidget(m_directoryLabel, 1, 0);
    layout->addWidget(m_directoryList, 2, 0);
    layout->addWidget(m_fileList, 0, 1, 3, 1);
    connect(m_driveList, &QComboBox::activated, this,
            [this](int index) { driveChanged(m_driveList->itemText(index)); });
    connect(m_directoryList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        directoryChanged(QDir(m_directory).absoluteFilePath(item->text()));
    });
    // A file chosen by mouse, keyboard or assistive technology names the file to write.
    connect(m_fileList, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = m_fileList->selectedItems();
        if (chosen.size() == 1) {
            emit fileClicked(chosen.front()->text());
        }
    });
}

void FileChooser::setExtension(const QString& extension) {
    m_extension = extension;
    nameControl(m_fileList, QStringLiteral("Files *") + m_extension);
    refreshFiles();
}

// A volume that cannot be read (no medium, no permission) changes nothing.
void FileChooser::driveChanged(const QString& root) {
    const QDir volume(root);
    if (volume.exists() && volume.isReadable()) {
        directoryChanged(volume.absolutePath());
    }
}

void FileChooser::directoryChanged(const QString& directory) {
    const QDir target(directory);
    if (!target.exists() || !target.isReadable()) {
        return;
    }
    m_directory = QDir::cleanPath(target.absolutePath());
    refresh();
}

void FileChooser::refresh() {
    m_directoryLabel->setText(m_directory);
    m_directoryList->clear();
    const QDir directory(m_directory);
    if (!directory.isRoot()) {
        m_directoryList->addItem(QStringLiteral(".."));
    }
    m_directoryList->addItems(directory.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
    refreshFiles();
}

void FileChooser::refreshFiles() {
    m_fileList->clear();
    const std::string extension = m_extension.toStdString();
    for (const std::string& name : listFiles(m_directory.toLocal8Bit().toStdString(), extension)) {
        m_fileList->addItem(QString::fromLocal8Bit(name.c_str()));
    }
}

} // namespace tarvo
