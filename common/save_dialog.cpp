#include "save_dialog.h"

#include "common/text_file.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>

namespace tarvo {

SaveDialog::SaveDialog(const SaveDialogTexts& texts, UserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_texts(texts), m_prompts(prompts), m_directory(QDir::currentPath()) {
    setWindowTitle(texts.title);
    createControls();
    connectSignals();
    refreshDirectories();
}

void SaveDialog::createControls() {
    auto* heading = new QLabel(m_texts.heading, this);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    m_driveList = new QComboBox(this);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            m_driveList->addItem(volume.rootPath());
        }
    }
    m_directoryLabel = new QLabel(this);
    m_directoryList = new QListWidget(this);
    m_fileList = new QListWidget(this);
    m_nameField = new QLineEdit(this);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(heading, 0, 0, 1, 2);
    layout->addWidget(m_driveList, 1, 0);
    layout->addWidget(m_directoryLabel, 2, 0);
    layout->addWidget(m_directoryList, 3, 0);
    layout->addWidget(m_fileList, 1, 1, 3, 1);
    layout->addWidget(new QLabel(m_texts.caption, this), 4, 0, 1, 2);
    layout->addWidget(m_nameField, 5, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons, 6, 0, 1, 2);
    resize(560, 420);
}

void SaveDialog::connectSignals() {
    connect(m_driveList, &QComboBox::activated, this,
            [this](int index) { driveChanged(m_driveList->itemText(index)); });
    connect(m_directoryList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        directoryChanged(QDir(m_directory).absoluteFilePath(item->text()));
    });
    connect(m_fileList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { fileClicked(item->text()); });
    connect(m_okButton, &QPushButton::clicked, this, &SaveDialog::okPressed);
    connect(m_cancelButton, &QPushButton::clicked, this, &SaveDialog::cancelPressed);
}

void SaveDialog::prepareAndShow() {
    refreshDirectories();
    m_nameField->clear();
    show();
    raise();
}

// A volume that cannot be read (no medium, no permission) changes nothing.
void SaveDialog::driveChanged(const QString& root) {
    const QDir volume(root);
    if (volume.exists() && volume.isReadable()) {
        directoryChanged(volume.absolutePath());
    }
}

void SaveDialog::directoryChanged(const QString& directory) {
    const QDir target(directory);
    if (!target.exists() || !target.isReadable()) {
        return;
    }
    m_directory = QDir::cleanPath(target.absolutePath());
    refreshDirectories();
}

void SaveDialog::refreshDirectories() {
    m_directoryLabel->setText(m_directory);
    m_directoryList->clear();
    const QDir directory(m_directory);
    if (!directory.isRoot()) {
        m_directoryList->addItem(QStringLiteral(".."));
    }
    m_directoryList->addItems(directory.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
    refreshFiles();
}

void SaveDialog::refreshFiles() {
    m_fileList->clear();
    const std::string extension = m_texts.extension.toStdString();
    for (const std::string& name : listFiles(m_directory.toLocal8Bit().toStdString(), extension)) {
        m_fileList->addItem(QString::fromLocal8Bit(name.c_str()));
    }
}

void SaveDialog::fileClicked(const QString& fileName) {
    m_nameField->setText(fileName.chopped(4));
}

void SaveDialog::cancelPressed() {
    hide();
}

void SaveDialog::okPressed() {
    const QString name = m_nameField->text();
    if (name.isEmpty() && !m_texts.emptyNameMessage.isEmpty()) {
        m_prompts.showMessage(this, m_texts.emptyNameMessage, MessageIcon::Exclamation);
        return;
    }
    const std::string problem = fileNameProblem(name.toLocal8Bit().toStdString());
    if (!problem.empty()) {
        m_prompts.showMessage(this,
                              QStringLiteral("\"") + name + QStringLiteral("\" ") +
                                  QString::fromStdString(problem),
                              MessageIcon::Exclamation);
        return;
    }
    const QString path = QDir(m_directory).filePath(name + m_texts.extension);
    std::string error;
    if (!m_writer || !m_writer(path.toLocal8Bit().toStdString(), error)) {
        m_prompts.showMessage(this,
                              QStringLiteral("Cannot write \"") + path + QStringLiteral("\": ") +
                                  QString::fromLocal8Bit(error.c_str()),
                              MessageIcon::Exclamation);
        return;
    }
    m_prompts.showMessage(this, m_texts.successMessage, MessageIcon::None);
    hide();
    refreshFiles();
}

} // namespace tarvo
