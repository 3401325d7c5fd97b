#include "button_keys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QShortcut>

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

namespace {

// A window-wide shortcut: it answers whichever control of the window has the focus.
QShortcut* escapeShortcut(QWidget& window) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    shortcut->setContext(Qt::WindowShortcut);
    return shortcut;
}

} // namespace

void pressOnEscape(QWidget& window, QAbstractButton& button) {
    QObject::connect(escapeShortcut(window), &QShortcut::activated, &button,
                     &QAbstractButton::click);
}

void closeOnEscape(QWidget& window) {
    QObject::connect(escapeShortcut(window), &QShortcut::activated, &window, &QWidget::close);
}

} // namespace tarvo
