#include "window_support.h"

#include <QApplication>
#include <QTimer>

namespace tarvo::testing {

int runEventLoop(const std::function<void()>& action, int timeoutMs) {
    QTimer start;
    start.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, action);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    start.start(0);
    timeout.start(timeoutMs);
    return QApplication::exec();
}

} // namespace tarvo::testing
