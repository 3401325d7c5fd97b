#include "window_sizes.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace tarvo {

bool MinimumSizeKeeper::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (event->type() != QEvent::Resize || window == nullptr || !window->isWindow() ||
        !window->isVisible()) {
        return false;
    }
    const QSize minimum = window->minimumSize();
    if (window->width() >= minimum.width() && window->height() >= minimum.height()) {
        return false;
    }
    // Asked after the event, since the display is still delivering the smaller geometry.
    QTimer::singleShot(
        0, window, [window] { window->resize(window->size().expandedTo(window->minimumSize())); });
    return false;
}

void installMinimumSizeKeeper(QApplication& application) {
    application.installEventFilter(new MinimumSizeKeeper(&application));
}

} // namespace tarvo
