#pragma once

#include <QObject>

class QApplication;

namespace tarvo {

// Gives a window back its minimum size when the display made it smaller: window managers
// honour the minimum the window announces, but a bare X server or a forced resize does not,
// and a smaller window cuts its controls off.
class MinimumSizeKeeper : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs the minimum-size rule for every window of the application.
void installMinimumSizeKeeper(QApplication& application);

} // namespace tarvo
