#include "window_support.h"

#include "tests/test_support.h"

#include <QApplication>
#include <QTimer>

#include <filesystem>

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

void prepareRunDirectory(std::initializer_list<std::string> shippedTables) {
    writeBytes("Start.dat", "Tarvo_V7S\r\n");
    writeBytes("ele/user.txt", "Lab\r\n");
    for (const std::string& table : shippedTables) {
        std::filesystem::create_directories(std::filesystem::path(table).parent_path());
        std::filesystem::copy_file(std::filesystem::path(TARVO_SHIPPED_DATA) / table, table);
    }
}

} // namespace tarvo::testing
