#include "user_prompts.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace tarvo {
namespace {

QString boxTitle(const QString& title) {
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

} // namespace

void WidgetPrompts::showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                                const QString& title) {
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    boxTitle(title), text, QMessageBox::Ok, parent);
    // A message often names a file or a reason worth copying into a report.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

bool WidgetPrompts::askOkCancel(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, boxTitle({}), text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    return box.exec() == QMessageBox::Ok;
}

QString WidgetPrompts::askText(QWidget* parent, const QString& prompt, const QString& defaultText) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(parent, boxTitle({}), prompt, QLineEdit::Normal,
                                                 defaultText, &accepted);
    return accepted ? answer : QString();
}

} // namespace tarvo
