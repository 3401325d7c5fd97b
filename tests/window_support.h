#pragma once

#include <QString>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>

namespace tarvo::testing {

// Runs the application's event loop, doing `action` once it runs, until the program asks
// to end or `timeoutMs` passes; the exit code, or -1 on a timeout.
int runEventLoop(const std::function<void()>& action, int timeoutMs = 5000);

// Makes the working directory a run directory with the start files and copies of the
// shipped tables named by their relative paths ("ele/82_Pb.ele").
void prepareRunDirectory(std::initializer_list<std::string> shippedTables);

} // namespace tarvo::testing

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
