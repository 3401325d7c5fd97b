#pragma once

#include <QObject>

class QAbstractButton;
class QApplication;
class QWidget;

namespace tarvo {

// Lets Enter and Return press the focused button of a window, as Space does; dialogs keep
// their own rule (Enter presses the default button).
class ButtonKeys : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs the key rule for every window of the application.
void installButtonKeys(QApplication& application);

// Escape anywhere in `window` presses `button`: a dialog's Cancel.
void pressOnEscape(QWidget& window, QAbstractButton& button);

// Escape anywhere in `window` closes it, as its close box does.
void closeOnEscape(QWidget& window);

} // namespace tarvo
