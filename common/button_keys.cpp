#include "button_keys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

namespace tarvo {

bool ButtonKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button == nullptr || key->isAutoRepeat() || key->modifiers() != Qt::NoModifier ||
        (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        qobject_cast<QDialog*>(button->window()) != nullptr || !button->isEnabled()) {
        return false;
    }
    button->click();
    return true;
}

void installButtonKeys(QApplication& application) {
    application.installEventFilter(new ButtonKeys(&application));
}

} // namespace tarvo
