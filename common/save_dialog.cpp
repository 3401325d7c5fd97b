#include "save_dialog.h"

#include "common/accessible_names.h"
#include "common/button_keys.h"
#include "common/display_text.h"
#include "common/file_chooser.h"
#include "common/text_file.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvo {

SaveDialog::SaveDialog(const SaveDialogTexts& texts, UserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_texts(texts), m_ownTexts(texts), m_prompts(prompts) {
    setWindowTitle(texts.title);
    markAsDialog(*this);
    createControls();
}

void SaveDialog::createControls() {
    m_heading = new QLabel(m_texts.heading, this);
    QFont font = m_heading->font();
    font.setBold(true);
    m_heading->setFont(font);
    m_chooser = new FileChooser(m_texts.extension, this);
    m_nameField = new QLineEdit(this);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_chooser, &FileChooser::fileClicked, this, &SaveDialog::fileClicked);
    connect(m_okButton, &QPushButton::clicked, this, &SaveDialog::okPressed);
    connect(m_cancelButton, &QPushButton::clicked, this, &SaveDialog::cancelPressed);
    connect(m_nameField, &QLineEdit::returnPressed, m_okButton, &QPushButton::click);
    pressOnEscape(*this, *m_cancelButton);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_heading, 0, 0);
    layout->addWidget(m_chooser, 1, 0);
    auto* caption = new QLabel(m_texts.caption, this);
    nameAfterLabel(m_nameField, caption);
    layout->addWidget(caption, 2, 0);
    layout->addWidget(m_nameField, 3, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons, 4, 0);
    resize(560, 420);
}

void SaveDialog::offerFormats(const std::vector<SaveFormat>& others, const QString& ownName) {
    m_formats = others;
    m_formatList = new QComboBox(this);
    m_formatList->addItem(ownName);
    for (const SaveFormat& format : others) {
        m_formatList->addItem(format.name);
    }
    auto* caption = new QLabel(QStringLiteral("Format"), this);
    nameAfterLabel(m_formatList, caption);
    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(m_formatList);
    row->addStretch();
    static_cast<QGridLayout*>(layout())->addLayout(row, 5, 0);
    connect(m_formatList, &QComboBox::currentIndexChanged, this, &SaveDialog::formatChosen);
}

void SaveDialog::formatChosen(int index) {
    m_texts = m_ownTexts;
    if (index > 0 && static_cast<size_t>(index) <= m_formats.size()) {
        const SaveFormat& format = m_formats[static_cast<size_t>(index - 1)];
        m_texts.extension = format.extension;
        m_texts.heading = format.heading;
        m_texts.successMessage = format.successMessage;
    }
    if (m_formatList != nullptr && m_formatList->currentIndex() != index) {
        m_formatList->setCurrentIndex(index);
    }
    m_heading->setText(m_texts.heading);
    m_chooser->setExtension(m_texts.extension);
}

QString SaveDialog::currentDirectory() const {
    return m_chooser->currentDirectory();
}

QListWidget& SaveDialog::fileList() {
    return m_chooser->fileList();
}

void SaveDialog::prepareAndShow() {
    m_chooser->refresh();
    m_nameField->clear();
    show();
    raise();
    // The name is what the user types next; the lists above are for browsing.
    m_nameField->setFocus();
}

void SaveDialog::driveChanged(const QString& root) {
    m_chooser->driveChanged(root);
}

void SaveDialog::directoryChanged(const QString& directory) {
    m_chooser->directoryChanged(directory);
}

// The name without its last four characters: the point and the extension.
void SaveDialog::fileClicked(const QString& fileName) {
    m_nameField->setText(fileName.chopped(4));
}

void SaveDialog::cancelPressed() {
    hide();
}

void SaveDialog::okPressed() {
    const QString name = m_nameField->text();
    // A name of blanks alone names no file, as an empty one.
    if (name.trimmed().isEmpty() && !m_texts.emptyNameMessage.isEmpty()) {
        m_prompts.showMessage(this, m_texts.emptyNameMessage, MessageIcon::Exclamation);
        return;
    }
    const std::string problem = fileNameProblem(name.toLocal8Bit().toStdString());
    if (!name.isEmpty() && !problem.empty()) {
        m_prompts.showMessage(this,
                              QStringLiteral("\"") + name + QStringLiteral("\" ") +
                                  QString::fromStdString(problem),
                              MessageIcon::Exclamation);
        return;
    }
    const QString path = QDir(currentDirectory()).filePath(name + m_texts.extension);
    std::string error;
    if (m_source && !m_source(error)) {
        m_prompts.showMessage(
            this, QStringLiteral("The selected table cannot be read: ") + displayText(error),
            MessageIcon::Exclamation);
        return;
    }
    const std::string bytes = path.toLocal8Bit().toStdString();
    if (!m_writer || !m_writer(bytes, error)) {
        m_prompts.showMessage(this,
                              QStringLiteral("Cannot write \"") + path + QStringLiteral("\": ") +
                                  displayText(errorReason(error, bytes)),
                              MessageIcon::Exclamation);
        return;
    }
    m_prompts.showMessage(this, m_texts.successMessage, MessageIcon::None);
    hide();
    m_chooser->refresh();
}

void offerPictureFormats(SaveDialog& dialog) {
    dialog.offerFormats(
        {{QStringLiteral("PNG"), QStringLiteral(".png"), QStringLiteral("Image save in png format"),
          QStringLiteral(" Image saved in PNG format ")},
         {QStringLiteral("SVG"), QStringLiteral(".svg"), QStringLiteral("Image save in svg format"),
          QStringLiteral(" Image saved in SVG format ")}},
        QStringLiteral("BMP"));
}

} // namespace tarvo
