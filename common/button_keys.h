#pragma once

#include <QObject>

class QApplication;

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

} // namespace tarvo
