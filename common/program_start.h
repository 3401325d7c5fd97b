#pragma once

#include <QString>

#include <functional>

namespace tarvo {

// Starts the program `name` (no extension) from the working directory without waiting
// for it, in a normal window or hidden (console programs get no terminal). True when
// the process was started.
bool startProgram(const QString& name);

// How a window starts another program; tests replace it to record the calls.
using ProgramStarter = std::function<bool(const QString& name)>;

} // namespace tarvo
